#!/usr/bin/env bash
# Builds the Windows test executable and runs it under Wine, through the real Windows routes,
# against Wine's registry. Every run gets a fresh Windows XP prefix, kept under the build tree:
# 32-bit Windows XP where this machine can start 32-bit programs, else the same tests built for
# x86_64 in a 64-bit prefix set to Windows XP x64 (scripts/wine-prefix.sh). The tests that show
# dialogs get a virtual display from xvfb-run.
# Fails, saying what failed, when the build, Wine or any test fails.
set -euo pipefail
trap 'echo "wine-tests: \`$BASH_COMMAND\` failed (status $?)" >&2' ERR
cd "$(dirname "$0")/.."

source scripts/wine-prefix.sh
build_dir=build/$tests_preset
cmake --preset "$tests_preset" >/dev/null
cmake --build --preset "$tests_preset" --target tarnwick_tests tarnwick_audit_smoke

new_wine_prefix "$PWD/$build_dir/wineprefix"
echo "wine-tests: $wine_bits-bit tests in a Windows XP prefix ($winxp_version)"
# No window manager runs on the virtual display, and Wine waits two seconds for one whenever a
# window it hands to the manager is hidden or destroyed: some fifty seconds over the window
# tests. Windows that Wine places itself end at once. (The end-to-end tests keep Wine's default,
# since they find and click the windows as a user's desktop shows them.)
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$WINEPREFIX.log" 2>&1 ||
  wine_failed "could not set Wine's X11 driver to place windows itself" "$WINEPREFIX.log"

# What this prefix offers of the automation objects, for the log.
objects_log=$build_dir/wine-objects.log
wine "$build_dir/src/win32/tarnwick_audit_smoke.exe" --objects >"$objects_log" 2>&1 ||
  wine_failed "wine $build_dir/src/win32/tarnwick_audit_smoke.exe --objects failed" "$objects_log"
tr -d '\r' <"$objects_log"
# The tests must start a new Wine session inside the virtual display: a session begun without
# one has no graphics driver, and dialogs then never appear.
wineserver -w

# The version test compares GetVersionExA's answer with the prefix's setting.
export TARNWICK_EXPECT_WINDOWS=$winxp_expected
# The prefix is thrown away after the run, so the engine tests may write the real keys.
export TARNWICK_DISPOSABLE_REGISTRY=1
log=$build_dir/wine-tests.log
command="xvfb-run -a wine $build_dir/tarnwick_tests.exe"
status=0
# Wine's session ends inside the display's lifetime, so that nothing of it outlives the display.
xvfb-run -a bash -c 'timeout 900 wine "$0"; status=$?; wineserver -k; exit $status' \
  "$build_dir/tarnwick_tests.exe" 2>&1 | tr -d '\r' | tee "$log" || status=$?
# Wine's own failures (a missing loader, a broken prefix) end without GoogleTest's summary.
if ! grep -q '^\[  PASSED  \]' "$log"; then
  wine_failed "\`$command\` ended (status $status) without GoogleTest's summary" "$log"
fi
if ((status != 0)) || grep -q '^\[  FAILED  \]' "$log"; then
  wine_failed "\`$command\` failed (status $status); the failed tests are listed above" "$log"
fi
