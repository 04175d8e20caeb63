#!/usr/bin/env bash
# Lets a machine that runs 64-bit user code only run 32-bit programs (the installer is one, and so is 32-bit
# Wine): registers qemu's user-mode i386 emulator for i386 ELF programs through binfmt_misc, with the F flag so
# that the emulator is opened once and works inside any mount namespace. Does nothing where 32-bit programs
# run already (natively or emulated), and says why when it cannot help (not root, no qemu-user-static).
# "tools/wine-arch.sh" then tells what the Wine level runs.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
emulator=/usr/bin/qemu-i386-static

if [ "$(INSTALLER_WINE_ARCH= bash "$here/wine-arch.sh")" != none ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "i386-emulation: this machine does not run 32-bit programs, and only root can register an emulator" >&2
  exit 0
fi
if [ ! -x "$emulator" ]; then
  echo "i386-emulation: $emulator is missing (package qemu-user-static)" >&2
  exit 0
fi
if [ ! -e "$binfmt/register" ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || {
    echo "i386-emulation: binfmt_misc cannot be mounted here" >&2
    exit 0
  }
fi
# An entry left disabled, or pointing elsewhere, is replaced.
if [ -e "$entry" ]; then
  echo -1 >"$entry" || true
fi
# ELF, 32-bit, little-endian, version 1, executable or shared object, i386.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf '%s' ":qemu-i386:M::$magic:$mask:$emulator:F" >"$binfmt/register" 2>/dev/null || {
  echo "i386-emulation: the kernel refused the emulator's registration" >&2
  exit 0
}
if [ "$(INSTALLER_WINE_ARCH= bash "$here/wine-arch.sh")" = none ]; then
  echo "i386-emulation: registered $emulator, but 32-bit programs still do not run" >&2
fi
exit 0
