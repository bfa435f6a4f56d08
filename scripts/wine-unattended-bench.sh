#!/usr/bin/env bash
# Tarnwick.exe /set Maxthon against the tool administrators use today: `regedit /s` of a
# registry file that holds the same writes (made from the apply itself by tarnwick-plan-reg).
# Whole processes, as a logon script starts them, in one Wine session of a fresh Windows XP
# prefix, in turns with a bare start of each program (Tarnwick.exe /? and regedit /s of an
# empty file), which tells what the two cost before any work; one unmeasured round first.
# Prints each median and the ratio.
#   scripts/wine-unattended-bench.sh [RUNS]      (default 21 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-21}
source scripts/wine-prefix.sh
exe=build/$program_preset/src/win32/Tarnwick.exe

cmake --preset "$program_preset" >/dev/null
cmake --build --preset "$program_preset" --target Tarnwick >/dev/null
cmake --preset default >/dev/null
cmake --build --preset default --target tarnwick-plan-reg >/dev/null

new_wine_prefix "$PWD/build/wine-unattended-bench"
share=$WINEPREFIX/drive_c/netlogon
mkdir -p "$share" "$WINEPREFIX/drive_c/Program Files/Maxthon"
cp "$exe" "$share/"
printf 'MZ' >"$WINEPREFIX/drive_c/Program Files/Maxthon/Maxthon.exe"
program_files=$(wine cmd /c echo %ProgramFiles% | tr -d '\r')
build/default/bench/tarnwick-plan-reg Maxthon "$program_files" "$share/maxthon.reg"
{ printf '\xff\xfe'; printf 'Windows Registry Editor Version 5.00\r\n\r\n' | iconv -t UTF-16LE; } \
  >"$share/empty.reg"
# Another browser's registrations, as a logon meets them.
wine reg add 'HKCU\Software\Classes\http\shell\open\command' /ve /d '"C:\Other\other.exe" "%1"' /f >/dev/null
# One Wine session for every run, as on a computer where Windows is already up.
wineserver -w
wineserver -p
cd "$share"
rm -f times.*

# The registry file holds exactly what /set writes for the current user: after a Reset and an
# import, /check finds every value in place; and /set itself succeeds here.
wine Tarnwick.exe /reset >/dev/null 2>&1
wine regedit /s maxthon.reg
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

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# The runs, each a command line of `wine`, measured in turns: one unmeasured round, then RUNS
# rounds; so the load of a shared machine falls on all of them alike. Besides the pair that is
# compared, each program's bare start, and two commands of Tarnwick that do part of /set's
# work: /query (start-up with its automation objects, and the current-default line) and
# /check (that, and reading what /set writes), which tell where its time goes.
commands=("Tarnwick.exe /set Maxthon" "regedit /s maxthon.reg" "Tarnwick.exe /?"
  "regedit /s empty.reg" "Tarnwick.exe /query" "Tarnwick.exe /check Maxthon")
set -f  # the words are split, never matched as file names ("/?")
for round in $(seq 0 "$runs"); do
  for i in "${!commands[@]}"; do
    # shellcheck disable=SC2086 # each entry is a command line of plain words
    ms=$(time_ms ${commands[$i]})
    ((round == 0)) || echo "$ms" >>"times.$i"
  done
done
wineserver -k
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo "wine-unattended-bench: $runs runs of each, in turns, whole processes under Wine"
printf '  %-34s %8s %8s\n' "" median fastest
for i in "${!commands[@]}"; do
  printf '  %-34s %5s ms %5s ms\n' "${commands[$i]}" "$(median <"times.$i")" \
    "$(sort -n "times.$i" | head -1)"
done
echo "  Tarnwick.exe /set Maxthon against regedit /s of the same writes, median:" \
  "$(ratio "$(median <times.0)" "$(median <times.1)") (target: at most 1.3), fastest:" \
  "$(ratio "$(sort -n times.0 | head -1)" "$(sort -n times.1 | head -1)")"
