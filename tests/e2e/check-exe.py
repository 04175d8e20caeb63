#!/usr/bin/env python3
"""Checks the built program as Windows will load it: a PE32 i386 GUI program that imports only KnownDLLs at load
time and delay-loads the rest, carries the manifest (administrator rights, common controls 6, DPI awareness) and
the file version 10.2.1.578.

    check-exe.py INSTALLER.exe OBJDUMP
"""
import re
import struct
import subprocess
import sys

# The program runs elevated from wherever it was copied (Downloads, often). Only KnownDLLs (and comctl32, which
# the manifest binds side by side) may be imported at load time: Windows takes those from System32 whatever lies
# beside the program. Every other system DLL is delay-loaded, so that it resolves only after WinMain has
# restricted the search to System32.
LOAD_TIME_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
    "oleaut32.dll", "rpcrt4.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "ws2_32.dll",
}
DELAY_LOADED_DLLS = {"gdiplus.dll", "msi.dll", "psapi.dll", "version.dll", "wininet.dll"}
# Windows 7 has it only with an update: imported, it would stop the program from starting at all.
LOOKED_UP_AT_RUN_TIME = {"SetDefaultDllDirectories"}


def imported_functions(headers):
    """The import table as objdump prints it: {dll: {function names}}."""
    tables = {}
    current = None
    for line in headers.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            current = tables.setdefault(m.group(1).lower(), set())
            continue
        m = re.match(r"\s*[0-9a-f]+\s+[0-9a-f]+\s+(\w+)$", line)
        if current is not None and m:
            current.add(m.group(1))
    return tables


def main():
    exe, objdump = sys.argv[1], sys.argv[2]
    failures = []
    headers = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    if "file format pei-i386" not in headers:
        failures.append("not a PE32 i386 image")
    if not re.search(r"^Subsystem\s+00000002", headers, re.M):
        failures.append("not a GUI subsystem program")
    dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", headers)}
    foreign = sorted(dlls - LOAD_TIME_DLLS)
    if foreign:
        failures.append("imports at load time DLLs that are searched beside the program: " + ", ".join(foreign))
    for dll, functions in imported_functions(headers).items():
        for name in sorted(functions & LOOKED_UP_AT_RUN_TIME):
            failures.append("imports %s from %s instead of looking it up" % (name, dll))

    data = open(exe, "rb").read()
    for dll in sorted(DELAY_LOADED_DLLS):
        if b"\0" + dll.encode() + b"\0" not in data.lower():
            failures.append("%s is not among the delay-loaded DLLs" % dll)
    if b'level="requireAdministrator"' not in data:
        failures.append("manifest does not request administrator rights")
    if b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' not in data:
        failures.append("manifest does not ask for common controls 6")
    # Without it Windows scales the program as a bitmap and reports 96 DPI whatever the display's setting.
    if not re.search(rb"<dpiAware[^>]*>\s*true\s*</dpiAware>", data):
        failures.append("manifest does not declare system DPI awareness")
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
