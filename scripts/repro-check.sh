#!/usr/bin/env bash
# Checks that the Windows download is reproducible: builds it from this tree, and again from a
# copy of the tree's files in another folder, later, with another umask and time zone, and fails
# unless the two zips are the same bytes. When they differ, diffoscope shows where.
#   scripts/repro-check.sh          (uses build/windows, and build/repro for the second build)
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi
work=build/repro
rm -rf "$work"
mkdir -p "$work/first" "$work/second" "$work/elsewhere"

scripts/winxp-zip.sh "$work/first"
# The files a fresh checkout would have (tracked ones, and new ones not yet committed).
git ls-files -z --cached --others --exclude-standard |
  tar --null --files-from=- --ignore-failed-read -cf - | tar -xf - -C "$work/elsewhere"
(cd "$work/elsewhere" && umask 0077 && TZ=Pacific/Kiritimati scripts/winxp-zip.sh ../second)

status=0
for first in "$work"/first/*.zip; do
  second=$work/second/$(basename "$first")
  if cmp -s "$first" "$second"; then
    echo "repro-check: $(basename "$first") is the same in both builds: $(sha256sum <"$first" | cut -d' ' -f1)"
  else
    echo "repro-check: $(basename "$first") differs between the two builds:" >&2
    diffoscope "$first" "$second" >&2 || true
    status=1
  fi
done
exit $status
