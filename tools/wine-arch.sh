#!/usr/bin/env bash
# Prints how this machine runs 32-bit programs, and with them the 32-bit installer under Wine:
#   native    the processor runs them;
#   emulated  qemu's user-mode emulator runs them (registered through binfmt_misc, see i386-emulation.sh);
#   none      they do not run here: the Wine level falls back to a 64-bit build of the same sources.
# INSTALLER_WINE_ARCH=native|emulated|none overrides the answer.
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
if ! "$probe" >/dev/null 2>&1; then
  echo none
elif grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; then
  # The kernel hands every i386 program to the emulator first, whatever the processor could do itself.
  echo emulated
else
  echo native
fi
