#!/usr/bin/env python3
"""Writes the C++ source that carries the face pictures' BMP files.

Usage: embed_pictures.py --pictures DIR --out facepictures.cpp
DIR holds NO0.bmp .. NO9.bmp, COLON.bmp, AM.bmp and PM.bmp (made by
tools/mkpictures.py). The file is rewritten only when its text changes.
"""
import argparse
import os

NAMES = ["NO%d" % d for d in range(10)] + ["COLON", "AM", "PM"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pictures", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    lines = ["// Made by qvetool/embed_pictures.py from the face pictures; do not edit.",
             '#include "facepictures.h"', ""]
    for name in NAMES:
        with open(os.path.join(args.pictures, name + ".bmp"), "rb") as f:
            data = f.read()
        lines.append("static const unsigned char %s[] = {" % name)
        for at in range(0, len(data), 16):
            lines.append("    " + ", ".join("0x%02X" % b for b in data[at:at + 16]) + ",")
        lines.append("};")
    lines.append("")
    lines.append("const FacePictureFile FacePictureFiles[FACE_PICTURE_COUNT] = {")
    for name in NAMES:
        lines.append('    {"%s", %s, sizeof %s},' % (name, name, name))
    lines.append("};")
    text = "\n".join(lines) + "\n"
    try:
        with open(args.out) as f:
            if f.read() == text:
                return
    except FileNotFoundError:
        pass
    with open(args.out + ".tmp", "w") as f:
        f.write(text)
    os.replace(args.out + ".tmp", args.out)


if __name__ == "__main__":
    main()
