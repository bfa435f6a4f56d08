# Sourced by the Wine scripts. Decides once which Wine runs the Windows programs: the 32-bit one
# where this machine can start 32-bit programs, else the 64-bit one (scripts/wine-bits.sh), and
# sets for the scripts:
#   wine_bits       32 or 64
#   program_preset  the preset whose Tarnwick.exe runs under that Wine: windows or windows64
#   tests_preset    the preset of the test executables: windows-tests or windows64-tests
#   winxp_version   Windows XP as winecfg names it for that Wine: winxp or winxp64 (NT 5.2)
#   winxp_expected  what GetVersionExA reports there, platform.major.minor: 2.5.1 or 2.5.2
# Functions:
#   new_wine_prefix DIR       a fresh Windows XP prefix in DIR, exporting what every later
#                             `wine` call needs; the Wine session ends when the script exits
#   wine_failed WHAT LOG...   says what failed with the tail of each LOG, then exits 1
wine_bits=$(scripts/wine-bits.sh)
export TARNWICK_WINE_BITS=$wine_bits  # the same answer for every script this one starts
if ((wine_bits == 32)); then
  program_preset=windows tests_preset=windows-tests winxp_version=winxp winxp_expected=2.5.1
else
  program_preset=windows64 tests_preset=windows64-tests winxp_version=winxp64
  winxp_expected=2.5.2
fi

wine_failed() {  # WHAT LOG...
  local log
  echo "$(basename "$0"): $1" >&2
  shift
  for log in "$@"; do
    [[ -s "$log" ]] || continue
    echo "--- the last lines of $log:" >&2
    tail -n 25 "$log" | tr -d '\r' >&2
  done
  exit 1
}

new_wine_prefix() {  # DIR
  local log=$1.log loader=/usr/lib/wine/wine
  export WINEPREFIX=$1
  # Wine's errors stay in the output, its notes on what it has not implemented do not.
  export WINEDEBUG=fixme-all LANG=C.UTF-8
  # Nothing here needs .NET or the HTML engine; without the overrides wineboot asks for them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if ((wine_bits == 32)); then
    export WINEARCH=win32
  else
    # Debian's `wine` prefers the 32-bit loader whenever it is installed, and wineboot and
    # winecfg start `wine-stable`: both names lead to the 64-bit loader here. (Scripts, not
    # links: the loader finds its own files beside the path it was started by.)
    # The loader is linked at 0x7d000000 and comes without a preloader to keep the addresses
    # above it free; with randomization, Linux starts its heap anywhere in the gigabyte after
    # it, now and then on 0x7ffe0000, where Wine maps its shared user data, and that start
    # fails ("failed to map the shared user data": about one in 600 here). Without
    # randomization (`setarch -R`) the heap starts right after the loader, every time.
    export WINEARCH=win64
    loader=/usr/lib/wine/wine64
    local bin=$PWD/build/wine64-bin name
    mkdir -p "$bin"
    for name in wine wine-stable; do
      rm -f "$bin/$name"
      printf '#!/bin/sh\nexec setarch -R %s "$@"\n' "$loader" >"$bin/$name"
      chmod +x "$bin/$name"
    done
    export PATH=$bin:$PATH
  fi
  rm -rf "$WINEPREFIX" "$log"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wine --version >"$log" 2>&1 ||
    wine_failed "Wine cannot start: \`wine --version\` ($loader) failed" "$log"
  trap 'wineserver -k 2>/dev/null || true' EXIT
  wineboot -i >>"$log" 2>&1 ||
    wine_failed "\`wineboot -i\` could not make the prefix $WINEPREFIX" "$log"
  winecfg -v "$winxp_version" >>"$log" 2>&1 ||
    wine_failed "\`winecfg -v $winxp_version\` failed in $WINEPREFIX" "$log"
  wineserver -w
  local want=${winxp_expected#*.} got
  got=$(wine reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' /v CurrentVersion \
    2>>"$log" | tr -d '\r' | awk '$1 == "CurrentVersion" {print $3}')
  [[ "$got" == "$want" ]] ||
    wine_failed "the prefix $WINEPREFIX reports Windows $got, not $want ($winxp_version)" "$log"
}
