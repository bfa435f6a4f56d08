#!/usr/bin/env bash
# The program without its window on Linux, end to end and without a display: every command and
# every exit code that a script can bring about, against stand-in hives of their own, checked
# with tarnwick-reg (QUERY, and EXPORT for exact comparisons) and by the files left behind.
#   scripts/unattended-linux.sh [TARNWICK [TARNWICK_REG]]     (default: the build/default ones)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/default/tarnwick}")
reg=$(realpath "${2:-build/default/tools/tarnwick-reg/tarnwick-reg}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# No display of any kind: a run that needed one would fail here.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export TARNWICK_USER_HIVE=$work/home/user.hive TARNWICK_MACHINE_HIVE=$work/machine/machine.hive
export ProgramFiles="$work/Program Files"
backups=$work/home/backups
mkdir -p "$ProgramFiles/Maxthon" "$work/Apps"
touch "$ProgramFiles/Maxthon/Maxthon.exe" "$work/Apps/other.exe"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs the program; sets rc, out and err.
run() {
  rc=0
  "$program" "$@" >"$work/out" 2>"$work/err" || rc=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}

expect() {  # CODE WHAT
  ((rc == $1)) || fail "$2: exit code $rc, not $1 (out: '$out', err: '$err')"
}

# Every key the commands touch, exactly, as tarnwick-reg exports them.
export_state() {  # FILE
  : >"$1"
  local key
  for key in 'HKCU\Software\Classes' 'HKCU\Software\Clients' \
    'HKCU\Software\Microsoft\Internet Explorer\Main' 'HKLM\Software\Clients'; do
    "$reg" EXPORT "$key" "$work/part.reg" /y >/dev/null 2>&1 && cat "$work/part.reg" >>"$1" ||
      echo "(no $key)" >>"$1"
  done
}

backup_count() { find "$backups" -name '*.reg' 2>/dev/null | wc -l; }

default_of() { "$reg" QUERY "$1" /ve 2>/dev/null | sed -n 's/^ *(Default) *REG_SZ *//p'; }

# Another browser's registrations first, which /set overwrites and /undo must bring back.
"$reg" ADD 'HKCU\Software\Classes\http\shell\open\command' /ve /d '"/opt/other" "%1"' /f >/dev/null
"$reg" ADD 'HKCU\Software\Microsoft\Internet Explorer\Main' /v Check_Associations /d yes /f >/dev/null
export_state "$work/other.txt"

run --query
expect 0 "--query with no browser of its own"
[[ -z "$out" ]] || fail "--query printed '$out' with no default line"

run --set "Mozilla Firefox"
expect 3 "--set of a preset that is not installed"
[[ "$err" == "Mozilla Firefox is not installed: there is no file \"$ProgramFiles\\Mozilla Firefox\\firefox.exe\". Nothing was changed." ]] ||
  fail "--set of a missing preset said '$err'"
export_state "$work/now.txt"
cmp -s "$work/other.txt" "$work/now.txt" || fail "--set of a missing preset changed the hive"
run --set opera
expect 3 "--set of neither a preset nor a file"
[[ "$err" == *"GreenBrowser, Internet Explorer 6, Maxthon"* ]] || fail "no presets listed: '$err'"
(($(backup_count) == 0)) || fail "a refused --set left a backup"

run --set maxthon --once
expect 0 "--set maxthon --once"
[[ "$out" == "Maxthon Web Browser is currently the default browser." ]] || fail "--set said '$out'"
[[ "$(default_of 'HKCU\Software\Classes\http\Shell\MyHTMLFile\Command')" == "\"$ProgramFiles\\Maxthon\\Maxthon.exe\" \"%1\"" ]] ||
  fail "--set did not write the http command"
export_state "$work/maxthon.txt"
run --set Maxthon --once
expect 0 "--set Maxthon --once again"
(($(backup_count) == 1)) || fail "--set --once twice left $(backup_count) backups, not 1"

run --query
[[ "$out" == "Maxthon Web Browser" ]] || fail "--query printed '$out'"
run --check MAXTHON
expect 0 "--check of the browser in place"
run --list
expect 0 "--list"
[[ "$out" == *"* Maxthon               installed"* && "$out" == *"  Mozilla Firefox       not installed"* ]] ||
  fail "--list printed '$out'"

"$reg" ADD 'HKCU\Software\Classes\https\Shell' /ve /d open /f >/dev/null
run --check Maxthon
expect 10 "--check after one value changed"
[[ "$out" == 'HKEY_CURRENT_USER\Software\Classes\https\Shell\' ]] || fail "--check printed '$out'"

run --set "$work/Apps/other.exe"
expect 0 "--set of a program file"
[[ "$out" == "other.exe is currently the default browser." ]] || fail "--set of a file said '$out'"

# Undo brings back the state before the last change; a second undo redoes it.
"$program" --set maxthon >/dev/null
export_state "$work/maxthon.txt"
"$program" --set "$work/Apps/other.exe" >/dev/null
export_state "$work/custom.txt"
run --undo
expect 0 "--undo"
export_state "$work/now.txt"
cmp -s "$work/maxthon.txt" "$work/now.txt" || fail "--undo did not restore the state before"
run --undo
export_state "$work/now.txt"
cmp -s "$work/custom.txt" "$work/now.txt" || fail "a second --undo did not redo"

run --reset --quiet --log "$work/runs.log"
expect 0 "--reset --quiet"
[[ -z "$out$err" ]] || fail "--quiet printed '$out$err'"
[[ -z "$(default_of 'HKCU\Software\Classes\http\Shell')" ]] || fail "--reset left the http verbs"
[[ "$(tail -1 "$work/runs.log")" == *$'\ttarnwick --reset --quiet --log '*$'\tPer-user settings are cleared. System default browser will be used from now on.\t0' ]] ||
  fail "the log line is '$(tail -1 "$work/runs.log")'"

run --sett maxthon
expect 1 "a misspelt command"
[[ "$err" == 'unknown switch "--sett"'*Usage:* ]] || fail "a bad command line said '$err'"
run --help
expect 0 "--help"

# Without a backup folder there is nothing to undo; where it cannot be made, nothing changes.
mv "$backups" "$work/kept-backups"
run --undo
expect 7 "--undo without backups"
touch "$backups"
export_state "$work/before.txt"
run --set maxthon
expect 4 "--set when no backup can be saved"
export_state "$work/now.txt"
cmp -s "$work/before.txt" "$work/now.txt" || fail "--set without a backup changed the hive"
rm "$backups"

"$reg" ADD 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' /v CurrentVersion /d 6.0 /f >/dev/null
run --query
expect 2 "--query on another Windows"
[[ "$err" == *"intended for Windows"* ]] || fail "the refusal said '$err'"
"$reg" DELETE 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' /f >/dev/null

# Many runs at once, as logon scripts on two computers: every line arrives whole.
for i in $(seq 1 10); do "$program" --check maxthon --quiet --log "$work/shared.log" & done
for i in $(seq 1 10); do "$program" --query --quiet --log "$work/shared.log" & done
wait
lines=$(wc -l <"$work/shared.log")
whole=$(grep -cE $'^[0-9T:+-]{25}\t[^\t]*\t[^\t]*\ttarnwick --(check maxthon|query) --quiet --log [^\t]*\t[^\t]*\t(0|10)$' "$work/shared.log" || true)
((lines == 20 && whole == 20)) || fail "the shared log holds $lines lines, $whole of them whole"

# A writer that holds the log's turn for ever (the byte every writer locks, as another process
# would) costs a run no more than the deadline: it says so, and ends with its own exit code.
held=$work/held.log
python3 -c '
import fcntl, os, sys, time
fd = os.open(sys.argv[1], os.O_WRONLY | os.O_APPEND | os.O_CREAT, 0o666)
fcntl.lockf(fd, fcntl.LOCK_EX | fcntl.LOCK_NB, 1, 1 << 62)
print("held", flush=True)
time.sleep(3600)' "$held" >"$work/holder" &
holder=$!
for _ in $(seq 1 100); do [[ -s "$work/holder" ]] && break; sleep 0.1; done
rc=0
timeout 13 "$program" --query --log "$held" >"$work/out" 2>"$work/err" || rc=$?
err=$(cat "$work/err")
((rc == 0)) || fail "--query with the log held for ever: exit code $rc, not 0 (124: still waiting after 13 s)"
[[ "$err" == "The log \"$held\" could not be written: another writer held it for more than 3 seconds." ]] ||
  fail "--query with the log held said '$err'"
kill "$holder"
wait "$holder" 2>/dev/null || true
[[ ! -s "$held" ]] || fail "a line was written to the held log"

# Paths a logon script would read from its own folder, and an empty log name (an unset
# variable), are refused before anything is done.
cd "$work/Apps"
run --set other.exe
cd - >/dev/null
expect 3 "--set of a relative path"
[[ "$err" == '"other.exe" is neither a preset nor a full path.'* ]] || fail "--set of a relative path said '$err'"
run --query --log ""
expect 1 "--log with an empty name"
[[ "$err" == '"--log" needs FILE, not an empty text'* ]] || fail "--log \"\" said '$err'"

if ((failures)); then
  echo "unattended-linux: $failures check(s) failed" >&2
  exit 1
fi
echo "unattended-linux: every command and exit code checked without a display"
