#!/usr/bin/env python3
"""Reads a built uninstall.exe and checks what Windows 95 and NT 4.0 need of it.

Usage: check_binary.py PATH MACHINE    (MACHINE: i386 or x86-64)

Fails on a wrong machine type, a subsystem other than Windows GUI 4.0, an import from any DLL
but KERNEL32, ADVAPI32, USER32 and SHELL32 or of a function not on the list below (all of them
exported by those DLLs on Windows 95 and NT 4.0; functions that only NT has are looked up at
run time and never imported), entry-point code in a section that may not be
executed, a missing icon group 101 with a 16x16 and a 32x32 16-colour image, or a file over
16 KiB. Prints the size and the imports.
"""
import struct
import sys

ALLOWED_IMPORTS = {
    "KERNEL32.DLL": {
        "CloseHandle", "CopyFileA", "CreateDirectoryA", "CreateFileA", "DeleteFileA",
        "ExitProcess", "FindClose", "FindFirstFileA", "FindNextFileA", "GetCommandLineA",
        "GetLastError", "GetModuleFileNameA", "GetTempPathA", "IsBadReadPtr", "IsBadWritePtr",
        "RemoveDirectoryA", "SetFileAttributesA", "Sleep", "WriteFile", "lstrcatA", "lstrcmpA",
        "lstrcpyA", "lstrlenA", "GetModuleHandleA", "GetProcAddress", "GetShortPathNameA",
        "MultiByteToWideChar", "WideCharToMultiByte", "GetFileAttributesA", "OpenProcess",
        "WaitForSingleObject",
    },
    "ADVAPI32.DLL": {
        "RegCloseKey", "RegCreateKeyExA", "RegDeleteKeyA", "RegEnumKeyExA", "RegOpenKeyExA",
        "RegQueryInfoKeyA", "RegQueryValueExA",
    },
    "USER32.DLL": {"FindWindowA", "MessageBoxA", "PostMessageA", "wsprintfA", "CharToOemBuffA",
                   "OemToCharBuffA", "GetWindowThreadProcessId"},
    "SHELL32.DLL": {"SHChangeNotify", "ShellExecuteA"},
}
MACHINES = {"i386": 0x014C, "x86-64": 0x8664}
SIZE_LIMIT = 16 * 1024
SIZE_GOAL = 8 * 1024
IMAGE_SCN_MEM_EXECUTE = 0x20000000
RT_ICON, RT_GROUP_ICON = 3, 14


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        self.optional = pe + 24
        magic = struct.unpack_from("<H", data, self.optional)[0]
        self.is64 = magic == 0x20B
        self.entry = struct.unpack_from("<I", data, self.optional + 16)[0]
        self.subsystem_version = struct.unpack_from("<HH", data, self.optional + 48)
        self.subsystem = struct.unpack_from("<H", data, self.optional + 68)[0]
        directories = self.optional + (112 if self.is64 else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = self.optional + optional_size
        for i in range(sections):
            name, vsize, va, rsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            flags = struct.unpack_from("<I", data, table + 40 * i + 36)[0]
            self.sections.append((name.rstrip(b"\0").decode(), va, max(vsize, rsize), raw, flags))

    def section_of(self, rva):
        for section in self.sections:
            if section[1] <= rva < section[1] + section[2]:
                return section
        raise ValueError("address %#x lies in no section" % rva)

    def offset(self, rva):
        _, va, _, raw, _ = self.section_of(rva)
        return rva - va + raw

    def text_at(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        rva = self.directories[1][0]
        found = {}
        while True:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if name == 0:
                return found
            names = found.setdefault(self.text_at(name).upper(), [])
            entry = self.offset(lookup or thunks)
            width, ordinal_bit = (8, 1 << 63) if self.is64 else (4, 1 << 31)
            while True:
                value = struct.unpack_from("<Q" if self.is64 else "<I", self.data, entry)[0]
                if value == 0:
                    break
                names.append("#%d" % (value & 0xFFFF) if value & ordinal_bit
                             else self.text_at((value & 0x7FFFFFFF) + 2))
                entry += width
            rva += 20

    def resource_entries(self, directory_rva, base):
        start = self.offset(directory_rva)
        named, numbered = struct.unpack_from("<HH", self.data, start + 12)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", self.data, start + 16 + 8 * i)
            yield ident, target

    def resource(self, kind, ident):
        base = self.directories[2][0]
        if base == 0:
            return None
        for type_id, type_target in self.resource_entries(base, base):
            if type_id != kind:
                continue
            for name_id, name_target in self.resource_entries(base + (type_target & 0x7FFFFFFF), base):
                if name_id != ident:
                    continue
                for _, leaf in self.resource_entries(base + (name_target & 0x7FFFFFFF), base):
                    data_rva, size = struct.unpack_from("<II", self.data, self.offset(base + leaf))
                    start = self.offset(data_rva)
                    return self.data[start:start + size]
        return None


def check_icon(image, problems):
    group = image.resource(RT_GROUP_ICON, 101)
    if group is None:
        problems.append("no icon group 101")
        return
    count = struct.unpack_from("<H", group, 4)[0]
    sizes = set()
    for i in range(count):
        width, height, colours, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        if image.resource(RT_ICON, icon_id) is None:
            problems.append("icon image %d is missing" % icon_id)
        if bits != 4:
            problems.append("icon image %dx%d is not 16 colours" % (width, height))
        sizes.add((width, height))
    if sizes != {(16, 16), (32, 32)}:
        problems.append("icon group 101 holds %s, not 16x16 and 32x32" % sorted(sizes))


def check(path, machine):
    data = open(path, "rb").read()
    image = Image(data)
    problems = []
    if image.machine != MACHINES[machine]:
        problems.append("machine %#x, expected %s" % (image.machine, machine))
    if image.subsystem != 2:
        problems.append("subsystem %d, expected 2 (Windows GUI)" % image.subsystem)
    if image.subsystem_version != (4, 0):
        problems.append("subsystem version %d.%d, expected 4.0" % image.subsystem_version)
    if not image.section_of(image.entry)[4] & IMAGE_SCN_MEM_EXECUTE:
        problems.append("the entry point lies in a section that may not be executed")
    imports = image.imports()
    for dll, names in sorted(imports.items()):
        print("%s: %s" % (dll, " ".join(names)))
        allowed = ALLOWED_IMPORTS.get(dll)
        if allowed is None:
            problems.append("import from %s" % dll)
            continue
        problems.extend("import of %s from %s" % (n, dll) for n in names if n not in allowed)
    check_icon(image, problems)
    size = len(data)
    print("%s: %d bytes (goal under %d, limit %d)" % (path, size, SIZE_GOAL, SIZE_LIMIT))
    if size > SIZE_LIMIT:
        problems.append("%d bytes is over the %d-byte limit" % (size, SIZE_LIMIT))
    for problem in problems:
        print("FAIL: " + problem)
    return not problems


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[2] not in MACHINES:
        sys.exit(__doc__)
    sys.exit(0 if check(sys.argv[1], sys.argv[2]) else 1)
