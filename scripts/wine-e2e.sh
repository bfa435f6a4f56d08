#!/usr/bin/env bash
# End to end under Wine: builds the shipped Tarnwick.exe, checks its version information and
# resources, starts it in a fresh Windows XP prefix on a virtual display, selects the
# "Maxthon" preset and presses the presets' Apply with the mouse, then checks with
# `wine reg query` what landed under HKCU\Software\Classes, and that the window shows the new
# current default, over another program's registrations. The apply's backup, imported with
# `wine regedit /s`, must bring back exactly what `wine reg export` showed before. Then the
# same with the keyboard alone: Tab into the option group, the arrow keys to "Maxthon", Tab to
# Apply, Enter; and a Reset by Alt+R, whose backup must restore what it removed. Before, it
# checks that the program, told by Wine that it runs on Windows 2000, shows only its own refusal
# (what a later Windows that loads it shows; Windows 2000 itself does not load it), and that a
# run with TARNWICK_FIRST_PAINT paints the window and ends. Leaves a screenshot of the window in
# docs/screenshots/windows-wine.png.
# The prefix is 32-bit Windows XP where this machine can start 32-bit programs; elsewhere the
# program is built for x86_64 and runs in a 64-bit prefix set to Windows XP x64
# (scripts/wine-prefix.sh).
# Fails when a check fails.
set -euo pipefail
trap 'echo "wine-e2e: \`$BASH_COMMAND\` failed (status $?)" >&2' ERR
cd "$(dirname "$0")/.."
source scripts/wine-prefix.sh
exe=build/$program_preset/src/win32/Tarnwick.exe

if [[ "${1:-}" != --on-display ]]; then
  cmake --preset "$program_preset" >/dev/null
  cmake --build --preset "$program_preset" --target Tarnwick
  scripts/check-resources.py "$exe"

  # Outside build/windows, whose .exe files the import audit checks.
  new_wine_prefix "$PWD/build/wine-e2e"
  echo "wine-e2e: the $wine_bits-bit $exe in a Windows XP prefix ($winxp_version)"
  # No window manager runs on the virtual display: Wine draws the title bars itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
  # The preset's browser where the catalogue expects it; the program only tests that it exists.
  mkdir -p "$WINEPREFIX/drive_c/Program Files/Maxthon"
  printf 'MZ' >"$WINEPREFIX/drive_c/Program Files/Maxthon/Maxthon.exe"
  wineserver -w
  # A Wine session begun without a display has no graphics driver: start a new one inside.
  exec xvfb-run -a -s "-screen 0 800x600x24" "$0" --on-display
fi

shot=docs/screenshots/windows-wine.png
failures=0

fail() {
  echo "wine-e2e: $*" >&2
  failures=$((failures + 1))
}

# The default value of a key, or nothing when the key or the value is missing.
reg_default() {
  wine reg query "$1" /ve 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *([^)]*) *REG_[A-Z_]* *//p' | head -1
}

expect_default() {  # KEY EXPECTED
  local got
  got=$(reg_default "$1")
  [[ "$got" == "$2" ]] || fail "$1: expected \"$2\", found \"$got\""
}

# Twips to pixels at 96 dots per inch, rounded as the program rounds.
px() { echo $((($1 * 96 + 720) / 1440)); }

# Client-area positions of the two controls, from the layout table: each control's own place
# plus that of its frame, Frame2 at (120, 480).
option3_x=$(px $((120 + 480))) option3_y=$(px $((480 + 840 + 255 / 2)))
command7_x=$(px $((120 + 3480 + 735 / 2))) command7_y=$(px $((480 + 1680 + 615 / 2)))
client_width=$(px 4560) client_height=$(px 6705)

# The first X window whose title matches, waiting up to `tries` half seconds; nothing if none.
find_window() {  # TITLE TRIES
  local found= _
  for _ in $(seq 1 "$2"); do
    found=$(xdotool search --name "$1" 2>/dev/null | head -1) || true
    [[ -n "$found" ]] && break
    sleep 0.5
  done
  echo "$found"
}

# Everything an apply or a Reset may change, as `wine reg export` writes it, in one file.
keys=('HKCU\Software\Classes' 'HKCU\Software\Clients' 'HKCU\Software\Microsoft\Internet Explorer\Main'
  'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts' 'HKLM\Software\Clients')
export_state() {  # FILE
  local key part=$WINEPREFIX/export.reg
  : >"$1"
  for key in "${keys[@]}"; do
    if wine reg export "$key" "$(winepath -w "$part")" /y >/dev/null 2>&1; then
      iconv -f UTF-16 -t UTF-8 "$part" | tr -d '\r' >>"$1"
    else
      echo "(no $key)" >>"$1"
    fi
  done
}

# Imports the newest backup whose name ends in `what`, then compares the registry with FILE.
restore_and_compare() {  # WHAT FILE
  local backup restored=$WINEPREFIX/restored.txt
  backup=$(find "$WINEPREFIX/drive_c/users" -path '*Tarnwick/Backups/*' -name "*$1.reg" |
    sort | tail -1)
  if [[ -z "$backup" ]]; then
    fail "no backup of \"$1\" in the user's Application Data"
    return
  fi
  wine regedit /s "$(winepath -w "$backup")"
  wineserver -w
  export_state "$restored"
  diff -u "$2" "$restored" >&2 || fail "the backup \"$(basename "$backup")\" did not restore the registry"
}

# Starts the program and waits for its main window, which it prints; nothing when none appears.
# (The program's output goes to standard error, which the caller's $(...) does not wait for.)
start_program() {  # WHAT
  local found
  wine "$exe" >&2 &
  found=$(find_window "Tarnwick v1.5" 120)
  if [[ -z "$found" ]]; then
    echo "wine-e2e: the main window did not appear $1" >&2
    return
  fi
  sleep 2
  echo "$found"
}

# Waits up to 20 s until the per-user Start-menu client is set (set) or gone (gone).
wait_for_client() {  # set|gone
  local _
  for _ in $(seq 1 40); do
    if [[ -n "$(reg_default 'HKCU\Software\Clients\StartMenuInternet')" ]]; then
      [[ $1 == set ]] && return
    else
      [[ $1 == gone ]] && return
    fi
    sleep 0.5
  done
}

[[ -z "$(reg_default 'HKCU\Software\Classes\.htm')" ]] ||
  fail "the fresh prefix already has a per-user .htm class"
# Another browser's registrations, which an apply overwrites and a backup must keep.
wine reg add 'HKCU\Software\Classes\http\shell\open\command' /ve /d '"C:\Other\other.exe" "%1"' /f >/dev/null
wine reg add 'HKCU\Software\Microsoft\Internet Explorer\Main' /v Check_Associations /d yes /f >/dev/null
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.htm\OpenWithList' \
  /v a /d other.exe /f >/dev/null
before_apply=$WINEPREFIX/before-apply.txt
export_state "$before_apply"

# Told that it runs on another Windows, the program only says that it runs on Windows XP, and
# no window opens: what Windows Vista and later show, which load the exe. Windows 2000, NT 4 and
# 9x never start it at all, for its NT 5.1 mark, which Wine's loader ignores: this shows the
# program's refusal, not what Windows 2000 itself shows. Windows 2000 is set for this one
# program (AppDefaults), which both Wines honour; 64-bit Wine has none for a whole prefix.
wine reg add 'HKCU\Software\Wine\AppDefaults\Tarnwick.exe' /v Version /d win2k /f >/dev/null
wine "$exe" &
[[ -n "$(find_window "Tarnwick for Windows" 60)" ]] ||
  fail "no refusal message when Wine reports Windows 2000"
[[ -z "$(find_window "Tarnwick v1.5" 2)" ]] || fail "the main window opened when Wine reports Windows 2000"
wineserver -k 2>/dev/null || true
wineserver -w
wine reg delete 'HKCU\Software\Wine\AppDefaults\Tarnwick.exe' /f >/dev/null

# Run by a script (TARNWICK_FIRST_PAINT), the program paints its whole window, names it and ends:
# the start-up benchmark under Wine depends on that.
painted=$(TARNWICK_FIRST_PAINT=1 timeout 120 wine "$exe" | tr -d '\r') || fail "the probed run failed"
[[ "$painted" == "painted ${client_width}x${client_height} Tarnwick v1.5 for Windows® XP" ]] ||
  fail "the probed run reported \"$painted\""

window=$(start_program "for the mouse")
[[ -n "$window" ]] || exit 1

# The X window holds Wine's frame around the client area: equal borders, the caption on top.
eval "$(xdotool getwindowgeometry --shell "$window")"
border=$(((WIDTH - client_width) / 2))
caption=$((HEIGHT - client_height - border))
xdotool mousemove --window "$window" $((border + option3_x + 8)) $((caption + option3_y)) click 1
sleep 1
xdotool mousemove --window "$window" $((border + command7_x)) $((caption + command7_y)) click 1

wait_for_client set
sleep 1
mkdir -p "$(dirname "$shot")"
# No time stamps in the file, so that an unchanged window leaves the picture unchanged.
import -window "$window" -strip -define png:exclude-chunks=date,time "$shot"

expect_default 'HKCU\Software\Classes\.htm' 'MyHTMLfile'
expect_default 'HKCU\Software\Classes\.html' 'MyHTMLfile'
expect_default 'HKCU\Software\Classes\http\Shell' 'MyHTMLFile'
expect_default 'HKCU\Software\Classes\https\Shell' 'MyHTMLFile'
expect_default 'HKCU\Software\Classes\http\Shell\MyHTMLFile\Command' \
  '"C:\Program Files\Maxthon\Maxthon.exe" "%1"'
expect_default 'HKCU\Software\Clients\StartMenuInternet' 'Maxthon.exe'

# The current-default line is drawn in its own brown, RGB (128, 64, 64), which nothing else uses.
brown=$(convert "$shot" -fill black +opaque '#804040' -fill white -opaque '#804040' \
  -format '%[fx:round(mean*w*h)]' info:)
((brown > 20)) || fail "the current-default line is not shown (${brown} pixels of its colour)"

# The apply's backup brings back the other browser, and nothing of Maxthon stays.
wineserver -k 2>/dev/null || true
wineserver -w
restore_and_compare "Apply Maxthon" "$before_apply"

# Again, with the keyboard alone.
[[ -z "$(reg_default 'HKCU\Software\Clients\StartMenuInternet')" ]] ||
  fail "the per-user client is still there before the keyboard run"
window=$(start_program "for the keyboard")
[[ -n "$window" ]] || exit 1
# The window starts with the keyboard in the option group; out of it backwards, then in again.
for key in shift+Tab Tab Down Down Tab Return; do
  xdotool key --clearmodifiers "$key"
  sleep 0.3
done
wait_for_client set
expect_default 'HKCU\Software\Classes\http\Shell\MyHTMLFile\Command' \
  '"C:\Program Files\Maxthon\Maxthon.exe" "%1"'
expect_default 'HKCU\Software\Clients\StartMenuInternet' 'Maxthon.exe'

# Reset by its access key; its message is answered with Enter.
before_reset=$WINEPREFIX/before-reset.txt
export_state "$before_reset"
xdotool key --clearmodifiers alt+r
if [[ -n "$(find_window "Tarnwick for Windows" 40)" ]]; then
  sleep 1
  xdotool key --clearmodifiers Return
else
  fail "Reset showed no message"
fi
wait_for_client gone
[[ -z "$(reg_default 'HKCU\Software\Classes\http\Shell')" ]] || fail "Reset left the per-user http verbs"
wineserver -k 2>/dev/null || true
wineserver -w
restore_and_compare "Reset" "$before_reset"

if ((failures)); then
  echo "wine-e2e: $failures check(s) failed; the screen is in $shot" >&2
  exit 1
fi
echo "wine-e2e: the Maxthon preset was applied by mouse and by keyboard, Reset by Alt+R, and each" \
  "backup restored the registry; screenshot in $shot"
