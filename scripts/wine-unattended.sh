#!/usr/bin/env bash
# Tarnwick.exe without its window under Wine, as a logon script runs it: builds the program
# preset's Tarnwick.exe and the registry traps, makes a fresh Windows XP prefix with a stand-in
# Maxthon and another browser's registrations, copies the program, the sample logon script and
# scripts/wine-unattended.cmd into C:\netlogon, and runs that batch file with `wine cmd /c` on
# a virtual display while xdotool watches for any window. Then checks every run's exit code and
# output, what `wine reg query` and `wine reg export` saw, the backups, the logs, and that no
# window ever appeared. Last, two computers (this prefix and a copy of it under another
# computer name) append their runs to one log at the same time; every line must arrive whole.
# Fails when a check fails.
set -euo pipefail
trap 'echo "wine-unattended: \`$BASH_COMMAND\` failed (status $?)" >&2' ERR
cd "$(dirname "$0")/.."
source scripts/wine-prefix.sh
build_dir=build/$program_preset
exe=$build_dir/src/win32/Tarnwick.exe
traps=$build_dir/src/win32/tarnwick-registry-traps.exe
prefix=$PWD/build/wine-unattended

if [[ "${1:-}" != --on-display ]]; then
  cmake --preset "$program_preset" >/dev/null
  cmake --build --preset "$program_preset" --target Tarnwick tarnwick-registry-traps
  new_wine_prefix "$prefix"
  echo "wine-unattended: the $wine_bits-bit $exe in a Windows XP prefix ($winxp_version)"
  share=$WINEPREFIX/drive_c/netlogon
  mkdir -p "$share" "$WINEPREFIX/drive_c/Program Files/Maxthon"
  cp "$exe" "$traps" "$share/"
  # Batch files with CRLF line ends, as Windows keeps them.
  sed 's/\r*$/\r/' scripts/wine-unattended.cmd >"$share/wine-unattended.cmd"
  sed 's/\r*$/\r/' packaging/windows/set-default-browser.cmd >"$share/set-default-browser-as-shipped.cmd"
  # The administrator's log, which the script as shipped leaves to be set.
  sed -e 's/\r*$/\r/' -e 's/^set LOG=.*/set LOG=%~dp0Logs\\default-browser.log\r/' \
    packaging/windows/set-default-browser.cmd >"$share/set-default-browser.cmd"
  mkdir -p "$share/Logs"
  printf 'MZ' >"$WINEPREFIX/drive_c/Program Files/Maxthon/Maxthon.exe"
  # A backup planted by someone else: the browser's command, and a program run at every logon.
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Classes\http\shell\open\command]' '@="C:\\planted.exe"' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]' \
    '"Updater"="C:\\planted.exe"' >"$share/planted-run.reg"
  # Another browser's registrations, which /set overwrites and /undo must bring back.
  wine reg add 'HKCU\Software\Classes\http\shell\open\command' /ve /d '"C:\Other\other.exe" "%1"' /f >/dev/null
  wine reg add 'HKCU\Software\Microsoft\Internet Explorer\Main' /v Check_Associations /d yes /f >/dev/null
  wineserver -w
  exec xvfb-run -a -s "-screen 0 800x600x24" "$0" --on-display
fi

out=$WINEPREFIX/drive_c/netlogon/out
failures=0
fail() {
  echo "wine-unattended: $*" >&2
  failures=$((failures + 1))
}

# The names of the visible windows on the display, one a line.
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    xdotool getwindowname "$id" 2>/dev/null || true
  done
}

# A file of the batch's folder "out" without its CRs.
text() { tr -d '\r' <"$out/$1" 2>/dev/null || true; }

# Runs the batch file, watching the display all the while.
log=$prefix.batch.log
windows=$prefix.windows.txt
: >"$windows"
# A writer that holds the turn of one log for ever, as a user or a computer gone from the
# network may.
wine 'C:\netlogon\tarnwick-registry-traps.exe' hold-log 'C:\netlogon\Logs\held.log' \
  >"$prefix.holder" 2>>"$log" &
for _ in $(seq 1 100); do grep -q held "$prefix.holder" 2>/dev/null && break; sleep 0.2; done
grep -q held "$prefix.holder" || wine_failed "the log's turn could not be held" "$log"
wine cmd /c 'C:\netlogon\wine-unattended.cmd' >"$log" 2>&1 &
batch=$!
while kill -0 "$batch" 2>/dev/null; do
  visible_windows >>"$windows"
  sleep 0.2
done
wait "$batch" || wine_failed "\`wine cmd /c wine-unattended.cmd\` failed" "$log"
[[ -s "$out/codes.txt" ]] || wine_failed "the batch file recorded no exit codes" "$log"

# Every run's exit code.
declare -A expected=(
  [bad]=1 [help]=0 [missing]=3 [neither]=3 [query-none]=0 [once1]=0 [once2]=0 [query]=0
  [check]=0 [drifted]=10 [list]=0 [set]=0 [set-again]=0 [undo]=0 [redo]=0 [planted]=7 [far-future]=0
  [refused]=2 [no-backup]=7
  [unsaved]=4 [writes-failed]=5 [reset-incomplete]=6 [reset]=0 [quiet]=0 [logon-script]=0
  [logon-script-again]=0 [log-empty]=1 [held]=0 [relative]=3 [logon-script-unset]=1
)
declare -A got=()
while read -r name code; do got[$name]=$code; done < <(text codes.txt)
for name in "${!expected[@]}"; do
  [[ "${got[$name]:-none}" == "${expected[$name]}" ]] ||
    fail "$name: exit code ${got[$name]:-none}, not ${expected[$name]}"
done

expect_text() {  # FILE EXPECTED
  local actual
  actual=$(text "$1")
  [[ "$actual" == "$2" ]] || fail "$1: \"$actual\", not \"$2\""
}
expect_has() {  # FILE PART... (each PART found in FILE as it is written)
  local file=$1 actual part
  actual=$(text "$file")
  shift
  for part in "$@"; do
    [[ "$actual" == *"$part"* ]] || fail "$file: \"$actual\" lacks \"$part\""
  done
}
expect_has bad.err 'unknown switch "/sett"' 'Usage: Tarnwick.exe [COMMAND]'
expect_has help.out 'Usage: Tarnwick.exe [COMMAND]' '  /undo ' '  10  check: '
expect_text missing.err 'Mozilla Firefox is not installed: there is no file "C:\Program Files\Mozilla Firefox\firefox.exe". Nothing was changed.'
expect_has neither.err '"Opera" is neither a preset nor a full path.' 'GreenBrowser, Internet Explorer 6, Maxthon'
expect_has log-empty.err '"/log" needs FILE, not an empty text'
expect_text held.err 'The log "C:\netlogon\Logs\held.log" could not be written: another writer held it for more than 3 seconds.'
[[ ! -s "$WINEPREFIX/drive_c/netlogon/Logs/held.log" ]] || fail "a line was written to the held log"
# Once more, timed from here: the deadline, the start of Wine and a margin at most.
started=$(date +%s%N)
held_code=0
timeout 60 wine 'C:\netlogon\Tarnwick.exe' /query /quiet /log 'C:\netlogon\Logs\held.log' \
  >>"$log" 2>&1 || held_code=$?
held_ms=$((($(date +%s%N) - started) / 1000000))
((held_code == 0 && held_ms >= 3000 && held_ms < 13000)) ||
  fail "with the log held for ever /query ended with $held_code after $held_ms ms"
expect_has relative.err '"Maxthon\Maxthon.exe" is neither a preset nor a full path.'
expect_has logon-script-unset.err 'set LOG at its top to your own log file first.'
expect_text query-none.out ''
expect_text once1.out 'Maxthon Web Browser is currently the default browser.'
expect_has http-command.txt '"C:\Program Files\Maxthon\Maxthon.exe" "%1"'
expect_text once2.out 'Maxthon was set once for this user before, so nothing was changed.'
[[ "$(text backups-after-once.txt | wc -l)" == 1 ]] ||
  fail "/set /once twice left these backups: $(text backups-after-once.txt)"
expect_text query.out 'Maxthon Web Browser'
expect_text check.out 'Every setting of Maxthon is in place.'
expect_has list.out '* Maxthon               installed' '  Mozilla Firefox       not installed'
expect_text drifted.out 'HKEY_CURRENT_USER\Software\Classes\https\Shell\'
expect_text set-again.out 'Every setting of Maxthon is in place, so nothing was changed.'
expect_has undo.out 'The settings saved in "C:\' ' Apply Maxthon.reg" are restored.'
expect_has redo.out '\Tarnwick\Backups\' ' Undo' '.reg" are restored.'
expect_has planted.err '2001-01-01 00-00-00 #999999 Apply Maxthon.reg" cannot be read: it changes [HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run], which Tarnwick never does. Nothing was changed.'
if grep -qi 'planted.exe' "$out/run-key.txt"; then
  fail "the planted Run key was imported: $(text run-key.txt)"
fi
expect_has far-future.out '\Tarnwick\Backups\' ' Undo.reg" are restored.'
[[ "$(text far-future.out)" != *9999* ]] || fail "far-future: $(text far-future.out)"
expect_has refused.err 'This utility is intended for Windows'
expect_has no-backup.err 'There is no backup to undo in "C:\' 'Tarnwick\Backups".'
expect_has unsaved.err 'Your current settings could not be saved to "C:\' ', so nothing was changed.'
expect_has writes-failed.err '4 of 28 settings could not be written, so the browser is not fully set as your default.'
expect_text reset-incomplete.err $'Not all per-user settings could be cleared. These keys remain:\nHKEY_CURRENT_USER\\Software\\Classes\\http'
expect_text reset.out 'Per-user settings are cleared. System default browser will be used from now on.'
expect_text quiet.out ''
expect_text quiet.err ''
# Output goes to a redirected file with CRLF line ends, as from any console program.
grep -q $'\r$' "$out/once1.out" || fail "once1.out has no CRLF line ends"

# `wine reg export` of everything a change may touch, compared byte for byte.
same_exports() {  # FIRST SECOND WHAT
  local part
  for part in classes clients iemain machine; do
    # A key that is missing in both is the same in both.
    [[ ! -e "$out/$1-$part.reg" && ! -e "$out/$2-$part.reg" ]] && continue
    if ! cmp -s "$out/$1-$part.reg" "$out/$2-$part.reg"; then
      fail "$3 ($1-$part.reg and $2-$part.reg differ)"
      diff <(iconv -f UTF-16 -t UTF-8 "$out/$1-$part.reg") \
        <(iconv -f UTF-16 -t UTF-8 "$out/$2-$part.reg") | head -20 >&2 || true
    fi
  done
}
[[ -s "$out/other-classes.reg" ]] || fail "reg export wrote nothing"
same_exports other after-missing "/set of a preset that is not installed changed the registry"
same_exports before-set after-undo "/undo did not restore what reg export showed before /set"
same_exports after-set after-redo "a second /undo did not bring back what /set had written"
same_exports after-redo after-planted "/undo of a planted backup changed the registry"
same_exports before-set after-far-future "/undo beside a far-future name and a folder did not undo the last undo"
same_exports before-unsaved after-unsaved "/set without a backup changed the registry"

# The logs: the batch's own, and the sample logon script's.
run_log=$(tr -d '\r' <"$WINEPREFIX/drive_c/netlogon/Logs/tarnwick.log")
[[ $(wc -l <<<"$run_log") == 3 ]] || fail "the batch's log holds: $run_log"
[[ "$run_log" == *$'\tTarnwick.exe /set Maxthon /once /log C:\\netlogon\\Logs\\tarnwick.log\tMaxthon Web Browser is currently the default browser.\t0'* ]] ||
  fail "the batch's log lacks the /set line: $run_log"
logon_log=$(tr -d '\r' <"$WINEPREFIX/drive_c/netlogon/Logs/default-browser.log")
[[ $(wc -l <<<"$logon_log") == 2 &&
  "$logon_log" == *$'\tMozilla Firefox was set once for this user before, so nothing was changed.\t0' ]] ||
  fail "the logon script's log holds: $logon_log"

# No window of any kind, message boxes and dialogs included, ever appeared; and the watch
# does see one, the program's own window when it is started without arguments.
if [[ -s "$windows" ]]; then
  fail "windows appeared: $(sort -u "$windows" | tr '\n' ';')"
fi
# Started with a browser's program file (dropped on it, "Open with"), it is that window, with
# the path in the custom box and nothing applied: the box's Apply (Alt+A) then sets it.
http_command() {
  { wine reg query 'HKCU\Software\Classes\http\Shell\MyHTMLFile\Command' /ve 2>/dev/null || true; } |
    tr -d '\r'
}
firefox_command=$(http_command)
(cd "$WINEPREFIX/drive_c/netlogon" &&
  wine Tarnwick.exe 'C:\Program Files\Maxthon\Maxthon.exe' >>"$log" 2>&1 &)
seen=
for _ in $(seq 1 120); do
  seen=$(visible_windows | grep -m1 'Tarnwick v1.5' || true)
  [[ -n "$seen" ]] && break
  sleep 0.5
done
[[ -n "$seen" ]] || fail "the watch for windows did not even see the program's window"
[[ "$(http_command)" == "$firefox_command" ]] || fail "a dropped file changed the registry by itself"
sleep 1
xdotool key --clearmodifiers alt+a
for _ in $(seq 1 40); do
  [[ "$(http_command)" == *'"C:\Program Files\Maxthon\Maxthon.exe" "%1"'* ]] && break
  sleep 0.5
done
[[ "$(http_command)" == *'"C:\Program Files\Maxthon\Maxthon.exe" "%1"'* ]] ||
  fail "the custom Apply of the dropped file did not set it: $(http_command)"
wineserver -k 2>/dev/null || true

# Two computers log on at once: this prefix, and a copy of it that runs under another host
# name (a UTS namespace of its own, where this account may make one), which Wine takes for its
# computer name.
wineserver -w
second=$prefix-second
rm -rf "$second"
cp -a "$WINEPREFIX" "$second"
first_name=$(wine cmd /c echo %COMPUTERNAME% | tr -d '\r')
second_name=$first_name
as_second=(env WINEPREFIX="$second")
if unshare --uts true 2>/dev/null; then
  second_name=SECOND-PC
  as_second=(unshare --uts sh -c "hostname $second_name && exec env WINEPREFIX='$second' \"\$@\"" -)
fi
shared=$PWD/build/wine-unattended-shared.log
rm -f "$shared"
shared_windows=$(winepath -w "$shared")
wine cmd /c 'C:\netlogon\wine-unattended.cmd' storm "$shared_windows" >>"$log" 2>&1 &
one=$!
"${as_second[@]}" wine cmd /c 'C:\netlogon\wine-unattended.cmd' storm "$shared_windows" \
  >>"$log" 2>&1 &
two=$!
# (`wait` on two processes at once would report the second one's status only.)
wait "$one" || fail "the first computer's runs failed (status $?)"
wait "$two" || fail "the second computer's runs failed (status $?)"
lines=$(tr -d '\r' <"$shared" | wc -l)
line_pattern=$'^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}[+-][0-9]{2}:[0-9]{2}\t[^\t]+\t[^\t]+\tTarnwick.exe /check Maxthon /quiet /log [^\t]+\t[^\t]*\t10$'
whole=$(tr -d '\r' <"$shared" | grep -cE "$line_pattern" || true)
by_computer=$(tr -d '\r' <"$shared" | cut -f2 | sort | uniq -c | tr -s ' ' | tr '\n' ';')
((lines == 40 && whole == 40)) || fail "the shared log holds $lines lines, $whole of them whole"
if [[ "$second_name" != "$first_name" ]]; then
  [[ "$by_computer" == *" 20 $second_name;"* && "$by_computer" == *" 20 $first_name;"* ]] ||
    fail "the shared log's lines by computer: $by_computer"
else
  echo "wine-unattended: no host name of its own for the second computer here"
fi
WINEPREFIX=$second wineserver -k 2>/dev/null || true
rm -rf "$second"

# A run loads nothing that its command does not need: never the common controls, and the
# automation objects only to find a browser ("Scripting.FileSystemObject", scrrun.dll) and to
# write one ("WScript.Shell", wshom.ocx). A /set that changes the browser loads both.
loaded() {  # ARGS... -> the DLLs that `Tarnwick.exe ARGS...` loaded, lower case, one a line
  (cd "$WINEPREFIX/drive_c/netlogon" && WINEDEBUG=+loaddll wine Tarnwick.exe "$@" 2>&1 >/dev/null) |
    tr -d '\r' | grep -o 'Loaded L"[^"]*"' | sed 's/.*\\//; s/"$//' | tr 'A-Z' 'a-z' || true
}
expect_dlls() {  # WANTED UNWANTED ARGS...: the DLLs (blank-separated) loaded and not loaded
  local wanted=$1 unwanted=$2 dlls dll
  shift 2
  dlls=$(loaded "$@")
  for dll in $wanted; do
    if ! grep -qx "$dll" <<<"$dlls"; then fail "Tarnwick.exe $* did not load $dll"; fi
  done
  for dll in $unwanted; do
    if grep -qx "$dll" <<<"$dlls"; then fail "Tarnwick.exe $* loaded $dll"; fi
  done
}
wine 'C:\netlogon\Tarnwick.exe' /reset >/dev/null 2>&1 || true
expect_dlls "scrrun.dll wshom.ocx" "comctl32.dll" /set Maxthon
expect_dlls "scrrun.dll" "comctl32.dll wshom.ocx" /set Maxthon
for command in /query '/?'; do
  expect_dlls "" "comctl32.dll scrrun.dll wshom.ocx" "$command"
done

if ((failures)); then
  wine_failed "$failures check(s) failed; the batch's files are in $out" "$log"
fi
echo "wine-unattended: every command and exit code from a batch file, no window, exact" \
  "exports around /set of a missing browser and /undo, planted backups never imported," \
  "one backup for /set /once twice, only the DLLs each command needs," \
  "and whole log lines from two computers at once"
