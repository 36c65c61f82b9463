#!/usr/bin/env python3
"""Check how the two deliverables are put together.

Usage: check_binaries.py --edition x86|x64 TkpchOV.exe TKPCHHK.dll

- TKPCHHK.dll exports SetHook at ordinal 2 and FreeHook at ordinal 3 under
  those plain names, has no ordinal 1, calls its export directory
  "TKPCHHK.dll", keeps its two shared words in a section "shared" with the
  characteristics 0xD0000040, zero in the image, and imports from USER32
  only (KERNEL32 at most besides), so no C runtime.
- TkpchOV.exe imports TKPCHHK.dll by ordinals 2 and 3 only and no DLL but
  the system's, and carries file version 1.2.1.1.
Prints every failure and exits 1, or exits 0.
"""

import argparse
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peimage import Invalid, PeImage  # noqa: E402

SYSTEM_DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "SHELL32.DLL", "COMCTL32.DLL",
               "COMDLG32.DLL", "MSVCRT.DLL", "ADVAPI32.DLL"}
SHARED_CHARACTERISTICS = 0xD0000040


def check_library(library, edition, failures):
    if library.is64 != (edition == "x64"):
        failures.append("TKPCHHK.dll is not of the %s edition" % edition)
    name, base, ordinals = library.exports()
    if name != "TKPCHHK.dll":
        failures.append("export directory name is %r, expected 'TKPCHHK.dll'" % name)
    if ordinals != {2: "SetHook", 3: "FreeHook"}:
        failures.append("exports are %r, expected {2: 'SetHook', 3: 'FreeHook'}" % ordinals)
    if base != 2:
        failures.append("ordinal base is %d: ordinal 1 must not exist" % base)

    shared = library.section("shared")
    if shared is None:
        failures.append("no section named 'shared'")
    else:
        if shared.characteristics != SHARED_CHARACTERISTICS:
            failures.append("section 'shared' has characteristics 0x%08X, expected 0x%08X"
                            % (shared.characteristics, SHARED_CHARACTERISTICS))
        word = 8 if edition == "x64" else 4
        if shared.virtual_size != 2 * word:
            failures.append("section 'shared' holds %d bytes, expected two %d-byte words"
                            % (shared.virtual_size, word))
        if any(library.section_bytes(shared)):
            failures.append("section 'shared' is not zero in the image")

    imports = {dll.upper() for dll in library.imports()}
    if "USER32.DLL" not in imports:
        failures.append("TKPCHHK.dll does not import USER32")
    extra = imports - {"USER32.DLL", "KERNEL32.DLL"}
    if extra:
        failures.append("TKPCHHK.dll imports %s: it must use no C runtime" % sorted(extra))


RT_VERSION = 16
FIXED_FILE_INFO_SIGNATURE = b"\xbd\x04\xef\xfe"


def check_version(program, failures):
    """The version resource says file version 1.2.1.1."""
    versions = [data for (kind, _), found in program.resources().items() if kind == RT_VERSION for data in found]
    if len(versions) != 1:
        failures.append("TkpchOV.exe has %d version resources, expected one" % len(versions))
        return
    at = versions[0].find(FIXED_FILE_INFO_SIGNATURE)
    if at < 0 or at + 16 > len(versions[0]):
        failures.append("the version resource has no fixed file information")
        return
    most, least = struct.unpack_from("<II", versions[0], at + 8)
    version = (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)
    if version != (1, 2, 1, 1):
        failures.append("file version is %d.%d.%d.%d, expected 1.2.1.1" % version)


def check_program(program, edition, failures):
    if program.is64 != (edition == "x64"):
        failures.append("TkpchOV.exe is not of the %s edition" % edition)
    imports = program.imports()
    hook = imports.get("TKPCHHK.dll")
    if hook is None:
        failures.append("TkpchOV.exe does not import TKPCHHK.dll (as that exact name)")
    elif sorted(hook) != [2, 3] or not all(isinstance(entry, int) for entry in hook):
        failures.append("TkpchOV.exe imports %r from TKPCHHK.dll, expected ordinals 2 and 3 only" % hook)
    foreign = [dll for dll in imports if dll.upper() not in SYSTEM_DLLS and dll != "TKPCHHK.dll"]
    if foreign:
        failures.append("TkpchOV.exe needs DLLs beyond the system's: %s" % foreign)
    check_version(program, failures)


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("--edition", choices=("x86", "x64"), required=True)
    parser.add_argument("program")
    parser.add_argument("library")
    args = parser.parse_args(argv)
    failures = []
    try:
        check_library(PeImage.load(args.library), args.edition, failures)
        check_program(PeImage.load(args.program), args.edition, failures)
    except (Invalid, OSError) as error:
        failures.append(str(error))
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print("%s edition: exports, imports, the shared section and the version are right" % args.edition)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
