#!/usr/bin/env python3
"""Check the pictures built into the clock program.

Usage: python3 tests/static/check_resources.py PATH/TO/TkpchOV.exe

Reads the resource directory of the PE file itself (32- or 64-bit) and checks
every picture resource by name: the skin picture BACK, the face bitmaps NO0..NO9,
COLON, AM and PM, and the icon groups TKPCOV, TKPCH, TKPDAT and TKPDAT2; and
the dialog templates SETTING, ABOUT and PROPERTY control by control.
The manifest asks to run as the invoker, names Vista to 11 and no more.
Prints each failure and exits 1, or exits 0 when all pass.
"""

import os
import sys
from xml.etree import ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from dialogtemplates import check_templates  # noqa: E402
from peimage import Invalid, PeImage, unpack  # noqa: E402

RT_BITMAP, RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 2, 3, 14, 24
# Vista, 7, 8, 8.1, 10 and 11.
SUPPORTED_OS = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
MANIFEST_ELEMENTS = {"assembly", "trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel",
                     "compatibility", "application", "supportedOS"}

KEY = (128, 128, 0)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
BLUE = (0, 0, 255)
RED = (255, 0, 0)

BACK_WIDTH, BACK_HEIGHT = 101, 38
# The opaque part of the skin picture: (first column, last column) per row.
BACK_SHAPE = {1: (3, 97), 2: (2, 98), 35: (2, 98), 36: (3, 97)}
BACK_SHAPE.update({y: (1, 99) for y in range(3, 35)})
FACE_AREA = (22, 93, 12, 29)       # columns and rows where the digits are drawn
MARK_BOX = (6, 19, 12, 29)         # the grey box behind AM/PM

# Segments lit for each figure, with the variants displays use for 6, 7 and 9.
# a top, b upper right, c lower right, d bottom, e lower left, f upper left, g middle
FIGURE_SEGMENTS = {
    0: ["abcdef"], 1: ["bc"], 2: ["abdeg"], 3: ["abcdg"], 4: ["bcfg"],
    5: ["acdfg"], 6: ["acdefg", "cdefg"], 7: ["abc", "abcf"], 8: ["abcdefg"],
    9: ["abcdfg", "abcfg"],
}


def read_resources(image):
    """Return {(type, name): [data, ...]} for the whole resource tree."""
    return PeImage(image).resources()


# ---------------------------------------------------------------- DIB decoding

class Dib:
    """A device-independent bitmap as a bitmap resource or an icon image holds it."""

    def __init__(self, data, is_icon=False):
        (header_size,) = unpack("<I", data, 0)
        if header_size != 40:
            raise Invalid("header of %d bytes, expected a 40-byte BITMAPINFOHEADER" % header_size)
        (_, width, height, planes, bits, compression, _, _, _, colours_used, _) = \
            unpack("<IiiHHIIiiII", data, 0)
        if compression != 0:
            raise Invalid("compression %d, expected BI_RGB" % compression)
        if bits not in (1, 4, 8):
            raise Invalid("%d bits per pixel, expected a palette picture" % bits)
        if planes != 1:
            raise Invalid("%d planes" % planes)
        top_down = height < 0
        height = abs(height)
        if is_icon:
            height //= 2  # the colour bits and the AND mask
        if width <= 0 or height <= 0:
            raise Invalid("empty picture %d x %d" % (width, height))
        entries = colours_used or (1 << bits)
        if entries > (1 << bits):
            raise Invalid("%d palette entries for %d bits per pixel" % (entries, bits))
        palette = []
        for i in range(entries):
            b, g, r, _ = unpack("<BBBB", data, 40 + 4 * i)
            palette.append((r, g, b))
        self.width, self.height, self.bits = width, height, bits

        stride = (width * bits + 31) // 32 * 4
        pixels_at = 40 + 4 * entries
        if pixels_at + stride * height > len(data):
            raise Invalid("pixel rows run past the end of the resource")
        per_byte = 8 // bits
        self.pixels = []
        for row in range(height):
            line = row if top_down else height - 1 - row
            start = pixels_at + line * stride
            colours = []
            for x in range(width):
                byte = data[start + x // per_byte]
                shift = 8 - bits * (x % per_byte + 1)
                index = (byte >> shift) & ((1 << bits) - 1)
                if index >= len(palette):
                    raise Invalid("pixel (%d, %d) uses palette entry %d of %d"
                                  % (x, row, index, len(palette)))
                colours.append(palette[index])
            self.pixels.append(colours)

        self.mask = None
        if is_icon:
            mask_stride = (width + 31) // 32 * 4
            mask_at = pixels_at + stride * height
            if mask_at + mask_stride * height > len(data):
                raise Invalid("AND mask runs past the end of the icon image")
            self.mask = []
            for row in range(height):
                line = row if top_down else height - 1 - row
                start = mask_at + line * mask_stride
                self.mask.append([bool(data[start + x // 8] & (0x80 >> (x % 8)))
                                  for x in range(width)])

    def at(self, x, y):
        return self.pixels[y][x]


# ---------------------------------------------------------------- expectations

def figure_picture(segments):
    """The 9 x 18 figure lit with the given segments, True where black."""
    lit = set(segments)
    black = [[False] * 9 for _ in range(18)]

    def fill(columns, rows):
        for y in rows:
            for x in columns:
                black[y][x] = True

    strokes = {"a": (range(2, 7), range(0, 2)), "g": (range(2, 7), range(8, 10)),
               "d": (range(2, 7), range(16, 18)), "f": (range(0, 2), range(2, 8)),
               "b": (range(7, 9), range(2, 8)), "e": (range(0, 2), range(10, 16)),
               "c": (range(7, 9), range(10, 16))}
    for segment in lit:
        fill(*strokes[segment])
    # A joint is black when any stroke that meets there is lit.
    joints = {(0, 0): "af", (7, 0): "ab", (0, 8): "efg", (7, 8): "bcg",
              (0, 16): "de", (7, 16): "cd"}
    for (x, y), meeting in joints.items():
        if lit & set(meeting):
            fill(range(x, x + 2), range(y, y + 2))
    for x, y in ((0, 0), (8, 0), (0, 17), (8, 17)):
        black[y][x] = False  # the cut outer corners
    return black


def describe(points, limit=6):
    shown = ", ".join("(%d,%d)" % p for p in points[:limit])
    return shown + (" and %d more" % (len(points) - limit) if len(points) > limit else "")


def expect_size(dib, width, height, bits):
    problems = []
    if (dib.width, dib.height) != (width, height):
        problems.append("is %d x %d, expected %d x %d" % (dib.width, dib.height, width, height))
    if dib.bits != bits:
        problems.append("has %d bits per pixel, expected %d" % (dib.bits, bits))
    return problems


def check_back(dib):
    problems = expect_size(dib, BACK_WIDTH, BACK_HEIGHT, 8)
    if problems:
        return problems
    if dib.at(0, 0) != KEY:
        return ["top-left pixel is RGB%r, expected the key colour RGB%r" % (dib.at(0, 0), KEY)]

    def in_shape(x, y):
        span = BACK_SHAPE.get(y)
        return span is not None and span[0] <= x <= span[1]

    wrong_key = [(x, y) for y in range(BACK_HEIGHT) for x in range(BACK_WIDTH)
                 if (dib.at(x, y) != KEY) != in_shape(x, y)]
    if wrong_key:
        return ["key colour does not follow the cut-corner shape at (x,y) " + describe(wrong_key)]

    edge = [(x, y) for y in range(BACK_HEIGHT) for x in range(BACK_WIDTH)
            if in_shape(x, y) and not all(in_shape(x + dx, y + dy)
                                          for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))]
    pale_edge = [p for p in edge if max(dib.at(*p)) > 64]
    if pale_edge:
        problems.append("outline is not near-black at " + describe(pale_edge))

    def brightness(x, y):
        return sum(dib.at(x, y))

    if not (brightness(50, 2) > brightness(50, 35) and brightness(2, 18) > brightness(98, 18)):
        problems.append("frame is not lit from the top left")

    left, right, top, bottom = FACE_AREA
    not_white = [(x, y) for y in range(top, bottom + 1) for x in range(left, right + 1)
                 if dib.at(x, y) != WHITE]
    if not_white:
        problems.append("face area is not plain white at " + describe(not_white))

    left, right, top, bottom = MARK_BOX
    box = {dib.at(x, y) for y in range(top, bottom + 1) for x in range(left, right + 1)}
    grey = next(iter(box))
    if len(box) != 1 or not (grey[0] == grey[1] == grey[2] and 160 <= grey[0] < 255):
        problems.append("AM/PM box is not one light grey: %s" % sorted(box))

    for y in (8, 9):
        stripe = [dib.at(x, y) for x in range(FACE_AREA[0], FACE_AREA[1] + 1)]
        pinkish = all(r >= 200 and b >= 150 and g < min(r, b) for r, g, b in stripe)
        greens = [g for _, g, _ in stripe]
        fading = all(a >= b for a, b in zip(greens, greens[1:])) and greens[0] > greens[-1]
        if not (pinkish and fading):
            problems.append("row %d is not a pink-to-magenta stripe" % y)

    corner = [dib.at(x, y) for y in range(1, 8) for x in range(80, 100)]
    if not any(g >= 96 and g > 2 * r and g > 2 * b for r, g, b in corner):
        problems.append("no green mark at the top right")
    if not any(r >= 128 and r > 2 * g and r > 2 * b for r, g, b in corner):
        problems.append("no red mark at the top right")
    return problems


def check_figure(digit, dib):
    problems = expect_size(dib, 9, 18, 4)
    if problems:
        return problems
    stray = {dib.at(x, y) for y in range(18) for x in range(9)} - {BLACK, WHITE}
    if stray:
        return ["has colours other than black and white: %s" % sorted(stray)]
    drawn = [[dib.at(x, y) == BLACK for x in range(9)] for y in range(18)]
    best = None
    for segments in FIGURE_SEGMENTS[digit]:
        expected = figure_picture(segments)
        wrong = [(x, y) for y in range(18) for x in range(9) if drawn[y][x] != expected[y][x]]
        if not wrong:
            return []
        if best is None or len(wrong) < len(best):
            best = wrong
    return ["does not show the figure %d with 2-pixel strokes; wrong at (x,y) %s"
            % (digit, describe(best))]


def check_colon(dib):
    problems = expect_size(dib, 2, 18, 4)
    if problems:
        return problems
    wrong = [(x, y) for y in range(18) for x in range(2)
             if dib.at(x, y) != (BLACK if 4 <= y <= 6 or 11 <= y <= 13 else WHITE)]
    return ["dots are wrong at (x,y) " + describe(wrong)] if wrong else []


def check_mark(dib, width, height, colour, top_row_white):
    problems = expect_size(dib, width, height, 4)
    if problems:
        return problems
    used = {dib.at(x, y) for y in range(height) for x in range(width)}
    if not used <= {WHITE, colour}:
        problems.append("has colours other than white and RGB%r: %s"
                        % (colour, sorted(used - {WHITE, colour})))
    if colour not in used:
        problems.append("has no letters in RGB%r" % (colour,))
    if top_row_white and any(dib.at(x, 0) != WHITE for x in range(width)):
        problems.append("top row is not all white")
    return problems


def check_icon_group(group, resources):
    reserved, kind, count = unpack("<HHH", group, 0)
    if reserved != 0 or kind != 1:
        return ["is not an icon group"]
    problems = []
    sizes = []
    for i in range(count):
        width, height, _, _, _, bits, size, icon_id = unpack("<BBBBHHIH", group, 6 + 14 * i)
        width, height = width or 256, height or 256
        sizes.append((width, height))
        label = "%dx%d image" % (width, height)
        images = resources.get((RT_ICON, icon_id))
        if not images:
            problems.append("%s: icon %d is missing" % (label, icon_id))
            continue
        data = images[0]
        if len(data) != size:
            problems.append("%s: group says %d bytes, icon %d has %d"
                            % (label, size, icon_id, len(data)))
        try:
            dib = Dib(data, is_icon=True)
        except Invalid as e:
            problems.append("%s: %s" % (label, e))
            continue
        if (dib.width, dib.height) != (width, height) or dib.bits != bits:
            problems.append("%s: image is %d x %d at %d bits, group says %d x %d at %d"
                            % (label, dib.width, dib.height, dib.bits, width, height, bits))
        if dib.bits not in (4, 8):
            problems.append("%s: %d bits per pixel, expected 4 or 8" % (label, dib.bits))
        see_through = [(x, y) for y in range(dib.height) for x in range(dib.width)
                       if dib.mask[y][x]]
        if not see_through or len(see_through) == dib.width * dib.height:
            problems.append("%s: AND mask is all %s" % (
                label, "opaque" if not see_through else "transparent"))
        # Colour under a set mask bit is XORed onto the screen: it must be black.
        smudged = [p for p in see_through if dib.at(*p) != BLACK]
        if smudged:
            problems.append("%s: transparent pixels are not black at %s"
                            % (label, describe(smudged)))
    for wanted in ((32, 32), (16, 16)):
        if wanted not in sizes:
            problems.append("has no %dx%d image" % wanted)
    return problems


def check_manifest(resources):
    found = resources.get((RT_MANIFEST, 1), [])
    try:
        elements = list(ElementTree.fromstring(found[0]).iter()) if len(found) == 1 else []
    except ElementTree.ParseError:
        elements = []
    named = [(e.tag.split("}")[-1], e) for e in elements]
    levels = [(e.get("level"), e.get("uiAccess")) for name, e in named if name == "requestedExecutionLevel"]
    systems = {e.get("Id", "").lower() for name, e in named if name == "supportedOS"}
    ok = levels == [("asInvoker", "false")] and systems == SUPPORTED_OS and {n for n, _ in named} <= MANIFEST_ELEMENTS
    return [] if ok else ["manifest 1 does not ask just to run as the invoker, Vista to 11 named: %r" % found[:1]]


# ---------------------------------------------------------------- driver

def check_program(image):
    """Return a list of failure lines; empty when every picture is right."""
    try:
        resources = read_resources(image)
    except Invalid as e:
        return ["cannot read the resources: %s" % e]

    bitmap_checks = [("BACK", check_back), ("COLON", check_colon),
                     ("AM", lambda d: check_mark(d, 14, 8, BLUE, True)),
                     ("PM", lambda d: check_mark(d, 14, 7, RED, False))]
    bitmap_checks += [("NO%d" % n, lambda d, n=n: check_figure(n, d)) for n in range(10)]

    failures = []
    for name, check in bitmap_checks:
        found = resources.get((RT_BITMAP, name))
        if not found:
            failures.append("bitmap %s: missing" % name)
            continue
        for data in found:
            try:
                problems = check(Dib(data))
            except Invalid as e:
                problems = [str(e)]
            failures += ["bitmap %s: %s" % (name, p) for p in problems]

    for name in ("TKPCOV", "TKPCH", "TKPDAT", "TKPDAT2"):
        found = resources.get((RT_GROUP_ICON, name))
        if not found:
            failures.append("icon %s: missing" % name)
            continue
        for group in found:
            try:
                problems = check_icon_group(group, resources)
            except Invalid as e:
                problems = [str(e)]
            failures += ["icon %s: %s" % (name, p) for p in problems]
    failures += check_templates(resources)
    failures += check_manifest(resources)
    return failures


def main(argv):
    if len(argv) != 1:
        print("usage: check_resources.py PROGRAM.exe", file=sys.stderr)
        return 2
    try:
        with open(argv[0], "rb") as f:
            image = f.read()
    except OSError as e:
        print("%s: %s" % (argv[0], e.strerror))
        return 1
    failures = check_program(image)
    for line in failures:
        print("%s: %s" % (argv[0], line))
    if failures:
        return 1
    print("%s: all pictures, dialog templates and the manifest are right" % argv[0])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
