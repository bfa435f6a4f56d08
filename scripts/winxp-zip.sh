#!/usr/bin/env bash
# Builds the shipped Tarnwick.exe (preset "windows") and packs the Windows download into DIR as
# Tarnwick-MAJOR.MINOR-winxp.zip: the exe, packaging/windows/README.txt and the sample logon
# script packaging/windows/set-default-browser.cmd. Then checks the zip with
# scripts/check-winxp-zip.py (size, resources and imports of the exe in it, the notes, the
# script).
# The zip's times are those of SOURCE_DATE_EPOCH, by default the time of the last commit.
#   scripts/winxp-zip.sh DIR
set -euo pipefail
(($# == 1)) || { echo "usage: $0 DIR" >&2; exit 2; }
out=$(mkdir -p "$1" && cd "$1" && pwd)
cd "$(dirname "$0")/.."
if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) ||
    { echo "$0: set SOURCE_DATE_EPOCH outside a git checkout" >&2; exit 2; }
  export SOURCE_DATE_EPOCH
fi
version=$(sed -n 's/^project(Tarnwick VERSION \([0-9]*\.[0-9]*\).*/\1/p' CMakeLists.txt)

cmake --preset windows >/dev/null
cmake --build --preset windows --target Tarnwick >/dev/null
zip=$out/Tarnwick-$version-winxp.zip
scripts/make-winxp-zip.py "$zip" build/windows/src/win32/Tarnwick.exe packaging/windows/README.txt \
  packaging/windows/set-default-browser.cmd
scripts/check-winxp-zip.py "$zip"
