#!/usr/bin/env python3
"""Makes the release archive from the built editions.

Usage: mkarchive.py [--root DIR] [--out DIR]

Writes OUT/TickperchOrvel-<version>.zip (OUT defaults to ROOT/dist), the
version being the project's (the VERSION of project() in CMakeLists.txt).
The archive holds, at its root, the x86 edition (TkpchOV.exe, TKPCHHK.dll),
the help page and the Japanese read-me (Shift-JIS, CRLF line ends, made from
res/readme/readme.txt); skins/ the sample skins; x64/ the x64 edition and
its help page; tools/qvetool.exe (the x86 edition, which runs on both).
The same inputs always give the same bytes; the file is written whole or
not at all.
"""
import argparse
import os
import re
import sys
import zipfile

SAMPLES = ["banner.qve", "cloud.qve", "night.qve"]
# Name in the archive: file in the tree (relative to ROOT).
LAYOUT = [
    ("TkpchOV.exe", "build/x86/TkpchOV.exe"),
    ("TKPCHHK.dll", "build/x86/TKPCHHK.dll"),
    ("Tkpch12.html", "res/help/Tkpch12.html"),
    ("readme.txt", None),
] + [("skins/" + name, "build/x86/skins/" + name) for name in SAMPLES] + [
    ("x64/TkpchOV.exe", "build/x64/TkpchOV.exe"),
    ("x64/TKPCHHK.dll", "build/x64/TKPCHHK.dll"),
    ("x64/Tkpch12.html", "res/help/Tkpch12.html"),
    ("tools/qvetool.exe", "build/x86/qvetool.exe"),
]
# A fixed time, so the archive depends on its contents alone.
STAMP = (2026, 1, 1, 0, 0, 0)


def project_version(root):
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
        match = re.search(r"project\(\s*TickperchOrvel\s+VERSION\s+([0-9.]+)", f.read())
    if not match:
        raise SystemExit("mkarchive: no project version in CMakeLists.txt")
    return match.group(1)


def archive_name(root):
    return "TickperchOrvel-%s.zip" % project_version(root)


def readme_bytes(root, version):
    with open(os.path.join(root, "res", "readme", "readme.txt"), encoding="utf-8") as f:
        text = f.read().replace("@VERSION@", version)
    # The system's own code page on a Japanese Windows, and its line ends.
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("--out")
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    out = args.out or os.path.join(root, "dist")
    version = project_version(root)

    contents = []
    for name, source in LAYOUT:
        if source is None:
            contents.append((name, readme_bytes(root, version)))
            continue
        path = os.path.join(root, source)
        if not os.path.isfile(path):
            raise SystemExit("mkarchive: %s is missing; build the x86 and x64 editions first" % source)
        with open(path, "rb") as f:
            contents.append((name, f.read()))

    os.makedirs(out, exist_ok=True)
    target = os.path.join(out, archive_name(root))
    temporary = target + ".tmp"
    with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in contents:
            entry = zipfile.ZipInfo(name, STAMP)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16
            archive.writestr(entry, data)
    os.replace(temporary, target)
    print(target)
    return 0


if __name__ == "__main__":
    sys.exit(main())
