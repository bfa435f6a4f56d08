#!/usr/bin/env bash
# `tarnwick --set NAME` on the desktop against the desktop's own tools: `xdg-settings set
# default-web-browser ID` and one `gio mime x-scheme-handler/http ID`. Whole processes, in
# isolated XDG folders with two fake browsers installed (XDG_CURRENT_DESKTOP=GNOME), in turns,
# after one unmeasured round. Every run of a writer changes something: the --set that changes
# the browser alternates between Firefox and Chromium (its backup included), and the tools
# write the other browser in between. Prints each median and fastest run, and the ratios.
#   scripts/desktop-set-bench.sh [RUNS]      (default 21 runs of each)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-report.sh
runs=${1:-21}
for tool in gio xdg-settings; do
  command -v "$tool" >/dev/null || { echo "desktop-set-bench: $tool is missing" >&2; exit 1; }
done
cmake --preset default >/dev/null
cmake --build --preset default --target tarnwick >/dev/null
program=$PWD/build/default/tarnwick

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-set-bench-XXXXXX")
times_dir=$work
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/.config" "$work/home/.local/share/applications" \
  "$work/usr/share/applications" "$work/etc/xdg" "$work/bin"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_DATA_DIRS=$work/usr/share XDG_CONFIG_DIRS=$work/etc/xdg XDG_CURRENT_DESKTOP=GNOME
unset BROWSER TARNWICK_STANDIN TARNWICK_USER_HIVE TARNWICK_MACHINE_HIVE DISPLAY WAYLAND_DISPLAY
unset KDE_FULL_SESSION KDE_SESSION_VERSION GNOME_DESKTOP_SESSION_ID DESKTOP_SESSION
for browser in "firefox-esr:Firefox ESR" chromium:Chromium; do
  bin=$work/bin/${browser%%:*}
  printf '#!/bin/sh\nexit 0\n' >"$bin"
  chmod 755 "$bin"
  printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s %%u\n' "${browser#*:}" "$bin" \
    >"$work/usr/share/applications/${browser%%:*}.desktop"
done
printf '# the user'"'"'s own\n[Default Applications]\ntext/plain=gedit.desktop\n' \
  >"$XDG_CONFIG_HOME/mimeapps.list"
"$program" --set chromium >/dev/null

# Milliseconds that COMMAND... takes, start to end; a failure ends the benchmark.
time_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || { echo "desktop-set-bench: $* failed" >&2; exit 1; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

# One round, in this order; it begins with Chromium the default. Each --set that changes the
# browser goes into the same file (0), so it has twice the runs of the others.
# `tarnwick --help` is the program's start without its work (its libraries loaded, the usage
# printed); `true`, a process's.
labels=("tarnwick --set NAME, changing" "tarnwick --set NAME, in place"
  "xdg-settings set default-web-browser" "gio mime x-scheme-handler/http" "tarnwick --help"
  "a bare process (true)")
commands=("$program --set Firefox" "$program --set Firefox"
  "xdg-settings set default-web-browser chromium.desktop"
  "gio mime x-scheme-handler/http firefox-esr.desktop" "$program --set chromium"
  "$program --help" /bin/true)
files=(0 1 2 3 0 4 5)
for round in $(seq 0 "$runs"); do
  for i in "${!commands[@]}"; do
    # shellcheck disable=SC2086 # each entry is a command line of plain words
    ms=$(time_ms ${commands[$i]})
    ((round == 0)) || echo "$ms" >>"$work/times.${files[$i]}"
  done
done
echo "desktop-set-bench: $runs runs of each ($((2 * runs)) of the changing --set), in turns," \
  "whole processes"
print_times "${labels[@]}"
compare "--set changing against xdg-settings set (target: at most 1.1)" 0 2
compare "--set in place against xdg-settings set" 1 2
compare "--set changing against one gio mime (target: at most 2.0)" 0 3
compare "--set in place against one gio mime" 1 3
compare "tarnwick --help against one gio mime" 4 3
