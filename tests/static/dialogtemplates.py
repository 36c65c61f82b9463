"""The dialog templates the clock program must carry, and a reader for them.

Each template is a classic (non-extended) dialog template: the dialog's
style, size, caption and font, then its controls in template (tab) order
with class, id, text, style and rectangle in dialog units. Every field is
compared; a control that moved by one unit is a failure.
"""

from peimage import Invalid, unpack

RT_DIALOG = 5

WS_CHILD_VISIBLE = 0x50000000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX, BS_GROUPBOX, BS_AUTORADIOBUTTON = 0x1, 0x3, 0x7, 0x9
SS_CENTER, SS_ICON, SS_NOTIFY, SS_CENTERIMAGE, SS_SUNKEN = 0x1, 0x3, 0x100, 0x200, 0x1000
DIALOG_STYLE = 0x80C800C0  # WS_POPUP, WS_CAPTION, WS_SYSMENU, DS_MODALFRAME, DS_SETFONT
FONT = (9, "ＭＳ Ｐゴシック")
NO_ID = 0xFFFF

BUTTON, STATIC = "Button", "Static"
LABEL = WS_CHILD_VISIBLE | WS_GROUP  # a static with SS_LEFT (0)
PUSH = WS_CHILD_VISIBLE | WS_TABSTOP
RADIO = WS_CHILD_VISIBLE | BS_AUTORADIOBUTTON
CHECK = WS_CHILD_VISIBLE | BS_AUTOCHECKBOX | WS_TABSTOP
GROUP = WS_CHILD_VISIBLE | BS_GROUPBOX

# name: (size, caption, [(class, id, text, style, (x, y, width, height)), ...])
EXPECTED = {
    "SETTING": ((191, 193), "Tickperch OV - 設定", [
        (BUTTON, 1, "OK", PUSH | BS_DEFPUSHBUTTON, (77, 172, 50, 14)),
        (BUTTON, 2, "ｷｬﾝｾﾙ", PUSH, (134, 172, 50, 14)),
        (BUTTON, NO_ID, " 時間表示設定 ", GROUP | WS_GROUP, (7, 7, 104, 47)),
        (BUTTON, 1007, "12時間制 (&1)", RADIO, (19, 21, 54, 10)),
        (BUTTON, 1008, "24時間制 (&2)", RADIO, (19, 37, 54, 10)),
        (BUTTON, NO_ID, "   ", GROUP, (7, 78, 177, 82)),
        (BUTTON, 1009, "ﾂｰﾙﾁｯﾌﾟで日付を表示する(&T)", CHECK, (16, 78, 103, 10)),
        (BUTTON, 1020, "年表示", GROUP | WS_GROUP, (15, 92, 71, 60)),
        (BUTTON, 1015, "年表示なし(&N)", RADIO, (21, 106, 57, 10)),
        (BUTTON, 1016, "西暦(&W)", RADIO, (21, 121, 39, 10)),
        (BUTTON, 1017, "和暦(&E)", RADIO, (21, 136, 38, 10)),
        (BUTTON, 1021, "表示形式", GROUP | WS_GROUP, (90, 92, 84, 60)),
        (BUTTON, 1018, "yy/mm/dd(&S)", RADIO, (99, 112, 55, 10)),
        (BUTTON, 1019, "yy年mm月dd日(&K)", RADIO, (99, 128, 69, 10)),
        (BUTTON, 1022, "ﾀｽｸﾄﾚｲにｱｲｺﾝを入れる(&I)", CHECK, (16, 62, 92, 10)),
    ]),
    "ABOUT": ((191, 161), "ﾊﾞｰｼﾞｮﾝ情報", [
        (BUTTON, 1, "OK", PUSH | BS_DEFPUSHBUTTON, (70, 140, 50, 14)),
        (STATIC, 1001, "Tickperch", LABEL | SS_CENTER | SS_CENTERIMAGE, (55, 1, 101, 29)),
        (STATIC, NO_ID, "(C) 2026 Tickperch developers", LABEL, (62, 73, 120, 8)),
        (STATIC, NO_ID, "TKPCOV", WS_CHILD_VISIBLE | SS_ICON, (15, 13, 20, 20)),
        (STATIC, 1000, "https://tickperch.invalid/", LABEL | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY,
         (7, 107, 176, 12)),
        (STATIC, NO_ID, "Tickperch 公式ｻﾎﾟｰﾄﾍﾟｰｼﾞ :", LABEL, (7, 93, 93, 8)),
        (STATIC, NO_ID, "Version 1.2.1", LABEL | SS_CENTERIMAGE, (62, 58, 120, 8)),
        (STATIC, NO_ID, "Module :", LABEL, (62, 38, 25, 8)),
        (STATIC, 1006, "Orvel", LABEL | SS_CENTERIMAGE, (98, 35, 85, 14)),
    ]),
    "PROPERTY": ((195, 133), "ﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨ", [
        (BUTTON, 1, "OK", PUSH | BS_DEFPUSHBUTTON, (138, 112, 50, 14)),
        (STATIC, NO_ID, "作成者 :", LABEL, (7, 12, 25, 8)),
        (STATIC, NO_ID, "ﾃﾞｰﾀ名 :", LABEL, (7, 31, 25, 8)),
        (STATIC, NO_ID, "ﾎｰﾑﾍﾟｰｼﾞ :", LABEL, (7, 50, 34, 8)),
        (STATIC, NO_ID, "ﾒｰﾙｱﾄﾞﾚｽ :", LABEL, (7, 79, 35, 8)),
        (STATIC, 1002, "（ 不明 ）", LABEL | SS_CENTERIMAGE | SS_SUNKEN, (34, 11, 154, 12)),
        (STATIC, 1003, "（ 不明 ）", LABEL | SS_CENTERIMAGE | SS_SUNKEN, (34, 30, 154, 12)),
        (STATIC, 1004, "（ 非公開 ）", LABEL | SS_CENTERIMAGE | SS_SUNKEN | SS_NOTIFY, (7, 61, 181, 12)),
        (STATIC, 1005, "（ 非公開 ）", LABEL | SS_CENTERIMAGE | SS_SUNKEN | SS_NOTIFY, (7, 90, 181, 12)),
    ]),
}

CLASS_ATOMS = {0x80: BUTTON, 0x81: "Edit", 0x82: STATIC, 0x83: "ListBox", 0x84: "ScrollBar", 0x85: "ComboBox"}


class Template:
    """A classic dialog template read from its resource bytes."""

    def __init__(self, data):
        self.data = data
        (self.style, self.ex_style, count, x, y, width, height) = unpack("<IIHhhhh", data, 0)
        if (self.style >> 16) == 0xFFFF:
            raise Invalid("an extended template, expected a classic one")
        self.position, self.size = (x, y), (width, height)
        at = 18
        self.menu, at = self._name(at)
        self.window_class, at = self._name(at)
        self.caption, at = self._text(at)
        self.font = None
        if self.style & 0x40:  # DS_SETFONT
            (points,) = unpack("<H", data, at)
            face, at = self._text(at + 2)
            self.font = (points, face)
        self.controls = []
        for _ in range(count):
            at = (at + 3) & ~3
            (style, ex_style, cx, cy, cw, ch, control_id) = unpack("<IIhhhhH", data, at)
            kind, at = self._name(at + 18)
            # A class by atom and by name is the same class to the system.
            if isinstance(kind, int):
                kind = CLASS_ATOMS.get(kind, "atom %#x" % kind)
            else:
                kind = next((known for known in CLASS_ATOMS.values() if known.lower() == kind.lower()), kind)
            text, at = self._name(at)
            (extra,) = unpack("<H", data, at)
            at += 2 + extra
            self.controls.append((kind, control_id, text, style, (cx, cy, cw, ch), ex_style))

    def _text(self, at):
        end = at
        while unpack("<H", self.data, end)[0] != 0:
            end += 2
        return self.data[at:end].decode("utf-16-le"), end + 2

    def _name(self, at):
        """A string, an ordinal (0xFFFF then the number) or nothing (0)."""
        (first,) = unpack("<H", self.data, at)
        if first == 0:
            return None, at + 2
        if first == 0xFFFF:
            return unpack("<H", self.data, at + 2)[0], at + 4
        return self._text(at)


def check_templates(resources):
    """Failure lines for the three dialog templates."""
    failures = []
    for name, (size, caption, controls) in EXPECTED.items():
        found = resources.get((RT_DIALOG, name))
        if not found:
            failures.append("dialog %s: missing" % name)
            continue
        try:
            template = Template(found[0])
        except Invalid as e:
            failures.append("dialog %s: %s" % (name, e))
            continue
        problems = []
        if template.style != DIALOG_STYLE or template.ex_style != 0:
            problems.append("style %#x, extended %#x; expected %#x, 0"
                            % (template.style, template.ex_style, DIALOG_STYLE))
        if template.position != (0, 0) or template.size != size:
            problems.append("at %r size %r; expected (0, 0) size %r" % (template.position, template.size, size))
        if template.caption != caption:
            problems.append("caption %r; expected %r" % (template.caption, caption))
        if template.font != FONT:
            problems.append("font %r; expected %r" % (template.font, FONT))
        if template.menu is not None or template.window_class is not None:
            problems.append("has a menu or a class of its own")
        if len(template.controls) != len(controls):
            problems.append("%d controls; expected %d" % (len(template.controls), len(controls)))
        for index, (seen, wanted) in enumerate(zip(template.controls, controls)):
            kind, control_id, text, style, rect, ex_style = seen
            w_kind, w_id, w_text, w_style, w_rect = wanted
            label = "control %d (id %d)" % (index, w_id if w_id != NO_ID else -1)
            if (kind, control_id) != (w_kind, w_id):
                problems.append("%s is %s %d" % (label, kind, control_id))
            if text != w_text:
                problems.append("%s reads %r; expected %r" % (label, text, w_text))
            if style != w_style or ex_style != 0:
                problems.append("%s style %#x (extended %#x); expected %#x" % (label, style, ex_style, w_style))
            if rect != w_rect:
                problems.append("%s at %r; expected %r" % (label, rect, w_rect))
        for text in [caption] + [c[2] for c in controls]:
            try:
                text.encode("cp932")
            except UnicodeEncodeError:
                problems.append("%r has characters Shift-JIS cannot hold" % text)
        failures += ["dialog %s: %s" % (name, p) for p in problems]
    return failures
