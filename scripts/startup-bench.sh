#!/usr/bin/env bash
# Builds the program and the start-up benchmark (preset "default" with TARNWICK_BENCH) and
# compares the program's start to its first painted window with a bare Qt window's.
#   scripts/startup-bench.sh [RUNS]      (default 30 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default -DTARNWICK_BENCH=ON >/dev/null
cmake --build --preset default --target tarnwick tarnwick-bare-window tarnwick-startup-bench >/dev/null
exec build/default/bench/tarnwick-startup-bench build/default/tarnwick \
  build/default/bench/tarnwick-bare-window "${1:-30}"
