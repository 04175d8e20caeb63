#!/usr/bin/env python3
"""Checks the built program as Windows will load it: a PE32 i386 GUI program that imports only KnownDLLs at load
time and delay-loads the rest, every delay-loaded function bound to a thunk that names an export of its DLL,
without debug sections, carrying the manifest (administrator rights, common controls 6, DPI awareness) and the
file version 10.2.1.578.

    check-exe.py INSTALLER.exe OBJDUMP [WINE_DLL_FOLDER]

WINE_DLL_FOLDER holds the DLLs whose exports the delay-loaded names are checked against (Wine's i386-windows
folder for the 32-bit program); without it only the thunks are checked.
"""
import os
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


class Image:
    """A PE file's sections, enough to read what its delay-import tables point at."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, count = struct.unpack_from("<HH", data, pe + 4)
        optional_size = struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.pe32_plus = magic == 0x20B
        self.base = struct.unpack_from("<Q" if self.pe32_plus else "<I", data, optional + (24 if self.pe32_plus else 28))[0]
        directories = optional + (112 if self.pe32_plus else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(count):
            at = optional + optional_size + 40 * i
            name = data[at:at + 8].rstrip(b"\0").decode("ascii", "replace")
            vsize, va, rsize, raw = struct.unpack_from("<IIII", data, at + 8)
            flags = struct.unpack_from("<I", data, at + 36)[0]
            self.sections.append((name, va, max(vsize, rsize), rsize, raw, flags))

    def section_of(self, rva):
        for section in self.sections:
            if section[1] <= rva < section[1] + section[2]:
                return section
        return None

    def offset(self, rva):
        section = self.section_of(rva)
        if section is None or rva - section[1] >= section[3]:
            return None
        return section[4] + rva - section[1]

    def u32(self, rva):
        at = self.offset(rva)
        return None if at is None else struct.unpack_from("<I", self.data, at)[0]

    def pointer(self, rva):
        at = self.offset(rva)
        if at is None:
            return None
        return struct.unpack_from("<Q" if self.pe32_plus else "<I", self.data, at)[0]

    def string(self, rva):
        at = self.offset(rva)
        if at is None:
            return None
        end = self.data.find(b"\0", at)
        return self.data[at:end].decode("ascii", "replace") if end >= 0 else None

    def is_code(self, rva):
        section = self.section_of(rva)
        return section is not None and section[5] & 0x20000000 != 0

    def exports(self):
        rva, size = self.directories[0]
        if not rva:
            return set()
        names = struct.unpack_from("<I", self.data, self.offset(rva) + 24)[0]
        table = self.offset(struct.unpack_from("<I", self.data, self.offset(rva) + 32)[0])
        return {self.string(struct.unpack_from("<I", self.data, table + 4 * i)[0]) for i in range(names)}


def delay_descriptors(image, dlls):
    """{dll: descriptor rva} for every delay-import descriptor of the named DLLs. GNU ld does not fill the data
    directory's delay-import entry, so the descriptors are found where they are: 32-byte records, RVA-based
    (attribute 1), whose name field names one of the DLLs."""
    found = {}
    for name, va, size, rsize, raw, flags in image.sections:
        for at in range(raw, raw + rsize - 32, 4):
            attributes, name_rva = struct.unpack_from("<II", image.data, at)
            if attributes != 1 or not name_rva:
                continue
            dll = image.string(name_rva)
            if dll and dll.lower() in dlls:
                found.setdefault(dll.lower(), []).append(va + at - raw)
    return found


def check_delay_imports(image, dll_folder):
    """Every slot of every delay-loaded DLL must hold the address of a thunk that loads that very slot (until the
    first call binds it); every name must be an export of the DLL. A slot left 0 crashes the program at its
    first call."""
    failures = []
    descriptors = delay_descriptors(image, DELAY_LOADED_DLLS)
    width = 8 if image.pe32_plus else 4
    for dll in sorted(DELAY_LOADED_DLLS):
        places = descriptors.get(dll, [])
        if len(places) != 1:
            failures.append("%s has %d delay-import descriptors" % (dll, len(places)))
            continue
        descriptor = places[0]
        iat, names = image.u32(descriptor + 12), image.u32(descriptor + 16)
        exports = None
        if dll_folder:
            path = os.path.join(dll_folder, dll)
            exports = Image(open(path, "rb").read()).exports() if os.path.exists(path) else set()
        count = 0
        while True:
            slot_rva, name_rva = iat + count * width, names + count * width
            entry = image.pointer(name_rva)
            if entry is None:
                failures.append("%s: the name table runs off the image" % dll)
                break
            if entry == 0:
                break
            count += 1
            function = image.string(entry + 2) if entry >> (width * 8 - 1) == 0 else "#%d" % (entry & 0xFFFF)
            target = image.pointer(slot_rva)
            if not target:
                failures.append("%s!%s: its import slot is 0, so the first call jumps to address 0" % (dll, function))
                continue
            thunk = target - image.base
            if not image.is_code(thunk):
                failures.append("%s!%s: its import slot does not lead to code" % (dll, function))
                continue
            code = image.data[image.offset(thunk):image.offset(thunk) + 7]
            if image.pe32_plus:
                # lea rax, [rip + slot]
                loads = code[:3] == b"\x48\x8d\x05" and thunk + 7 + struct.unpack_from("<i", code, 3)[0] == slot_rva
            else:
                # mov eax, slot
                loads = code[:1] == b"\xb8" and struct.unpack_from("<I", code, 1)[0] == image.base + slot_rva
            if not loads:
                failures.append("%s!%s: its import slot leads to code that does not bind it" % (dll, function))
            if exports is not None and function not in exports:
                failures.append("%s!%s is not exported by %s" % (dll, function, os.path.join(dll_folder, dll)))
        if count == 0:
            failures.append("%s: no function is delay-loaded from it" % dll)
    return failures


def main():
    exe, objdump = sys.argv[1], sys.argv[2]
    dll_folder = sys.argv[3] if len(sys.argv) > 3 else None
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
    image = Image(data)
    failures += check_delay_imports(image, dll_folder)
    # The release file carries no debug sections (the build keeps a copy with them for the debugger).
    sections = subprocess.run([objdump, "-h", exe], capture_output=True, text=True, check=True).stdout
    debug = sorted(set(re.findall(r"^\s*\d+\s+(\.debug\S*)", sections, re.M)))
    if debug:
        failures.append("carries debug sections: " + ", ".join(debug))
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
