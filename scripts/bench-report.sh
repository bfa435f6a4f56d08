# Sourced by the benchmarks that time whole processes: the figures of the runs, kept one file
# per measured command line, `$times_dir/times.N`, one run's milliseconds a line.
#   median <FILE         the median of the numbers in FILE
#   fastest N            the fewest milliseconds of times.N
#   ratio A B            A / B, two decimals
#   compare WHAT I J     one line: WHAT, the ratio of times.I to times.J, medians and fastest
#   print_times LABEL... the median and fastest of each times.N, under the Nth LABEL

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

fastest() { sort -n "$times_dir/times.$1" | head -1; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

compare() {  # WHAT I J
  echo "  $1: median $(ratio "$(median <"$times_dir/times.$2")" "$(median <"$times_dir/times.$3")")," \
    "fastest $(ratio "$(fastest "$2")" "$(fastest "$3")")"
}

print_times() {  # LABEL...
  local i=0 label
  printf '  %-38s %8s %8s\n' "" median fastest
  for label in "$@"; do
    printf '  %-38s %5s ms %5s ms\n' "$label" "$(median <"$times_dir/times.$i")" "$(fastest "$i")"
    i=$((i + 1))
  done
}
