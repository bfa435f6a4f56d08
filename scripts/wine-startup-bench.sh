#!/usr/bin/env bash
# Start-up of the shipped Tarnwick.exe under Wine against a bare Win32 window of the same client
# size, built by the same compilers with the same flags (preset "windows" with TARNWICK_BENCH,
# in build/windows-bench; the Tarnwick.exe built there is byte for byte the shipped one). Both
# run alternately in one fresh 32-bit Windows XP prefix on a virtual display (Xvfb), with a
# Wine session that stays up between runs, so that each run pays for its own process only.
# Where this machine cannot start 32-bit programs, both are built for x86_64 (preset
# "windows64", in build/windows64-bench) and run in a 64-bit Windows XP x64 prefix.
#   scripts/wine-startup-bench.sh [RUNS]      (default 30 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-prefix.sh
build_dir=build/$program_preset-bench

if [[ "${1:-}" != --on-display ]]; then
  cmake --preset "$program_preset" -B "$build_dir" -DTARNWICK_BENCH=ON >/dev/null
  cmake --build "$build_dir" --target Tarnwick tarnwick-bare-window >/dev/null
  echo "Tarnwick.exe: $(stat -c %s "$build_dir/src/win32/Tarnwick.exe") bytes," \
    "sha256 $(sha256sum <"$build_dir/src/win32/Tarnwick.exe" | cut -c1-16)..."
  new_wine_prefix "$PWD/$build_dir/wineprefix"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
  # What a Maxthon apply leaves and the window reads at its start: the per-user Start-menu
  # client and its machine-wide name, so that the current-default line is shown.
  wine reg add 'HKCU\Software\Clients\StartMenuInternet' /ve /d Maxthon.exe /f >/dev/null
  wine reg add 'HKLM\Software\Clients\StartMenuInternet\Maxthon.exe' /v LocalizedString \
    /d 'Maxthon Web Browser' /f >/dev/null
  wineserver -w
  # A Wine session begun without a display has no graphics driver: start a new one inside.
  exec xvfb-run -a -s "-screen 0 800x600x24" "$0" --on-display "${1:-30}"
fi

# One Wine session for all runs, ended with the display.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
python3 bench/wine_startup_bench.py "$build_dir/src/win32/Tarnwick.exe" \
  "$build_dir/bench/tarnwick-bare-window.exe" "${2:-30}"
