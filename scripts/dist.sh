#!/usr/bin/env bash
# Builds the downloads into dist/ (./build.sh dist installs what this needs first):
#   Tarnwick-MAJOR.MINOR-winxp.zip   Tarnwick.exe (preset "windows"), README.txt and
#                                    set-default-browser.cmd
#   tarnwick_VERSION-1_amd64.deb      the Linux build (preset "dist", Release, no tests), by CPack
#   SHA256SUMS                        both, as sha256sum writes them
# and checks each (scripts/check-winxp-zip.py, scripts/check-deb.py with lintian). Every file
# is stamped with SOURCE_DATE_EPOCH, by default the time of the last commit, so that two builds
# of one commit give the same bytes wherever and whenever they run.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) ||
    { echo "$0: set SOURCE_DATE_EPOCH outside a git checkout" >&2; exit 2; }
  export SOURCE_DATE_EPOCH
fi

rm -rf dist
mkdir dist
scripts/winxp-zip.sh dist

cmake --preset dist >/dev/null
cmake --build --preset dist
rm -f build/dist/*.deb
cpack --preset dist >/dev/null
mv build/dist/*.deb dist/
scripts/check-deb.py dist/*.deb

cd dist
# Fixed order and locale, so that the list itself is reproducible.
LC_ALL=C sha256sum -- Tarnwick-*-winxp.zip tarnwick_*.deb >SHA256SUMS
cat SHA256SUMS
