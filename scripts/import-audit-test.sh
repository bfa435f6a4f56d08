#!/usr/bin/env bash
# Checks the import audit itself on small executables built here: one that Windows XP can run and
# one for each way of failing it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc=i686-w64-mingw32-gcc-win32
xp=(-static -Wl,--major-subsystem-version,5,--minor-subsystem-version,1)

cat >"$work/good.c" <<'C'
#define _WIN32_WINNT 0x0501
#include <windows.h>
int main(void) { return GetTickCount() == 0; }
C
cat >"$work/newer_function.c" <<'C'
#define _WIN32_WINNT 0x0600
#include <windows.h>
int main(void) { return GetTickCount64() == 0; }
C
cat >"$work/helper.c" <<'C'
__declspec(dllexport) int Helper(void) { return 1; }
C
cat >"$work/foreign_dll.c" <<'C'
__declspec(dllimport) int Helper(void);
int main(void) { return Helper(); }
C
$cc "${xp[@]}" -o "$work/good.exe" "$work/good.c"
$cc "${xp[@]}" -o "$work/newer_function.exe" "$work/newer_function.c"
$cc -shared -o "$work/helper.dll" "$work/helper.c"
$cc "${xp[@]}" -o "$work/foreign_dll.exe" "$work/foreign_dll.c" "$work/helper.dll"
$cc -static -Wl,--major-subsystem-version,6,--minor-subsystem-version,0 \
  -o "$work/newer_subsystem.exe" "$work/good.c"

failures=0
expect() {  # expect pass|fail EXE [TEXT]
  local want=$1 exe=$2 text=${3:-} out got
  if out=$("$here/import-audit.sh" "$exe" 2>&1); then got=pass; else got=fail; fi
  if [[ $got != "$want" ]]; then
    echo "FAIL: $(basename "$exe") should $want the audit but did $got: $out"
    failures=$((failures + 1))
  elif [[ -n $text && $out != *"$text"* ]]; then
    echo "FAIL: $(basename "$exe"): audit output lacks \"$text\": $out"
    failures=$((failures + 1))
  else
    echo "ok: $(basename "$exe"): audit gives $want"
  fi
}
expect pass "$work/good.exe"
expect fail "$work/newer_function.exe" "imports GetTickCount64 from KERNEL32.dll"
expect fail "$work/foreign_dll.exe" "imports helper.dll, which is not part of Windows XP"
expect fail "$work/newer_subsystem.exe" "needs subsystem version 6.0"
((failures == 0))
