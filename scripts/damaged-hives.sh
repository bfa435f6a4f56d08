#!/usr/bin/env bash
# Damages hive files in every way a disk or a user can (truncated, zero-filled, random bytes,
# a folder in its place, unreadable) and checks that tarnwick-reg and the program each refuse
# them with an error naming the file, and leave every file exactly as it was. The program runs
# offscreen with TARNWICK_FIRST_PAINT, which reports the message box it shows and ends there.
#   scripts/damaged-hives.sh [TARNWICK [TARNWICK_REG]]     (default: the build/default ones)
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/default/tarnwick}")
reg=$(realpath "${2:-build/default/tools/tarnwick-reg/tarnwick-reg}")

work=$(mktemp -d)
trap 'chmod -R u+rwX "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
export QT_QPA_PLATFORM=offscreen TARNWICK_FIRST_PAINT=1 XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$work/runtime"

# Runs a command; for the unreadable case as an account that cannot read a file of mode 000
# (the superuser can), in a folder it may write.
as_reader() {
  if [[ $damage == unreadable ]] && ((EUID == 0)); then
    setpriv --reuid=65534 --regid=65534 --clear-groups env XDG_RUNTIME_DIR="$work/runtime-nobody" "$@"
  else
    "$@"
  fi
}
mkdir -m 700 "$work/runtime-nobody"
((EUID == 0)) && chown 65534:65534 "$work/runtime-nobody"

# Every file of a case folder with its digest; SQLite's "-shm" log index only by name, as
# every reader may rewrite it.
fingerprint() {
  (cd "$1" && find . -mindepth 1 | sort | while read -r f; do
    if [[ -f $f && $f != *-shm ]]; then echo "$f $(md5sum <"$f")"; else echo "$f"; fi
  done)
}

failures=0
check() {  # check CASE DESCRIPTION CONDITION...
  local name=$1 what=$2
  shift 2
  if "$@"; then return 0; fi
  echo "FAIL $name: $what"
  failures=$((failures + 1))
}

for hive in user machine; do
  for damage in truncated-half truncated-header zero-filled random-bytes folder unreadable; do
    name=$hive/$damage
    dir=$work/${hive}-$damage
    mkdir -m 755 "$dir"
    export TARNWICK_USER_HIVE=$dir/user.hive TARNWICK_MACHINE_HIVE=$dir/machine.hive
    for i in 1 2 3 4 5 6 7 8; do
      "$reg" ADD "HKCU\\Software\\Classes\\.htm$i" /ve /d MyHTMLfile /f >/dev/null
      "$reg" ADD "HKLM\\Software\\Clients\\StartMenuInternet\\B$i.EXE" /ve /d "Browser $i" /f >/dev/null
    done
    chmod 666 "$dir"/*
    file=$dir/$hive.hive
    size=$(stat -c %s "$file")
    rm -f "$file-wal" "$file-shm"
    case $damage in
      truncated-half) truncate -s $((size / 2)) "$file" ;;
      truncated-header) truncate -s 60 "$file" ;;
      zero-filled) head -c "$size" /dev/zero >"$file" ;;
      random-bytes) head -c "$size" /dev/urandom >"$file" ;;
      folder) rm "$file" && mkdir "$file" ;;
      unreadable) chmod 000 "$file" && chmod 777 "$dir" ;;
    esac
    before=$(fingerprint "$dir")

    set +e
    reg_err=$(as_reader "$reg" QUERY 'HKCU\Software\Classes\.htm1' 2>&1 >/dev/null)
    reg_rc=$?
    add_err=$(as_reader "$reg" ADD 'HKCU\Software\Added' /ve /d x /f 2>&1 >/dev/null)
    add_rc=$?
    shown=$(as_reader "$program" 2>/dev/null)
    program_rc=$?
    set -e

    check "$name" "tarnwick-reg QUERY: $reg_rc '$reg_err'" \
      test "$reg_rc" = 1 -a "${reg_err#ERROR: open $file: }" != "$reg_err"
    check "$name" "tarnwick-reg ADD: $add_rc '$add_err'" \
      test "$add_rc" = 1 -a "${add_err#ERROR: open $file: }" != "$add_err"
    check "$name" "tarnwick: $program_rc '$shown'" \
      test "$program_rc" = 1 -a "${shown#painted * Tarnwick for Windows® XP: open $file: }" != "$shown"
    check "$name" "files changed" test "$before" = "$(fingerprint "$dir")"
    echo "$name: ${shown#painted * XP: }"
  done
done
echo "damaged hives: 12 cases, $failures failed checks"
exit $((failures > 0))
