#!/usr/bin/env bash
# Fails when a C++ file of the tree is not formatted as .clang-format says; the files to fix
# are listed (run `clang-format -i FILE...` on them).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cc' '*.h' 2>/dev/null || find src bench fuzz tools -name '*.cc' -o -name '*.h')
if ! clang-format --dry-run -Werror "${files[@]}" 2>/dev/null; then
  echo "check-format: not formatted as .clang-format says:" >&2
  for file in "${files[@]}"; do
    clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || echo "  $file" >&2
  done
  exit 1
fi
echo "check-format: ${#files[@]} files formatted as .clang-format says"
