#!/usr/bin/env python3
"""Checks the shipped Windows program: a 32-bit Intel GUI executable that
needs no DLL beyond Windows' own, carrying the resources that Windows reads
from it (icon 128, string 103, the version of the build, the manifest:
common controls 6, per-monitor DPI awareness, the supported Windows versions).

    check-pe.py build/windows-i686/vsZEB.exe [--version-header build/windows-i686/generated/res/version.h]
"""
import argparse
import re
import struct
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll",
    "advapi32.dll", "shell32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll",
    "shlwapi.dll", "version.dll", "ntdll.dll", "uxtheme.dll",
}
RT_ICON, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 6, 14, 16, 24
# The compatibility section's GUIDs of Windows Vista, 7, 8, 8.1 and 10/11.
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}
WINDOWS_SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WINDOWS_SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"


class PE:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, nsections, _, _, _, opt_size, self.characteristics) = \
            struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        if self.magic != 0x10B:
            raise ValueError("optional header magic %#x is not PE32" % self.magic)
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        ndirs = struct.unpack_from("<I", data, opt + 92)[0]
        self.dirs = [struct.unpack_from("<II", data, opt + 96 + 8 * i) for i in range(ndirs)]
        self.sections = []
        for i in range(nsections):
            at = opt + opt_size + 40 * i
            vsize, va, rawsize, raw = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((va, max(vsize, rawsize), raw))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("address %#x lies in no section" % rva)

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def imports(self):
        rva, size = self.dirs[1] if len(self.dirs) > 1 else (0, 0)
        names = []
        if rva == 0:
            return names
        at = self.offset(rva)
        while True:
            desc = struct.unpack_from("<IIIII", self.data, at)
            if desc == (0, 0, 0, 0, 0):
                return names
            names.append(self.cstring(desc[3]))
            at += 20

    def resources(self):
        """{(type, name): bytes} for the first language of every resource."""
        rva, _ = self.dirs[2] if len(self.dirs) > 2 else (0, 0)
        if rva == 0:
            return {}
        base = self.offset(rva)

        def entries(at):
            named, ids = struct.unpack_from("<HH", self.data, at + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                yield name, target

        found = {}
        for rtype, t in entries(base):
            for rname, n in entries(base + (t & 0x7FFFFFFF)):
                if not n & 0x80000000:
                    continue
                for _, leaf in entries(base + (n & 0x7FFFFFFF)):
                    data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    at = self.offset(data_rva)
                    found.setdefault((rtype, rname), self.data[at:at + size])
        return found


def fixed_version(blob):
    at = blob.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    file_ms, file_ls, prod_ms, prod_ls = struct.unpack_from("<IIII", blob, at + 8)
    split = lambda ms, ls: "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    return split(file_ms, file_ls), split(prod_ms, prod_ls)


def string_resource(res, ident):
    blob = res.get((RT_STRING, ident // 16 + 1))
    if blob is None:
        return None
    at = 0
    for i in range(16):
        length = struct.unpack_from("<H", blob, at)[0]
        text = blob[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        if i == ident % 16:
            return text
        at += 2 + 2 * length
    return None


def check(exe, expected_version):
    pe = PE(exe.read_bytes())
    failures = []
    checks = [0]

    def expect(ok, what):
        checks[0] += 1
        print(("ok   " if ok else "FAIL ") + what)
        if not ok:
            failures.append(what)

    expect(pe.machine == 0x14C, "machine is Intel 80386 (found %#x)" % pe.machine)
    expect(pe.subsystem == 2, "subsystem is Windows GUI (found %d)" % pe.subsystem)
    dlls = pe.imports()
    foreign = [d for d in dlls if d.lower() not in SYSTEM_DLLS]
    expect(dlls and not foreign, "imports only system DLLs (%s)" % ", ".join(dlls))

    res = pe.resources()
    version = fixed_version(res.get((RT_VERSION, 1), b""))
    expect(version == (expected_version, expected_version),
           "file and product version are %s (found %s)" % (expected_version, version))

    group = res.get((RT_GROUP_ICON, 128), b"")
    sizes = []
    if len(group) >= 6:
        count = struct.unpack_from("<H", group, 4)[0]
        for i in range(count):
            w, h, colours, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            sizes.append((w, h, colours, bits, (RT_ICON, icon_id) in res))
    expect(sorted(sizes) == [(16, 16, 16, 4, True), (32, 32, 16, 4, True)],
           "icon 128 holds 16x16 and 32x32 in 16 colours (found %s)" % sizes)

    text = string_resource(res, 103)
    expect(text == "&About ZEB++ IDE Integration", "string 103 (found %r)" % text)

    manifest = res.get((RT_MANIFEST, 1), b"").decode("utf-8", "replace")
    expect(re.search(r'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"', manifest) is not None,
           "manifest 1 asks for common controls 6")
    try:
        root = ET.fromstring(manifest)
    except ET.ParseError as e:
        expect(False, "manifest 1 is well-formed XML (%s)" % e)
        return failures, checks[0]
    # Windows reads these elements only in their own name spaces, and the
    # values case-insensitively.
    aware = [(e.text or "").strip().lower() for e in root.iter(WINDOWS_SETTINGS_2005 + "dpiAware")]
    expect(aware == ["true/pm"], "manifest 1: dpiAware true/pm (found %s)" % aware)
    awareness = [[m.strip().lower() for m in (e.text or "").split(",")]
                 for e in root.iter(WINDOWS_SETTINGS_2016 + "dpiAwareness")]
    expect(awareness == [["permonitorv2", "permonitor"]],
           "manifest 1: dpiAwareness PerMonitorV2, then PerMonitor (found %s)" % awareness)
    systems = {(e.get("Id") or "").lower() for e in root.iter(COMPATIBILITY + "supportedOS")}
    expect(systems == SUPPORTED_OS, "manifest 1: supported Windows Vista to 10/11 (missing %s, unknown %s)"
           % (sorted(SUPPORTED_OS - systems), sorted(systems - SUPPORTED_OS)))
    return failures, checks[0]


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("exe", type=Path)
    ap.add_argument("--version-header", type=Path,
                    help="the version header of the build (default: generated/res/version.h beside the program)")
    args = ap.parse_args()
    header = args.version_header or args.exe.parent / "generated/res/version.h"
    m = re.search(r'VSZEB_VERSION_TEXT\s+"([0-9.]+)"', header.read_text())
    if not m:
        print("FAIL no VSZEB_VERSION_TEXT in %s" % header)
        return 1
    try:
        failures, count = check(args.exe, m.group(1))
    except (OSError, ValueError, struct.error) as e:
        print("FAIL %s: %s" % (args.exe, e))
        return 1
    print("check-pe: %d of %d checks failed" % (len(failures), count) if failures
          else "check-pe: all %d checks hold" % count)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
