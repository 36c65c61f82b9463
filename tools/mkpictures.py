#!/usr/bin/env python3
"""Turn the text pictures in res/pictures into the BMP and ICO files that the
resource script compiles into the program.

Usage: python3 tools/mkpictures.py --src res/pictures --out OUTDIR

The pictures are kept as text so that a change to a single pixel shows up as
a one-character change in a diff. One file holds one image:

    # The figure 1 of the clock face.      comment ('#' lines, before "pixels")
    size 9 18                               width and height in pixels
    depth 4                                 bits per pixel: 4 or 8
    colour K 0 0 0 black                    legend: character, red, green, blue
    colour W 255 255 255 white                (0..255), then a note for the reader
    pixels                                  the rows follow, top row first
    WWWWWWWKW                               exactly <height> rows, each exactly
    WWWWWWWKK                                 <width> legend characters
    ...

Legend characters are printable ASCII other than space, each defined once.
Icon images may also say "colour . transparent": there the screen shows
through. After "pixels" every line is a row; only blank lines may follow.

Depth 4 always uses the standard 16-colour VGA palette, so every colour of a
4-bit picture must be one of those 16 exactly; that way white, black, blue and
red come out exact. Depth 8 takes its palette from the legend: the distinct
colours in legend order (after black, for an icon with transparent pixels).

Bitmaps are written bottom-up with BI_RGB and a palette of the colours in use
(all 16 at depth 4). An icon is made of two sources, NAME-32.txt and
NAME-16.txt, and holds the 32 x 32 image first. Transparent pixels get a set
AND-mask bit and black colour bits, as the system expects.

The output depends on the sources alone, byte for byte, and a file whose bytes
are already right is left untouched so that its timestamp does not wake the
build.
"""

import argparse
import os
import struct
import sys

BITMAPS = ["BACK"] + ["NO%d" % d for d in range(10)] + ["COLON", "AM", "PM"]
ICONS = ["TKPCOV", "TKPCH", "TKPDAT", "TKPDAT2"]
ICON_SIZES = (32, 16)

VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

TRANSPARENT = "transparent"


class PictureError(Exception):
    pass


class Picture:
    def __init__(self, path, width, height, depth, legend, rows):
        self.path = path
        self.width = width
        self.height = height
        self.depth = depth
        self.legend = legend  # character -> (r, g, b) or TRANSPARENT
        self.rows = rows      # list of strings, top row first


def parse_int(text, what, where, low, high):
    try:
        value = int(text, 10)
    except ValueError:
        raise PictureError("%s: %s must be a whole number, not %r" % (where, what, text))
    if not low <= value <= high:
        raise PictureError("%s: %s %d is outside %d..%d" % (where, what, value, low, high))
    return value


def parse_picture(path, allow_transparent):
    try:
        with open(path, "r", encoding="ascii", newline="") as f:
            lines = f.read().split("\n")
    except UnicodeDecodeError:
        raise PictureError("%s: only ASCII text is allowed" % path)
    except OSError as e:
        raise PictureError("%s: cannot read: %s" % (path, e.strerror))

    width = height = depth = None
    legend = {}
    index = 0
    while True:
        if index == len(lines):
            raise PictureError("%s: no \"pixels\" line" % path)
        where = "%s:%d" % (path, index + 1)
        line = lines[index].rstrip("\r")
        index += 1
        words = line.split()
        if not words or words[0].startswith("#"):
            continue
        key = words[0]
        if key == "pixels" and len(words) == 1:
            break
        if key == "size" and len(words) == 3:
            width = parse_int(words[1], "width", where, 1, 1024)
            height = parse_int(words[2], "height", where, 1, 1024)
        elif key == "depth" and len(words) == 2:
            depth = parse_int(words[1], "depth", where, 4, 8)
            if depth not in (4, 8):
                raise PictureError("%s: depth must be 4 or 8, not %d" % (where, depth))
        elif key == "colour" and len(words) >= 3:
            char = words[1]
            if len(char) != 1 or not ("!" <= char <= "~"):
                raise PictureError("%s: legend character must be one printable "
                                   "ASCII character, not %r" % (where, char))
            if char in legend:
                raise PictureError("%s: character %r is defined twice" % (where, char))
            if words[2] == TRANSPARENT:
                if not allow_transparent:
                    raise PictureError("%s: only icons can have transparent pixels" % where)
                legend[char] = TRANSPARENT
            elif len(words) >= 5:
                legend[char] = tuple(parse_int(w, "colour component", where, 0, 255)
                                     for w in words[2:5])
            else:
                raise PictureError("%s: expected \"colour C R G B\"" % where)
        else:
            raise PictureError("%s: cannot understand %r" % (where, line))

    if width is None or height is None:
        raise PictureError("%s: no \"size\" line before \"pixels\"" % path)
    if depth is None:
        raise PictureError("%s: no \"depth\" line before \"pixels\"" % path)
    if not legend:
        raise PictureError("%s: no \"colour\" lines before \"pixels\"" % path)

    body = [l.rstrip("\r") for l in lines[index:]]
    while body and body[-1] == "":
        body.pop()
    if len(body) != height:
        raise PictureError("%s: %d pixel rows, but the size says %d"
                           % (path, len(body), height))
    for y, row in enumerate(body):
        where = "%s:%d" % (path, index + y + 1)
        if len(row) != width:
            if len(row.rstrip()) == width:
                raise PictureError("%s: row %d has trailing spaces" % (where, y))
            raise PictureError("%s: row %d is %d pixels wide, but the size says %d"
                               % (where, y, len(row), width))
        for x, char in enumerate(row):
            if char not in legend:
                raise PictureError("%s: row %d column %d: character %r is not in the legend"
                                   % (where, y, x, char))

    picture = Picture(path, width, height, depth, legend, body)
    palette_for(picture)  # refuse unrepresentable colours now, not at write time
    return picture


def palette_for(picture):
    """Return (palette, index of each legend character)."""
    colours = [c for c in picture.legend.values() if c != TRANSPARENT]
    distinct = len(set(colours))
    if distinct > 1 << picture.depth:
        raise PictureError("%s: %d colours, but %d bits per pixel allow %d"
                           % (picture.path, distinct, picture.depth, 1 << picture.depth))
    if picture.depth == 4:
        palette = list(VGA_PALETTE)
        for char, colour in picture.legend.items():
            if colour != TRANSPARENT and colour not in palette:
                raise PictureError("%s: colour %r = RGB%r is not one of the 16 standard "
                                   "colours a 4-bit picture can hold" % (picture.path, char, colour))
    else:
        palette = []
        if TRANSPARENT in picture.legend.values():
            palette.append((0, 0, 0))  # transparent pixels must be black under the mask
        for colour in colours:
            if colour not in palette:
                palette.append(colour)
        if len(palette) > 256:  # the black added for transparency did not fit
            raise PictureError("%s: %d colours and transparency, but 8 bits per pixel "
                               "allow 256" % (picture.path, distinct))
    index = {}
    for char, colour in picture.legend.items():
        index[char] = palette.index((0, 0, 0) if colour == TRANSPARENT else colour)
    return palette, index


def row_stride(width, depth):
    return (width * depth + 31) // 32 * 4


def packed_rows(picture, index, bottom_up=True):
    """The colour bits, one padded line per row, bottom row first."""
    stride = row_stride(picture.width, picture.depth)
    out = bytearray()
    rows = reversed(picture.rows) if bottom_up else picture.rows
    for row in rows:
        line = bytearray(stride)
        for x, char in enumerate(row):
            value = index[char]
            if picture.depth == 8:
                line[x] = value
            else:
                line[x // 2] |= value << (4 if x % 2 == 0 else 0)
        out += line
    return bytes(out)


def mask_rows(picture):
    """The 1-bit AND mask of an icon, bottom row first: 1 = screen shows through."""
    stride = row_stride(picture.width, 1)
    out = bytearray()
    for row in reversed(picture.rows):
        line = bytearray(stride)
        for x, char in enumerate(row):
            if picture.legend[char] == TRANSPARENT:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def info_header(width, height, depth, image_size, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, depth, 0,
                       image_size, 0, 0, colours_used, 0)


def rgbquads(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)


def bmp_bytes(picture):
    palette, index = palette_for(picture)
    bits = packed_rows(picture, index)
    header = info_header(picture.width, picture.height, picture.depth,
                         len(bits), len(palette)) + rgbquads(palette)
    offset = 14 + len(header)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return file_header + header + bits


def icon_image_bytes(picture):
    palette, index = palette_for(picture)
    if picture.depth == 8:
        # Icon loaders of the old systems assume a full colour table.
        palette = palette + [(0, 0, 0)] * (256 - len(palette))
    bits = packed_rows(picture, index) + mask_rows(picture)
    # An icon image's height counts the colour bits and the mask together.
    header = info_header(picture.width, picture.height * 2, picture.depth,
                         len(bits), 0)
    return header + rgbquads(palette) + bits


def ico_bytes(pictures):
    images = [icon_image_bytes(p) for p in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for picture, image in zip(pictures, images):
        colour_count = 16 if picture.depth == 4 else 0
        out += struct.pack("<BBBBHHII", picture.width % 256, picture.height % 256,
                           colour_count, 0, 1, picture.depth, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def build_all(src):
    """Parse every source first, so that one bad picture writes nothing."""
    outputs = []
    for name in BITMAPS:
        picture = parse_picture(os.path.join(src, name + ".txt"), False)
        outputs.append((name + ".bmp", bmp_bytes(picture)))
    for name in ICONS:
        pictures = []
        for size in ICON_SIZES:
            picture = parse_picture(os.path.join(src, "%s-%d.txt" % (name, size)), True)
            if (picture.width, picture.height) != (size, size):
                raise PictureError("%s: an icon image of this name must be %d x %d, not %d x %d"
                                   % (picture.path, size, size, picture.width, picture.height))
            pictures.append(picture)
        outputs.append((name + ".ico", ico_bytes(pictures)))
    return outputs


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    except FileNotFoundError:
        pass
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)
    return True


def main(argv):
    parser = argparse.ArgumentParser(description="Make the program's BMP and ICO files "
                                                 "from their text pictures.")
    parser.add_argument("--src", required=True, help="folder of the text pictures")
    parser.add_argument("--out", required=True, help="folder for the BMP and ICO files")
    args = parser.parse_args(argv)
    try:
        outputs = build_all(args.src)
    except PictureError as e:
        print("mkpictures: %s" % e, file=sys.stderr)
        return 1
    try:
        os.makedirs(args.out, exist_ok=True)
        for name, data in outputs:
            write_if_changed(os.path.join(args.out, name), data)
    except OSError as e:
        print("mkpictures: cannot write %s: %s" % (e.filename, e.strerror), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
