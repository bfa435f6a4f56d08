#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs each for SECONDS (default 30), all at
# once, over its seed corpus in fuzz/corpus/<name>/. New inputs go to
# build/fuzz/corpus/<name>/, crash reproducers to build/fuzz/artifacts/. Exits non-zero when any
# target finds a fault.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      e.g. scripts/fuzz.sh 600 reader
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  mapfile -t targets < <(ls fuzz/corpus)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
mkdir -p build/fuzz/artifacts

# One target's run; its report is printed when all have ended, in the targets' order.
fuzz_one() {  # NAME
  local name=$1 exe=build/fuzz/fuzz/tarnwick-fuzz-${1//_/-} work=build/fuzz/corpus/$1
  mkdir -p "$work"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/artifacts/"$name"- "$work" "fuzz/corpus/$name" \
    >build/fuzz/"$name".log 2>&1
}

# All targets at once: each runs for its time whatever the cores, which share it out.
declare -A pids
for name in "${targets[@]}"; do
  fuzz_one "$name" &
  pids[$name]=$!
done

status=0
for name in "${targets[@]}"; do
  echo "== $name: ${seconds}s"
  if ! wait "${pids[$name]}"; then
    echo "   FAILED, see build/fuzz/$name.log"
    status=1
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+ +DONE' build/fuzz/"$name".log \
    | sed 's/^/   /' || true
done
exit $status
