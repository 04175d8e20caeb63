#!/usr/bin/env python3
"""Checks the built program as Windows will load it: a PE32 i386 GUI program that imports only system DLLs,
carries the manifest (administrator rights, common controls 6) and the file version 10.2.1.578.

    check-exe.py INSTALLER.exe OBJDUMP
"""
import re
import struct
import subprocess
import sys

SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "gdiplus.dll", "kernel32.dll", "msi.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "version.dll", "wininet.dll", "ws2_32.dll", "uxtheme.dll", "rpcrt4.dll",
}


def main():
    exe, objdump = sys.argv[1], sys.argv[2]
    failures = []
    headers = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    if "file format pei-i386" not in headers:
        failures.append("not a PE32 i386 image")
    if not re.search(r"^Subsystem\s+00000002", headers, re.M):
        failures.append("not a GUI subsystem program")
    dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", headers)}
    foreign = sorted(dlls - SYSTEM_DLLS)
    if foreign:
        failures.append("imports non-system DLLs: " + ", ".join(foreign))

    data = open(exe, "rb").read()
    if b'level="requireAdministrator"' not in data:
        failures.append("manifest does not request administrator rights")
    if b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' not in data:
        failures.append("manifest does not ask for common controls 6")
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        failures.append("no version resource")
    else:
        ms, ls = struct.unpack_from("<II", data, at + 8)
        version = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        if version != (10, 2, 1, 578):
            failures.append("file version is %d.%d.%d.%d" % version)

    for f in failures:
        print("FAILED: " + f)
    print("imports: " + ", ".join(sorted(dlls)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
