#!/usr/bin/env bash
# Builds the program and the start-up benchmark (preset "default" with TARNWICK_BENCH) and
# compares the program's start to its first painted window with a bare Qt window's: on the
# desktop, as a user starts it (XDG folders of its own with two browsers installed), and on the
# stand-in registry.
# Offscreen by default; with --x11, on an X server (Xvfb), where both also connect to a display.
#   scripts/startup-bench.sh [--x11] [RUNS]      (default 30 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
x11=
if [[ ${1:-} == --x11 ]]; then x11=1; shift; fi
cmake --preset default -DTARNWICK_BENCH=ON >/dev/null
cmake --build --preset default --target tarnwick tarnwick-bare-window tarnwick-startup-bench >/dev/null
bench=(build/default/bench/tarnwick-startup-bench build/default/tarnwick
  build/default/bench/tarnwick-bare-window "${1:-30}")
if [[ -n $x11 ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" env QT_QPA_PLATFORM=xcb "${bench[@]}"
fi
exec "${bench[@]}"
