#!/usr/bin/env python3
"""Packs the sample skins with qvetool.

Usage: mkskins.py --qvetool PATH --src res/skins --out DIR

Each sample is two reviewable text files in the source folder: NAME.txt, a
picture in the text form that tools/mkpictures.py reads, and NAME.pack, the
options handed to `qvetool pack`, one a line ("--name text", the value being
the rest of the line; '#' lines are comments). The picture becomes
DIR/pictures/NAME.bmp and qvetool packs it into DIR/NAME.qve.
"""
import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import mkpictures  # noqa: E402


def read_options(path):
    options = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            option, _, value = line.partition(" ")
            if not option.startswith("--") or not value:
                raise SystemExit("%s:%d: expected \"--option value\"" % (path, number))
            options += [option, value]
    return options


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--qvetool", required=True)
    parser.add_argument("--src", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    pictures = os.path.join(args.out, "pictures")
    os.makedirs(pictures, exist_ok=True)
    names = sorted(n[:-5] for n in os.listdir(args.src) if n.endswith(".pack"))
    for name in names:
        try:
            picture = mkpictures.parse_picture(os.path.join(args.src, name + ".txt"), False)
        except mkpictures.PictureError as e:
            raise SystemExit("mkskins: %s" % e)
        bmp = os.path.join(pictures, name + ".bmp")
        mkpictures.write_if_changed(bmp, mkpictures.bmp_bytes(picture))
        command = [args.qvetool, "pack", bmp, "-o", os.path.join(args.out, name + ".qve"), "--force"]
        command += read_options(os.path.join(args.src, name + ".pack"))
        result = subprocess.run(command, capture_output=True)
        sys.stderr.buffer.write(result.stderr)
        if result.returncode != 0 or result.stderr:
            raise SystemExit("mkskins: qvetool refused %s (exit %d)" % (name, result.returncode))
    return 0


if __name__ == "__main__":
    sys.exit(main())
