#!/usr/bin/env bash
# End to end with the real accessibility stack on Linux: builds tarnwick, starts it on a virtual
# display (xvfb-run) with a private D-Bus session (dbus-run-session) and AT-SPI bus
# (at-spi2-core), and reads and drives it as a screen reader does (scripts/atspi-read.py, over
# python3-pyatspi): the role, name and description of every control that takes the focus, the
# donation picture pressed, an apply whose new current-default line is announced. The hives, the
# preset's browser and the links stay under build/atspi-e2e.
# Fails, saying what it read, when a check fails.
set -euo pipefail
trap 'echo "atspi-e2e: \`$BASH_COMMAND\` failed (status $?)" >&2' ERR
cd "$(dirname "$0")/.."
work=$PWD/build/atspi-e2e

if [[ "${1:-}" != --on-display ]]; then
  cmake --preset default >/dev/null
  cmake --build --preset default --target tarnwick
  rm -rf "$work"
  mkdir -p "$work/bin" "$work/Program Files/Maxthon"
  touch "$work/Program Files/Maxthon/Maxthon.exe" "$work/urls"
  # Links go to xdg-open; this one notes the URL instead of starting a browser.
  printf '#!/bin/sh\necho "$1" >>"%s"\n' "$work/urls" >"$work/bin/xdg-open"
  chmod +x "$work/bin/xdg-open"
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" "$0" --on-display
fi

# The accessibility bus first: Qt's bridge connects when it sees the bus, it does not start it.
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
program=
cleanup() {
  [[ -n "$program" ]] && kill "$program" 2>/dev/null
  kill "$bus" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT

PATH=$work/bin:$PATH ProgramFiles="$work/Program Files" \
  TARNWICK_USER_HIVE=$work/user.hive TARNWICK_MACHINE_HIVE=$work/machine.hive \
  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  build/default/tarnwick >"$work/tarnwick.log" 2>&1 &
program=$!

status=0
timeout 120 /usr/bin/python3 scripts/atspi-read.py "$work/urls" || status=$?
if ((status != 0)); then
  echo "atspi-e2e: FAILED (status $status); tarnwick's output:" >&2
  cat "$work/tarnwick.log" >&2
  exit 1
fi
echo "atspi-e2e: every control says what it is; the picture and the apply work through AT-SPI"
