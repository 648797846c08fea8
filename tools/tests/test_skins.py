"""Every skin picture the program and the toolkit name exists, in the shape
its control cuts it into, with states that can be told apart."""

import colorsys
import math
import os
import sys
import unittest

import art_support as support

# Name as the program spells it, and the cells its control cuts it into.
# STACKED pictures are cut into rows instead of columns.
STACKED = "stacked"
SKINS = [
    ("Quillon.ico", 1), ("main_bkg.png", 1), ("pic_caption.png", 1), ("bk_prompt.png", 1),
    ("logo\\logo.png", 1), ("logo\\logo_loading.png", 1),
    ("loading.gif", 1), ("loading\\loading.gif", 1),
    ("btn_apply.png", 4), ("btn_checkbox.png", 8), ("btn_radiobox.png", 8),
    ("btn_direction_left.png", 8), ("btn_direction_right.png", 8),
    ("btn_direction_top.png", 8), ("btn_direction_bottom.png", 8),
    ("btn_colorful.png", 4), ("btn_openfile.png", 4),
    ("btn_record_time.png", 4), ("btn_record_up.png", 4), ("btn_record_down.png", 4),
    ("btn_record_del.png", 4),
    ("imgbtn_add.png", 4), ("imgbtn_del.png", 4), ("imgbtn_edit.png", 4),
    ("imgbtn_import.png", 4), ("imgbtn_export.png", 4),
    ("main_sysbtn_close.png", 4), ("main_sysbtn_min.png", 4), ("main_sysbtn_website.png", 4),
    ("img_combobox.png", 4), ("img_edit.png", 4), ("img_customkey.png", 4),
    ("img_device_state.png", 2), ("img_thumb.png", 4), ("img_slider_back.png", (2, STACKED)),
    ("img_circlepalette.png", 1), ("img_palette_thumb.png", 1),
    ("img_scroll_v.png", 4), ("img_scroll_h.png", (4, STACKED)),
    ("img_tip_bk.png", 1), ("img_tip_arrow_left.png", 1), ("img_tip_arrow_right.png", 1),
    ("img_tip_arrow_top.png", 1),
    ("icon//icon_circle.png", 2),
    ("icon\\tab_home.png", 3), ("icon\\tab_customkey.png", 3), ("icon\\tab_macro.png", 3),
    ("icon\\tab_light.png", 3), ("icon\\tab_config.png", 3),
    ("icon\\icon_keyboard.png", 1), ("icon\\icon_macro.png", 1),
    ("icon\\icon_lightmode.png", 1), ("icon\\icon_config.png", 1),
    ("icon\\mode_usb.png", 1),
    ("icon\\icon_battery_bkg.png", 1), ("icon\\icon_batteryvalue.png", 1),
    ("icon\\icon_charge.png", 1),
] + [("icon//%s.png" % n, 1) for n in (
    "icon_pc", "icon_cal", "icon_email", "icon_multimedia", "icon_playpause", "icon_stop",
    "icon_pre", "icon_next", "icon_vol_down", "icon_vol_up", "icon_vol_mute", "icon_home",
    "icon_web_refresh", "icon_web_stop", "icon_web_backward", "icon_web_foreward",
    "icon_favorites", "icon_web_search")]

# The toolkit's own scroll-bar strips (resources 102 and 101).
RESOURCES = [("scroll_v.png", 4), ("scroll_h.png", (4, STACKED))]

WHEEL_PICK_RADIUS = 65


def cells_of(cells):
    return cells if isinstance(cells, tuple) else (cells, None)


def cut(img, frames, stacked):
    w, h = img.size
    if stacked:
        ch = h // frames
        return [img.crop((0, i * ch, w, (i + 1) * ch)) for i in range(frames)]
    cw = w // frames
    return [img.crop((i * cw, 0, (i + 1) * cw, h)) for i in range(frames)]


def all_pictures():
    for name, cells in SKINS:
        yield name, support.skin_path(name), cells
    for name, cells in RESOURCES:
        yield name, os.path.join(support.SOURCE_DIR, "toolkit", "resources", name), cells


class SkinFiles(unittest.TestCase):
    def test_every_named_picture_exists_and_divides_into_its_cells(self):
        for name, path, cells in all_pictures():
            frames, stacked = cells_of(cells)
            with self.subTest(name=name):
                self.assertTrue(os.path.isfile(path), path)
                w, h = support.picture_size(path)
                length = h if stacked else w
                self.assertEqual(length % frames, 0, (w, h, frames))
                self.assertGreater(length // frames, 0)

    def test_scroll_fallbacks_match_the_toolkit_strips(self):
        for name in ("v", "h"):
            with open(support.skin_path("img_scroll_%s.png" % name), "rb") as a, \
                 open(os.path.join(support.SOURCE_DIR, "toolkit", "resources",
                                   "scroll_%s.png" % name), "rb") as b:
                self.assertEqual(a.read(), b.read())

    def test_icon_carries_tray_and_window_sizes(self):
        with open(support.skin_path("Quillon.ico"), "rb") as f:
            head = f.read(6 + 16 * 16)
        count = int.from_bytes(head[4:6], "little")
        sizes = {head[6 + 16 * i] or 256 for i in range(count)}
        self.assertTrue({16, 32, 48, 256} <= sizes, sizes)


class SkinLooks(unittest.TestCase):
    def setUp(self):
        self.Image = support.imaging()
        if self.Image is None:
            self.skipTest("Pillow is not installed")

    def test_states_of_every_strip_differ(self):
        for name, path, cells in all_pictures():
            frames, stacked = cells_of(cells)
            if frames < 2:
                continue
            pixels = [c.tobytes() for c in cut(self.Image.open(path).convert("RGBA"), frames,
                                                  stacked)]
            with self.subTest(name=name):
                self.assertEqual(len(set(pixels)), frames)

    def test_busy_pictures_animate(self):
        for name in ("loading.gif", "loading\\loading.gif"):
            img = self.Image.open(support.skin_path(name))
            self.assertGreater(getattr(img, "n_frames", 1), 4, name)

    def test_colour_wheel_shows_true_hues(self):
        # Whatever point inside the pickable circle the thumb lands on, the
        # colour read there is a fully bright hue whose angle and saturation
        # follow the wheel's geometry.
        img = self.Image.open(support.skin_path("img_circlepalette.png")).convert("RGBA")
        w, h = img.size
        c = w / 2.0
        for radius in (8, 30, 50, WHEEL_PICK_RADIUS - 1):
            hues = []
            for deg in range(0, 360, 30):
                x = int(c + radius * math.sin(math.radians(deg)))
                y = int(c - radius * math.cos(math.radians(deg)))
                r, g, b, a = img.getpixel((x, y))
                self.assertEqual(a, 255, (x, y))
                hue, sat, val = colorsys.rgb_to_hsv(r / 255.0, g / 255.0, b / 255.0)
                self.assertGreaterEqual(val, 0.99, (x, y))
                self.assertAlmostEqual(sat, radius / 66.0, delta=0.05)
                hues.append(hue * 360)
            if radius >= 30:
                steps = [((b - a) % 360) for a, b in zip(hues, hues[1:])]
                self.assertTrue(all(20 < s < 40 for s in steps), steps)

    def test_slider_halves_filled_above_empty_below(self):
        img = self.Image.open(support.skin_path("img_slider_back.png")).convert("RGBA")
        top, bottom = cut(img, 2, True)
        mid = (img.size[0] // 2, top.size[1] // 2)
        self.assertGreater(sum(top.getpixel(mid)[:3]), sum(bottom.getpixel(mid)[:3]) + 150)


if __name__ == "__main__":
    sys.exit(support.run(__name__))
