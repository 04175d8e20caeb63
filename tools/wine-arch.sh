#!/usr/bin/env bash
# Prints the Wine architecture the tests run under here: win32 where this machine runs 32-bit programs (the
# program's own architecture), win64 where it cannot (some virtual machines run 64-bit user code only). In
# win64 mode the Wine level builds the same sources for x86-64 and runs them in a 64-bit prefix.
# INSTALLER_WINE_ARCH=win32|win64 overrides the answer.
set -euo pipefail
if [ -n "${INSTALLER_WINE_ARCH:-}" ]; then
  echo "$INSTALLER_WINE_ARCH"
  exit 0
fi
# The smallest 32-bit Linux program: ELF header, one program header, and "exit(0)" through int 0x80. It needs
# no 32-bit library, so the answer is the same before and after the dependencies are installed.
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
python3 - "$probe" <<'PY'
import struct, sys
base, code = 0x08048000, bytes.fromhex("b801000000" "31db" "cd80")
size = 52 + 32 + len(code)
header = b"\x7fELF\x01\x01\x01" + bytes(9) + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + 84, 52, 0, 0, 52, 32, 1, 0, 0, 0)
program = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
with open(sys.argv[1], "wb") as f:
    f.write(header + program + code)
PY
chmod +x "$probe"
if "$probe" >/dev/null 2>&1; then
  echo win32
else
  echo win64
fi
