#!/usr/bin/env bash
# Tarnwick.exe /set Maxthon against the tool administrators use today: `regedit /s` of a
# registry file that holds the same writes (made from the apply itself by tarnwick-plan-reg),
# and against a program that starts as Tarnwick.exe does and does none of its work
# (bench/bare_command-win32.cc). Whole processes, each started as a batch file starts it (the
# registry editor by its path, not through start.exe), in one Wine session of a fresh Windows
# XP prefix on a virtual display, as a logon script runs on a desktop; in turns, after one
# unmeasured round. Prints each median and fastest run, and the ratios.
#   scripts/wine-unattended-bench.sh [RUNS]      (default 21 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-prefix.sh
source scripts/bench-report.sh
build_dir=build/$program_preset-bench
prefix=$PWD/build/wine-unattended-bench
share=$prefix/drive_c/netlogon
times_dir=$share

if [[ "${1:-}" != --on-display ]]; then
  # The Tarnwick.exe built there is byte for byte the shipped one.
  cmake --preset "$program_preset" -B "$build_dir" -DTARNWICK_BENCH=ON >/dev/null
  cmake --build "$build_dir" --target Tarnwick tarnwick-bare-command >/dev/null
  cmake --preset default >/dev/null
  cmake --build --preset default --target tarnwick-plan-reg >/dev/null

  new_wine_prefix "$prefix"
  mkdir -p "$share"
  cp "$build_dir/src/win32/Tarnwick.exe" "$build_dir/bench/tarnwick-bare-command.exe" "$share/"
  program_files=$(wine cmd /c echo %ProgramFiles% | tr -d '\r')
  for browser in Maxthon/Maxthon GreenBrowser/GreenBrowser; do
    mkdir -p "$prefix/drive_c/Program Files/${browser%/*}"
    printf 'MZ' >"$prefix/drive_c/Program Files/$browser.exe"
  done
  build/default/bench/tarnwick-plan-reg Maxthon "$program_files" "$share/maxthon.reg"
  { printf '\xff\xfe'; printf 'Windows Registry Editor Version 5.00\r\n\r\n' | iconv -t UTF-16LE; } \
    >"$share/empty.reg"
  # Another browser's registrations, as a logon meets them.
  wine reg add 'HKCU\Software\Classes\http\shell\open\command' /ve /d '"C:\Other\other.exe" "%1"' \
    /f >/dev/null
  wineserver -w
  # A Wine session begun without a display has no desktop: every process that touches it would
  # pay for a desktop process that fails to start. Start a new session inside the display.
  exec xvfb-run -a -s "-screen 0 800x600x24" "$0" --on-display "${1:-21}"
fi
runs=$2
export WINEPREFIX=$prefix
# One Wine session for every run, as on a computer where Windows is already up.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
cd "$share"
rm -f times.*
regedit='C:\windows\regedit.exe'

# The registry file holds exactly what /set writes for the current user: after a Reset and an
# import, /check finds every value in place; and /set itself succeeds here.
wine Tarnwick.exe /reset >/dev/null 2>&1
wine "$regedit" /s maxthon.reg
wine Tarnwick.exe /check Maxthon >/dev/null 2>&1 ||
  wine_failed "the registry file does not hold the writes of /set Maxthon" /dev/null
wine Tarnwick.exe /set Maxthon >/dev/null 2>&1 || wine_failed "Tarnwick.exe /set Maxthon failed" /dev/null

# Milliseconds that `wine ARGS...` takes, start to end.
time_ms() {
  local start end
  start=$(date +%s%N)
  wine "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

# One round, in this order. A round begins with Maxthon's settings in place, so its first /set
# is the run of an enforcing logon script, which finds nothing to change; the two /set that
# follow each change the browser (a backup, the deletions and the writes). Besides, each
# program's bare start, and /query.
labels=("Tarnwick.exe /set Maxthon, in place" "regedit /s maxthon.reg"
  "bare program, objects made" "Tarnwick.exe /set GreenBrowser" "Tarnwick.exe /set Maxthon"
  "Tarnwick.exe /?" "bare program" "regedit /s empty.reg" "Tarnwick.exe /query")
commands=("Tarnwick.exe /set Maxthon" "$regedit /s maxthon.reg"
  "tarnwick-bare-command.exe objects" "Tarnwick.exe /set GreenBrowser" "Tarnwick.exe /set Maxthon"
  "Tarnwick.exe /?" "tarnwick-bare-command.exe" "$regedit /s empty.reg" "Tarnwick.exe /query")
set -f  # the words are split, never matched as file names ("/?")
for round in $(seq 0 "$runs"); do
  for i in "${!commands[@]}"; do
    # shellcheck disable=SC2086 # each entry is a command line of plain words
    ms=$(time_ms ${commands[$i]})
    ((round == 0)) || echo "$ms" >>"times.$i"
  done
done
echo "wine-unattended-bench: $runs runs of each, in turns, whole processes under $wine_bits-bit Wine"
print_times "${labels[@]}"
compare "/set in place against regedit /s of the same writes (target: at most 1.3)" 0 1
compare "/set that changes the browser against regedit /s" 4 1
compare "/set in place against the bare program making the objects" 0 2
compare "/set that changes the browser against the bare program making the objects" 4 2
compare "/query against the bare program's start" 8 6
