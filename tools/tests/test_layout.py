"""The shipped Q400 layout against its keyboard picture and the protocol's
limits, read the way the program reads the file."""

import os
import sys
import unittest
import xml.etree.ElementTree as ET

import art_support as support

# Buffers of the keyboard protocol that key_index and light_index address:
# the family A key table has 110 two-byte entries; of the custom colour buffer
# only the first 440 bytes (4 per key) are sent and of the live colour buffer
# the first 330 bytes (3 per key), so light indexes must stay below 110 too.
KEY_TABLE_ENTRIES = 110
LIGHT_ENTRIES = min(440 // 4, 330 // 3)
MATRIX_ROWS, MATRIX_COLS = 8, 32
FN_CODE = 0xFF  # the key the program refuses to reassign
MEDIA_CODES = range(232, 250)
# Feature bits the light page knows.
KNOWN_BITS = 0x1FFF


def hid_usage_ids():
    """Usage ids the HID keyboard page defines (reserved ranges left out)."""
    ids = set(range(0x04, 0xA5)) | set(range(0xB0, 0xDE)) | set(range(0xE0, 0xE8))
    return ids


def hex_value(text):
    """Reads hexadecimal text like wcstol with base 16: an optional 0x prefix."""
    t = text.strip().lower()
    if t.startswith("0x"):
        t = t[2:]
    digits = ""
    for ch in t:
        if ch not in "0123456789abcdef":
            break
        digits += ch
    return int(digits, 16) if digits else 0


def matrix_place(row_col):
    """Row = first character; column = last character of a three-character
    text, else the last two characters."""
    row = int(row_col[0])
    col = int(row_col[-1]) if len(row_col) == 3 else int(row_col[-2:])
    return row, col


def load_layout():
    root = ET.parse(support.LAYOUT).getroot()
    keyboard = root.find("Keyboard")
    keys = []
    for k in keyboard.find("KeyItems").findall("key"):
        x, y, w, h = (int(v) for v in k.get("rect").split("#"))
        keys.append({"code": hex_value(k.get("code")), "name": k.get("name"),
                     "desc": k.get("desc"), "key_index": int(k.get("key_index")),
                     "light_index": int(k.get("light_index")),
                     "place": matrix_place(k.get("row_col")), "rect": (x, y, x + w, y + h)})
    return root, keyboard, keys


class LayoutFile(unittest.TestCase):
    def setUp(self):
        self.root, self.keyboard, self.keys = load_layout()

    def test_elements_in_the_order_the_reader_finds_them(self):
        self.assertEqual(self.root.tag, "device.info")
        order = [child.tag for child in self.root]
        self.assertEqual(order, ["menu", "function", "firmware", "light", "Keyboard"])

    def test_full_size_board_with_fn(self):
        self.assertEqual(len(self.keys), 105)
        fn = [k for k in self.keys if k["name"] == "Fn"]
        self.assertEqual(len(fn), 1)
        self.assertEqual(fn[0]["code"], FN_CODE)
        self.assertNotIn(FN_CODE, hid_usage_ids())
        self.assertNotIn(FN_CODE, MEDIA_CODES)

    def test_codes_unique_and_known(self):
        codes = [k["code"] for k in self.keys]
        self.assertEqual(len(set(codes)), len(codes))
        # The key matrix keeps only the low byte of a code.
        self.assertEqual(len({c & 0xFF for c in codes}), len(codes))
        for k in self.keys:
            if k["code"] != FN_CODE:
                self.assertIn(k["code"], hid_usage_ids() | set(MEDIA_CODES), k["name"])
            self.assertTrue(k["name"] and k["desc"], k)

    def test_matrix_places_unique_and_inside(self):
        rows = int(self.keyboard.get("row_count"))
        cols = int(self.keyboard.get("col_count"))
        self.assertTrue(0 < rows <= MATRIX_ROWS and 0 < cols <= MATRIX_COLS)
        places = [k["place"] for k in self.keys]
        self.assertEqual(len(set(places)), len(places))
        for r, c in places:
            self.assertTrue(0 <= r < rows and 0 <= c < cols, (r, c))

    def test_indexes_inside_the_protocol_buffers(self):
        for field, limit in (("key_index", KEY_TABLE_ENTRIES), ("light_index", LIGHT_ENTRIES)):
            values = [k[field] for k in self.keys]
            self.assertEqual(len(set(values)), len(values), field)
            self.assertTrue(all(0 <= v < limit for v in values), field)


class LayoutAgainstPicture(unittest.TestCase):
    def setUp(self):
        self.root, self.keyboard, self.keys = load_layout()
        self.image = os.path.join(support.SKIN_DIR, "keyboard", self.keyboard.get("image"))

    def test_picture_size_matches_the_view(self):
        w, h = support.picture_size(self.image)
        self.assertEqual((int(self.keyboard.get("width")), int(self.keyboard.get("height"))),
                         (w, h))
        # The view sits in the pages' free area, above the light page's settings.
        x, y = int(self.keyboard.get("xpos")), int(self.keyboard.get("ypos"))
        self.assertTrue(330 <= x and x + w <= 1270 and 50 <= y and y + h <= 440, (x, y, w, h))

    def test_keys_inside_picture_and_apart(self):
        w, h = support.picture_size(self.image)
        for k in self.keys:
            left, top, right, bottom = k["rect"]
            self.assertTrue(0 <= left < right <= w and 0 <= top < bottom <= h, k)
        for i, a in enumerate(self.keys):
            for b in self.keys[i + 1:]:
                ra, rb = a["rect"], b["rect"]
                overlap = (min(ra[2], rb[2]) > max(ra[0], rb[0])
                           and min(ra[3], rb[3]) > max(ra[1], rb[1]))
                self.assertFalse(overlap, (a["name"], b["name"]))

    def test_every_rect_frames_a_painted_cap(self):
        Image = support.imaging()
        if Image is None:
            self.skipTest("Pillow is not installed")
        img = Image.open(self.image).convert("RGB")

        def light(p):
            return sum(img.getpixel(p))

        for k in self.keys:
            left, top, right, bottom = k["rect"]
            cx, cy = (left + right) // 2, (top + bottom) // 2
            # The cap's rim lies just inside the rectangle, the dark plate just
            # outside it, on all four sides.
            for inside, outside in (((left, cy), (left - 1, cy)),
                                    ((right - 1, cy), (right, cy)),
                                    ((cx, top), (cx, top - 1)),
                                    ((cx, bottom - 1), (cx, bottom))):
                self.assertGreater(light(inside), light(outside) + 60, (k["name"], inside))


class LightEffects(unittest.TestCase):
    def setUp(self):
        root = ET.parse(support.LAYOUT).getroot()
        self.light = root.find("light")
        self.effects = [(int(i.get("name")), int(i.get("mode")), int(i.get("attribute")))
                        for i in self.light.findall("info")]
        self.texts = {}
        path = os.path.join(support.TOOLS_DIR, "keyboard", "light_effects.tsv")
        with open(path, encoding="utf-8") as f:
            self.assertEqual(next(f).rstrip("\n").split("\t"),
                             ["id", "English", "Chinese", "Portuguese"])
            for line in f:
                parts = line.rstrip("\n").split("\t")
                self.texts[int(parts[0])] = parts[1:]

    def test_every_effect_named_in_three_languages(self):
        for name, _, _ in self.effects:
            self.assertTrue(1400 <= name <= 1449, name)
            self.assertIn(name, self.texts)
            self.assertEqual(len(self.texts[name]), 3)
            self.assertTrue(all(t.strip() for t in self.texts[name]), name)
        self.assertEqual(len({n for n, _, _ in self.effects}), len(self.effects))

    def test_modes_and_defaults(self):
        modes = [m for _, m, _ in self.effects]
        self.assertEqual(len(set(modes)), len(modes))
        self.assertIn(int(self.light.get("default_mode")), modes)
        self.assertTrue(1 <= int(self.light.get("default_brightness"))
                        <= int(self.light.get("brightness_max")))
        self.assertTrue(1 <= int(self.light.get("default_speed")) <= int(self.light.get("speed_max")))

    def test_feature_bits_offer_the_controls_each_effect_needs(self):
        by_mode = {m: a for _, m, a in self.effects}
        for _, _, bits in self.effects:
            self.assertEqual(bits & ~KNOWN_BITS, 0)
        # Mode 4 is the effect whose report carries an RGB colour: it needs
        # the colour editor.
        self.assertTrue(by_mode[4] & 0x10)
        per_key = [a for a in by_mode.values() if a & 0x100]
        music = [a for a in by_mode.values() if a & 0x200]
        self.assertEqual(len(per_key), 1)
        self.assertEqual(len(music), 1)
        self.assertTrue(per_key[0] & 0x1, "per-key colours keep the brightness slider")
        self.assertTrue(any(a & 0x4 for a in by_mode.values()), "an effect with a direction")
        self.assertTrue(any(a & 0x40 for a in by_mode.values()), "an effect with a palette")
        # Effects with a speed or palette that the keyboard animates also
        # carry brightness: every effect but music shows the brightness slider.
        for a in by_mode.values():
            if not a & 0x200:
                self.assertTrue(a & 0x1)


if __name__ == "__main__":
    sys.exit(support.run(__name__))
