#!/usr/bin/env bash
# Tarnwick.exe /set Maxthon against the tool administrators use today: `regedit /s` of a
# registry file that holds the same writes (made from the apply itself by tarnwick-plan-reg).
# Whole processes, as a logon script starts them, in turns (Tarnwick, regedit, Tarnwick, ...)
# in one Wine session of a fresh Windows XP prefix, after one unmeasured run of each; then a
# bare start of each program (Tarnwick.exe /? and regedit /s of an empty file), the same way,
# for what the two cost before any work. Prints each median and the ratios.
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

# Milliseconds that `wine ARGS...` takes, start to end.
time_ms() {
  local start end
  start=$(date +%s%N)
  wine "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

measure() {  # LABEL_A ARGS_A... -- LABEL_B ARGS_B...: prints "A-median B-median"
  local -a a=() b=()
  local seen=0 arg i
  for arg in "$@"; do
    if [[ $arg == -- ]]; then seen=1; elif ((seen)); then b+=("$arg"); else a+=("$arg"); fi
  done
  time_ms "${a[@]}" >/dev/null
  time_ms "${b[@]}" >/dev/null
  : >a.times
  : >b.times
  for i in $(seq 1 "$runs"); do
    time_ms "${a[@]}" >>a.times
    time_ms "${b[@]}" >>b.times
  done
  echo "$(median <a.times) $(median <b.times)"
}

# The registry file holds exactly what /set writes for the current user: after a Reset and an
# import, /check finds every value in place; and /set itself succeeds here.
wine Tarnwick.exe /reset >/dev/null 2>&1
wine regedit /s maxthon.reg
wine Tarnwick.exe /check Maxthon >/dev/null 2>&1 ||
  wine_failed "the registry file does not hold the writes of /set Maxthon" /dev/null
wine Tarnwick.exe /set Maxthon >/dev/null 2>&1 || wine_failed "Tarnwick.exe /set Maxthon failed" /dev/null
read -r set_ms regedit_ms < <(measure Tarnwick.exe /set Maxthon -- regedit /s maxthon.reg)
read -r bare_ms regedit_bare_ms < <(measure Tarnwick.exe /? -- regedit /s empty.reg)
wineserver -k
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo "wine-unattended-bench: medians of $runs runs each, in turns, whole processes under Wine"
echo "  Tarnwick.exe /set Maxthon      $set_ms ms"
echo "  regedit /s (the same writes)   $regedit_ms ms"
echo "  ratio                          $(ratio "$set_ms" "$regedit_ms") (target: at most 1.3)"
echo "  bare starts: Tarnwick.exe /? $bare_ms ms, regedit /s of an empty file $regedit_bare_ms ms"
echo "  work beyond a bare start: Tarnwick $((set_ms - bare_ms)) ms, regedit $((regedit_ms - regedit_bare_ms)) ms"
