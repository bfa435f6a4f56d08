#!/usr/bin/env bash
# Builds the Windows test executable and runs it under Wine, through the real Windows routes,
# against Wine's registry. Every run gets a fresh 32-bit prefix set to Windows XP, kept under
# the build tree; the tests that show dialogs get a virtual display from xvfb-run.
# Fails when the build or any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build/windows-tests
cmake --preset windows-tests >/dev/null
cmake --build --preset windows-tests --target tarnwick_tests tarnwick_audit_smoke

source scripts/wine-prefix.sh
new_wine_prefix "$PWD/$build_dir/wineprefix"
wineserver -w

# What this prefix offers of the automation objects, for the log.
wine "$build_dir/src/win32/tarnwick_audit_smoke.exe" --objects | tr -d '\r'
# The tests must start a new Wine session inside the virtual display: a session begun without
# one has no graphics driver, and dialogs then never appear.
wineserver -w

# The version test compares GetVersionExA's answer with the prefix's setting.
export TARNWICK_EXPECT_WINDOWS=2.5.1
# The prefix is thrown away after the run, so the engine tests may write the real keys.
export TARNWICK_DISPOSABLE_REGISTRY=1
log=$build_dir/wine-tests.log
status=0
# Wine's session ends inside the display's lifetime, so that nothing of it outlives the display.
xvfb-run -a bash -c 'timeout 900 wine "$0"; status=$?; wineserver -k; exit $status' \
  "$build_dir/tarnwick_tests.exe" 2>&1 | tr -d '\r' | tee "$log" || status=$?
# Wine's own failures (a missing loader, a broken prefix) end without GoogleTest's summary.
if ((status == 0)) && ! grep -q '^\[  PASSED  \]' "$log"; then
  echo "wine-tests: the test executable did not run to its end" >&2
  status=1
fi
if grep -q '^\[  FAILED  \]' "$log"; then status=1; fi
exit $status
