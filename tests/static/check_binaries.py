#!/usr/bin/env python3
"""Check how the two deliverables are put together.

Usage: check_binaries.py --edition x86|x64 --objdump OBJDUMP TkpchOV.exe TKPCHHK.dll

- TKPCHHK.dll exports SetHook at ordinal 2 and FreeHook at ordinal 3 under
  those plain names, has no ordinal 1, calls its export directory
  "TKPCHHK.dll", keeps its two shared words in a section "shared" with the
  characteristics 0xD0000040, zero in the image, and imports from USER32
  only (KERNEL32 at most besides), so no C runtime.
- The hook handle is the shared word at offset 0 and the clock window the
  next one. The machine code tells: FreeHook touches the hook handle alone,
  SetHook the hook handle and the clock window.
- TkpchOV.exe imports TKPCHHK.dll by ordinals 2 and 3 only and no DLL but
  the system's, none of the functions Windows 95 or NT 4 lack (it looks them
  up at run time), and carries file version 1.2.1.1.
Prints every failure and exits 1, or exits 0.
"""

import argparse
import os
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from peimage import Invalid, PeImage  # noqa: E402

SYSTEM_DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "SHELL32.DLL", "COMCTL32.DLL",
               "COMDLG32.DLL", "MSVCRT.DLL", "ADVAPI32.DLL"}
SHARED_CHARACTERISTICS = 0xD0000040
# Looked up at run time: an import of one would keep the program from
# starting on the systems without it.
LOOKED_UP = {"MonitorFromWindow", "GetMonitorInfoA", "GetMonitorInfoW", "GetShellWindow", "SetWinEventHook",
             "UnhookWinEvent", "DwmGetWindowAttribute", "SHQueryUserNotificationState", "ChangeWindowMessageFilter",
             "ChangeWindowMessageFilterEx", "CoInitialize", "CoCreateInstance", "CoUninitialize"}


def disassemble(objdump, path):
    """{address: (mnemonic, operands)} of every instruction of the code."""
    listing = subprocess.run([objdump, "-d", "-M", "intel", "--no-show-raw-insn", path],
                             check=True, capture_output=True, text=True).stdout
    code = {}
    for line in listing.splitlines():
        found = re.match(r"^\s*([0-9a-f]+):\s+(\S+)\s*(.*)$", line)
        if found:
            code[int(found.group(1), 16)] = (found.group(2), found.group(3))
    return code


def data_addresses(operands):
    """Absolute addresses an instruction's operands name: x86 code names them
    as ds:0x..., x64 code relative to rip, which objdump resolves after '#'."""
    return [int(x86 or x64, 16) for x86, x64 in re.findall(r"ds:0x([0-9a-f]+)|#\s*0x([0-9a-f]+)", operands)]


def words_used(code, start, section_start, section_end, word):
    """Offsets of the shared words that the function at `start` reads or
    writes, following its jumps to every instruction it can reach."""
    order = sorted(code)
    following = dict(zip(order, order[1:] + [None]))
    offsets, seen, pending = set(), set(), [start]
    while pending:
        address = pending.pop()
        while address is not None and address not in seen:
            if address not in code:
                raise Invalid("no instruction at 0x%x" % address)
            seen.add(address)
            mnemonic, operands = code[address]
            for target in data_addresses(operands):
                if section_start <= target < section_end:
                    offsets.add((target - section_start) // word * word)
            direct = re.match(r"^0x([0-9a-f]+)$", operands)
            if mnemonic.startswith("ret"):
                break
            if mnemonic == "jmp":
                address = int(direct.group(1), 16) if direct else None  # else a tail call
                continue
            if mnemonic.startswith("j") and direct:
                pending.append(int(direct.group(1), 16))
            address = following[address]
    return offsets


def check_shared_layout(library, objdump, path, shared, word, addresses, failures):
    code = disassemble(objdump, path)
    start = library.image_base + shared.rva
    end = start + shared.virtual_size
    used = {name: words_used(code, library.image_base + addresses[ordinal], start, end, word)
            for name, ordinal in (("FreeHook", 3), ("SetHook", 2)) if ordinal in addresses}
    if used.get("FreeHook") != {0}:
        failures.append("FreeHook uses the shared words at offsets %s: the hook handle must be the word at "
                        "offset 0" % sorted(used.get("FreeHook", ())))
    if used.get("SetHook") != {0, word}:
        failures.append("SetHook uses the shared words at offsets %s: the clock window must be the word at "
                        "offset %d" % (sorted(used.get("SetHook", ())), word))


def check_library(library, path, edition, objdump, failures):
    if library.is64 != (edition == "x64"):
        failures.append("TKPCHHK.dll is not of the %s edition" % edition)
    name, base, ordinals, addresses = library.exports()
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
        check_shared_layout(library, objdump, path, shared, word, addresses, failures)

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
    bound = sorted(LOOKED_UP.intersection(name for entries in imports.values() for name in entries))
    if bound:
        failures.append("TkpchOV.exe imports %s, which it must look up at run time" % bound)
    check_version(program, failures)


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("--edition", choices=("x86", "x64"), required=True)
    parser.add_argument("--objdump", required=True, help="the edition's objdump")
    parser.add_argument("program")
    parser.add_argument("library")
    args = parser.parse_args(argv)
    failures = []
    try:
        check_library(PeImage.load(args.library), args.library, args.edition, args.objdump, failures)
        check_program(PeImage.load(args.program), args.edition, failures)
    except (Invalid, OSError, subprocess.CalledProcessError) as error:
        failures.append(str(error))
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print("%s edition: exports, imports, the shared section and its layout, and the version are right"
              % args.edition)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
