#!/usr/bin/env bash
# wine-bits.sh: prints 32 when this machine can start 32-bit x86 programs (and so the 32-bit
# Wine that runs the shipped Tarnwick.exe), else 64. Some hypervisors have no 32-bit user mode:
# there every i386 program, the 32-bit Wine loader among them, fails with "Exec format error".
# TARNWICK_WINE_BITS=32 or 64 decides instead. Needs no package: the probe is the smallest
# i386 program, written here, that only exits.
set -euo pipefail
cd "$(dirname "$0")/.."

case "${TARNWICK_WINE_BITS:-}" in
  32 | 64) echo "$TARNWICK_WINE_BITS"; exit 0 ;;
  '') ;;
  *) echo "wine-bits: TARNWICK_WINE_BITS is \"$TARNWICK_WINE_BITS\", not 32 or 64" >&2; exit 2 ;;
esac

# Inside the build tree, which must allow programs to run anyway (a /tmp mounted noexec would
# make every machine look like one without 32-bit programs).
mkdir -p build
probe=$(mktemp build/i386-probe.XXXXXX)
trap 'rm -f "$probe"' EXIT
{
  # ELF header: 32-bit, little-endian, an executable for i386 entered at 0x08048054; no
  # section headers, though their size is given, which some loaders (QEMU's) insist on.
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x28\x00\x00\x00\x00\x00'
  # One loadable segment: the whole file (93 bytes) at 0x08048000, readable and executable.
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # mov eax, 1 (exit); xor ebx, ebx (status 0); int 0x80
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
} >"$probe"
chmod +x "$probe"
if "$probe" 2>/dev/null; then echo 32; else echo 64; fi
