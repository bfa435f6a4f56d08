#!/usr/bin/env bash
# Sets up a Debian 12 machine (as root: installs the packages that are missing), then builds.
#   ./build.sh run    build the Linux program and start it
#   ./build.sh test   check the formatting, build everything with warnings as errors and run
#                     every test suite: Linux (with short runs of the
#                     crash and concurrency harnesses and 30 s of each fuzz target, and the
#                     program read through the accessibility stack, AT-SPI), then the
#                     Windows executables (cross-built), their import audit, the Windows download
#                     built twice and compared byte for byte, and the tests under Wine: where
#                     this machine can start 32-bit programs under 32-bit Wine and then, built
#                     for x86_64, under 64-bit Wine; elsewhere under 64-bit Wine alone
#                     (TARNWICK_WINE_BITS=64 asks for that alone anywhere)
#   ./build.sh dist   build the downloads into dist/: the Windows XP zip, the Debian package and
#                     SHA256SUMS (scripts/dist.sh)
set -euo pipefail
cd "$(dirname "$0")"

linux_packages=(cmake ninja-build g++ pkg-config libsqlite3-dev sqlite3 libgtest-dev libgmock-dev
  libbenchmark-dev qt6-base-dev libgl-dev libfontconfig-dev fonts-liberation fonts-dejavu-core fonts-dejavu-extra)
test_packages=(xvfb xauth xdotool clang libclang-rt-14-dev clang-format diffoscope-minimal
  dbus-daemon at-spi2-core python3-pyatspi xdg-utils libglib2.0-bin libkf5config-bin
  desktop-file-utils)
windows_build_packages=(g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686 python3)
wine_test_packages=(wine wine64 xvfb xauth xdotool imagemagick)
windows32_packages=("${windows_build_packages[@]}" "${wine_test_packages[@]}" wine32:i386)
windows64_packages=("${windows_build_packages[@]}" "${wine_test_packages[@]}"
  g++-mingw-w64-x86-64 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64)
dist_packages=(dpkg-dev lintian man-db)

ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}"
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  # A mirror caught in the middle of a sync fails one index now and then; what the others give
  # is enough for most installs, and a package it lacks is named by the install itself.
  apt-get update -q || apt-get update -q ||
    echo "build.sh: apt-get update failed twice; installing from the package lists at hand" >&2
  # Recommended packages are not needed and would add hundreds (Java and MariaDB files among
  # them, for diffoscope-minimal and wine).
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    if [[ " ${missing[*]} " == *":i386 "* ]]; then
      echo "build.sh: the 32-bit packages could not be installed; TARNWICK_WINE_BITS=64" \
        "./build.sh test runs the Windows tests under 64-bit Wine alone" >&2
    fi
    return 1
  fi
}

# Configures the presets so that every compiler warning fails the build; the setting stays in
# their build folders for the later steps and scripts that configure them again.
strict() {  # strict PRESET...
  local preset
  for preset in "$@"; do cmake --preset "$preset" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null; done
}

# Runs a step of the test command and notes how long it took, for the summary at its end.
timings=()
step_label=set-up step_command=
step() {  # step LABEL COMMAND...
  local label=$1 start=$SECONDS
  shift
  step_label=$label step_command=$*
  "$@"
  timings+=("$label $((SECONDS - start)) s")
}

step_failed() {  # STATUS COMMAND: says which step failed, and where inside it
  local where=$2
  [[ $where == '"$@"' ]] && where=$step_command
  echo "build.sh test: the step \"$step_label\" failed: \`$where\` (exit status $1)" >&2
}

build() {  # build PRESET [TARGET...]
  local preset=$1; shift
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" ${1:+--target "$@"}
}

case "${1:-}" in
  run)
    ensure_packages "${linux_packages[@]}"
    build default tarnwick tarnwick-reg
    if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
      echo "build/default/tarnwick is built, but there is no display to show it on" \
        "(set DISPLAY, or start it with: xvfb-run -a build/default/tarnwick)" >&2
      exit 1
    fi
    exec ./build/default/tarnwick
    ;;
  test)
    # The trap reaches into the functions too (-E), so that every failure names its step.
    set -E
    trap 'step_failed $? "$BASH_COMMAND"' ERR
    # Decided first, because it decides which Wines and which compilers are installed: a machine
    # whose hypervisor has no 32-bit user mode cannot even install the 32-bit Wine. Where 32-bit
    # programs run, both kinds run: the two Wines differ in small habits, and a change checked
    # under one kind alone would land unchecked under the other.
    if (($(scripts/wine-bits.sh) == 32)); then
      wine_kinds=(32 64)
      windows_packages=("${windows64_packages[@]}" wine32:i386)
      echo "Windows tests: 32-bit and 64-bit (the shipped Tarnwick.exe and the test executables" \
        "run under 32-bit Wine in a Windows XP prefix, then the same sources built for x86_64" \
        "under 64-bit Wine in a Windows XP x64 prefix)"
    else
      wine_kinds=(64)
      windows_packages=("${windows64_packages[@]}")
      echo "Windows tests: 64-bit (this machine cannot run 32-bit programs; the shipped 32-bit" \
        "Tarnwick.exe is built and audited, not run; the same sources built for x86_64 run" \
        "under 64-bit Wine in a Windows XP x64 prefix)"
    fi
    step packages ensure_packages "${linux_packages[@]}" "${test_packages[@]}"
    step format scripts/check-format.sh
    strict default asan fuzz
    step "Linux build" build default
    step "Linux tests" ctest --preset default --parallel "$(nproc)"
    step "desktop peers" scripts/xdg-peers.sh build/default/tarnwick
    step "sanitizer build" build asan
    step "sanitizer tests" ctest --preset asan --parallel "$(nproc)"
    step "screen reader" scripts/atspi-e2e.sh
    step fuzzing scripts/fuzz.sh 30
    step "Windows packages" ensure_packages "${windows_packages[@]}"
    strict windows windows64 windows-tests windows64-tests
    step "Windows build" build windows
    step "Windows x86_64 build" build windows64
    step "import audit" scripts/import-audit-test.sh
    mapfile -t exes < <(find build/windows build/windows64 -name '*.exe' -not -path '*/CMakeFiles/*')
    scripts/import-audit.sh "${exes[@]}"
    step "zip check" scripts/check-winxp-zip-test.py build/windows/src/win32/Tarnwick.exe
    step "reproducible zip" scripts/repro-check.sh
    # The 32-bit Wine keeps about one core busy: with both kinds, the x86_64 test executables
    # are built beside it, at the lowest priority, once the 32-bit ones are.
    tests64_log=build/windows64-tests-build.log tests64_build=
    if ((${#wine_kinds[@]} == 2)); then
      step "Windows tests build (32-bit)" build windows-tests tarnwick_tests tarnwick_audit_smoke
      nice -n 19 cmake --build --preset windows64-tests --target tarnwick_tests tarnwick_audit_smoke \
        >"$tests64_log" 2>&1 &
      tests64_build=$!
    fi
    # Each script asks scripts/wine-bits.sh which Wine to use: the variable decides it here.
    for bits in "${wine_kinds[@]}"; do
      export TARNWICK_WINE_BITS=$bits
      if ((bits == 64)) && [[ -n $tests64_build ]]; then
        step "Windows tests build (64-bit remainder)" wait "$tests64_build" ||
          { tail -n 40 "$tests64_log" >&2; false; }
      fi
      step "Wine tests ($bits-bit)" scripts/wine-tests.sh
      step "Wine end to end ($bits-bit)" scripts/wine-e2e.sh
      step "Wine command line ($bits-bit)" scripts/wine-unattended.sh
    done
    echo "build.sh test: every step passed in $((SECONDS / 60)) min $((SECONDS % 60)) s:" \
      "$(IFS=,; echo "${timings[*]}" | sed 's/,/, /g')"
    ;;
  dist)
    ensure_packages "${linux_packages[@]}" "${windows_build_packages[@]}" "${dist_packages[@]}"
    scripts/dist.sh
    ;;
  *)
    echo "usage: $0 run|test|dist" >&2
    exit 2
    ;;
esac
