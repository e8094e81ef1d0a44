#!/usr/bin/env bash
# Tells whether this machine can run the i686 (PE32) build: exit 0 if it can,
# otherwise exit 1 with the reason on standard output. It tries rather than
# assumes: a tiny 32-bit x86 Linux program is executed, then 32-bit Wine.
set -u
wine32=${LUMORA_WINE32:-/usr/lib/wine/wine}

probe=$(mktemp "${TMPDIR:-/tmp}/lumora-probe32.XXXXXX")
trap 'rm -f "$probe"' EXIT
# An ELF32 i386 executable of 93 bytes: one loadable segment whose code is
# exit(0) through int 0x80.
python3 - "$probe" <<'PY'
import struct, sys
code = bytes.fromhex("b801000000" "31db" "cd80")
base, ehsize, phsize = 0x08048000, 52, 32
size = ehsize + phsize + len(code)
ident = b"\x7fELF" + bytes([1, 1, 1, 0]) + bytes(8)
eh = ident + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + ehsize + phsize, ehsize, 0, 0,
                         ehsize, phsize, 1, 0, 0, 0)
ph = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
open(sys.argv[1], "wb").write(eh + ph + code)
PY
chmod +x "$probe"
if ! err=$("$probe" 2>&1); then
  echo "this machine cannot execute 32-bit x86 code: the kernel refused a 32-bit program (${err##*: })"
  exit 1
fi
if [ ! -x "$wine32" ]; then
  echo "32-bit Wine is not installed ($wine32; Debian package wine32:i386)"
  exit 1
fi
if ! "$wine32" --version >/dev/null 2>&1; then
  echo "32-bit Wine ($wine32) does not start"
  exit 1
fi
exit 0
