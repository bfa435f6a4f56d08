#!/usr/bin/env bash
# The desktop's own tools as peers of `tarnwick --query`: in isolated XDG folders with two
# recording fake browsers, for each desktop that XDG_CURRENT_DESKTOP may name, after every
# --set, --reset and --undo, `gio mime` of http and https, `xdg-mime query default` of the four
# web types, kreadconfig5 on KDE and `gio open https://example.invalid/` (which must reach the
# fake browser) agree with what tarnwick says is the default. Debian 12's `xdg-settings get
# default-web-browser` is held to as well, except where it is known to be wrong (the table
# below); `xdg-settings set default-web-browser` is used as a writer, and tarnwick must then
# tell what it left.
#   scripts/xdg-peers.sh [TARNWICK]    (default: build/default/tarnwick)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/default/tarnwick}")
for tool in gio xdg-mime kreadconfig5 xdg-settings; do
  command -v "$tool" >/dev/null || { echo "xdg-peers: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-xdg-peers-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

# Debian 12's xdg-settings (xdg-utils 1.1.3) on each desktop, as it behaves in these folders:
# when `get default-web-browser` is known to be wrong ("never": its answer is held to;
# "browser": when $BROWSER names a program; "own-set": after its own set; "always"), what
# `set default-web-browser ID` writes ("mimeapps": x-scheme-handler/http, https, about, unknown
# and text/html of [Default Applications], not application/xhtml+xml, and it refuses while
# $BROWSER is set; "kde": kdeglobals BrowserApplication and text/html only; "xfce": a helper of
# its own in helpers.rc, mimeapps.list untouched), and why the wrong answers are wrong.
# (`xdg-settings check` on KDE stops with "Bad substitution" under dash, so it is not used.)
xdg_settings_rows=(
  # desktop   wrong     set       why
  "unset      browser   mimeapps  generic mode reads \$BROWSER before mimeapps.list"
  "GNOME      never     mimeapps  -"
  "KDE        own-set   kde       it reads kdeglobals BrowserApplication, then text/html, never x-scheme-handler/http"
  "XFCE       always    xfce      it reads helpers.rc and names the helper (a file of xfce4/helpers), not a desktop entry, and fails where helpers.rc names none"
  "X-Cinnamon never     mimeapps  -"
  "LXQt       browser   mimeapps  generic mode reads \$BROWSER before mimeapps.list"
  "MATE       never     mimeapps  -"
)
# This desktop's row: sets xs_wrong, xs_set and xs_why.
xdg_settings_row() {
  local row desktop
  for row in "${xdg_settings_rows[@]}"; do
    read -r desktop xs_wrong xs_set xs_why <<<"$row"
    [[ $desktop == "$desktop_name" ]] && return 0
  done
  echo "xdg-peers: no row for $desktop_name in xdg_settings_rows" >&2
  exit 1
}

fail() {
  echo "xdg-peers: FAIL [$desktop_name] $*" >&2
  failures=$((failures + 1))
}

# A browser: a script appending its arguments to its log, and its desktop entry.
add_browser() { # ID NAME
  local id=$1 name=$2 bin=$root/bin/${1%.desktop}
  printf '#!/bin/sh\necho "$@" >> "%s.log"\n' "$bin" >"$bin"
  chmod 755 "$bin"
  # No MimeType: without mimeinfo.cache GIO would not see it, while xdg-mime scans for it.
  printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s %%u\n' "$name" "$bin" \
    >"$root/usr/share/applications/$id"
}

# What gio says opens TYPE by default: a desktop file ID, or nothing.
gio_default() {
  gio mime "$1" 2>/dev/null | sed -n 's/^Default application for “[^”]*”: //p'
}

# Checks every peer against the browser `tarnwick --query` names, whose entry is ID (empty:
# none is the default) and which runs the fake browser PROGRAM.
agree() { # STEP ID [PROGRAM]
  local step=$1 id=$2 fake=${3:-${2%.desktop}} name answer type
  name=$(tarnwick --query)
  if [[ -n $id ]]; then
    [[ -n $name ]] || fail "$step: tarnwick --query names no browser, $id expected"
  else
    [[ -z $name ]] || fail "$step: tarnwick --query names \"$name\", none expected"
  fi
  for type in x-scheme-handler/http x-scheme-handler/https; do
    answer=$(gio_default "$type")
    [[ $answer == "$id" ]] || fail "$step: gio mime $type says \"$answer\", tarnwick \"$id\""
  done
  for type in x-scheme-handler/http x-scheme-handler/https text/html application/xhtml+xml; do
    answer=$(xdg-mime query default "$type" 2>/dev/null || true)
    [[ $answer == "$id" ]] || fail "$step: xdg-mime query default $type says \"$answer\", tarnwick \"$id\""
  done
  if [[ $desktop_name == KDE ]]; then
    answer=$(kreadconfig5 --file "$XDG_CONFIG_HOME/kdeglobals" --group General --key BrowserApplication)
    [[ $answer == "$id" ]] || fail "$step: kreadconfig5 BrowserApplication says \"$answer\", tarnwick \"$id\""
  fi
  if [[ -n $id ]]; then
    local log=$root/bin/$fake.log
    rm -f "$log"
    timeout 20 gio open https://example.invalid/ >/dev/null 2>&1 || fail "$step: gio open failed"
    for _ in $(seq 50); do [[ -s $log ]] && break; sleep 0.1; done
    grep -qx 'https://example.invalid/' "$log" 2>/dev/null ||
      fail "$step: gio open https://example.invalid/ did not reach $id"
  fi
  xdg_settings_agrees "$step" "$id" ""
}

# Holds `xdg-settings get default-web-browser` to ID, unless this desktop's row says that it is
# wrong in CONDITION (always, browser: $BROWSER set, own-set: after its own set): then its
# answer is shown with the reason.
xdg_settings_agrees() { # STEP ID CONDITION
  local step=$1 id=$2 answer
  answer=$(xdg-settings get default-web-browser 2>/dev/null || echo "(failed)")
  if [[ $answer == "$id" ]]; then
    return 0
  elif [[ $xs_wrong == always || $xs_wrong == "$3" ]]; then
    echo "xdg-peers: [$desktop_name] $step: xdg-settings says \"$answer\", known to be wrong here: $xs_why"
  else
    fail "$step: xdg-settings get default-web-browser says \"$answer\", tarnwick \"$id\""
  fi
}

tarnwick() { "$program" "$@"; }

for desktop_name in unset GNOME KDE XFCE X-Cinnamon LXQt MATE; do
  root=$work/$desktop_name
  mkdir -p "$root/home/.config" "$root/home/.local/share/applications" "$root/usr/share/applications" \
    "$root/etc/xdg" "$root/bin"
  export HOME=$root/home XDG_CONFIG_HOME=$root/home/.config XDG_DATA_HOME=$root/home/.local/share
  export XDG_DATA_DIRS=$root/usr/share XDG_CONFIG_DIRS=$root/etc/xdg
  unset BROWSER TARNWICK_STANDIN TARNWICK_USER_HIVE TARNWICK_MACHINE_HIVE DISPLAY WAYLAND_DISPLAY
  unset KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID DESKTOP_SESSION
  if [[ $desktop_name == unset ]]; then unset XDG_CURRENT_DESKTOP; else export XDG_CURRENT_DESKTOP=$desktop_name; fi
  [[ $desktop_name == KDE ]] && export KDE_SESSION_VERSION=5 || unset KDE_SESSION_VERSION
  xdg_settings_row
  add_browser firefox-esr.desktop "Firefox ESR"
  add_browser chromium.desktop Chromium
  printf '# the user'"'"'s own\n[Default Applications]\ntext/plain=gedit.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
  original=$(cat "$XDG_CONFIG_HOME/mimeapps.list")
  cp "$XDG_CONFIG_HOME/mimeapps.list" "$root/original.list"

  agree "before" ""
  tarnwick --set Firefox >/dev/null || fail "--set Firefox failed"
  agree "--set Firefox" firefox-esr.desktop
  tarnwick --undo >/dev/null || fail "--undo of --set Firefox failed"
  agree "--undo of --set Firefox" ""
  [[ $(cat "$XDG_CONFIG_HOME/mimeapps.list") == "$original" ]] ||
    fail "--undo did not bring back mimeapps.list byte for byte"
  tarnwick --set Firefox >/dev/null || fail "--set Firefox failed"
  tarnwick --set chromium >/dev/null || fail "--set chromium failed"
  agree "--set chromium" chromium.desktop
  tarnwick --set "$root/bin/firefox-esr" >/dev/null || fail "--set PATH failed"
  agree "--set PATH" tarnwick-custom-browser.desktop firefox-esr
  tarnwick --undo >/dev/null || fail "--undo failed"
  agree "--undo of --set PATH" chromium.desktop
  tarnwick --reset >/dev/null || fail "--reset failed"
  agree "--reset" ""
  cmp -s "$XDG_CONFIG_HOME/mimeapps.list" "$root/original.list" ||
    fail "--reset did not leave mimeapps.list as it was before any --set"
  for made in kdeglobals xfce4/helpers.rc; do
    [[ ! -e $XDG_CONFIG_HOME/$made ]] || fail "--reset left $made behind, which only --set wrote"
  done
  tarnwick --undo >/dev/null || fail "--undo of --reset failed"
  agree "--undo of --reset" chromium.desktop

  # xdg-settings as the writer. It refuses while $BROWSER is set, where it reads $BROWSER first.
  tarnwick --set Firefox >/dev/null || fail "--set Firefox failed"
  if [[ $xs_wrong == browser ]]; then
    BROWSER=chromium PATH=$root/bin:$PATH xdg_settings_agrees "\$BROWSER set" firefox-esr.desktop browser
    BROWSER=chromium xdg-settings set default-web-browser chromium.desktop 2>/dev/null &&
      fail "xdg-settings set default-web-browser took effect while \$BROWSER was set"
  fi
  xdg-settings set default-web-browser chromium.desktop || fail "xdg-settings set default-web-browser failed"
  step="xdg-settings set chromium.desktop"
  xdg_settings_agrees "$step" chromium.desktop own-set
  # Where it wrote http, https and text/html, tarnwick names Chromium; on KDE, where it wrote
  # text/html and kdeglobals alone, tarnwick names the http browser and says that web pages and
  # KDE's own links go elsewhere; on
  # XFCE mimeapps.list is as it was.
  name=$(tarnwick --query 2>"$work/query.err")
  case $xs_set in
    mimeapps) expected=Chromium split="" ;;
    kde) expected="Firefox ESR" split="text/html opens in Chromium, a link in KDE's programs opens in Chromium" ;;
    xfce) expected="Firefox ESR" split="" ;;
  esac
  [[ $name == "$expected" ]] || fail "$step: tarnwick --query names \"$name\", \"$expected\" expected"
  if [[ -n $split ]]; then
    grep -qF "$split" "$work/query.err" ||
      fail "$step: tarnwick --query does not say \"$split\" (standard error: $(cat "$work/query.err"))"
  elif [[ -s $work/query.err ]]; then
    fail "$step: tarnwick --query says \"$(cat "$work/query.err")\" on standard error"
  fi
  # What it left behind (application/xhtml+xml at least), tarnwick --check lists and --set
  # mends.
  tarnwick --check chromium >/dev/null && fail "$step: tarnwick --check chromium finds everything in place"
  tarnwick --set chromium >/dev/null || fail "--set chromium after xdg-settings set failed"
  agree "--set chromium after xdg-settings set" chromium.desktop
  echo "xdg-peers: [$desktop_name] set, reset, undo and xdg-settings set agree with gio, xdg-mime$([[ $desktop_name == KDE ]] && echo ", kreadconfig5")$([[ $xs_wrong != always ]] && echo ", xdg-settings")"
done

if ((failures > 0)); then
  echo "xdg-peers: $failures disagreement(s)" >&2
  exit 1
fi
echo "xdg-peers: every desktop's readers agree with tarnwick --query"
