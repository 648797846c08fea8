"""Draws the Q400 keyboard picture and writes its layout file, both from the
key table q400_keys.tsv, so that every key rectangle matches its cap.

generate(root) writes below the repository root `root`:
  data/skins/theme1/keyboard/q400.png
  data/layouts/Q400.xml
and returns the keyboard picture's contact-sheet entry.
"""

import collections
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "skins"))

from make_skins import Entry  # noqa: E402
from theme import (ACCENT, BORDER, TEXT, TEXT_DIM, mix, new_surface,  # noqa: E402
                   rounded_rect, save_png, set_colour, text, text_left, vertical_gradient)

KEY_TABLE = os.path.join(HERE, "q400_keys.tsv")
EFFECT_TEXTS = os.path.join(HERE, "light_effects.tsv")
IMAGE_NAME = "q400.png"
IMAGE_PATH = os.path.join("data", "skins", "theme1", "keyboard", IMAGE_NAME)
LAYOUT_PATH = os.path.join("data", "layouts", "Q400.xml")

PITCH = 38            # pixels per key unit
MARGIN_X = 22         # case border left and right of the keys
MARGIN_TOP = 42       # room for the name plate and the lock lights
MARGIN_BOTTOM = 20
WIDTH_UNITS, HEIGHT_UNITS = 22.5, 6.5
PICTURE_W = int(MARGIN_X * 2 + WIDTH_UNITS * PITCH)
PICTURE_H = int(MARGIN_TOP + MARGIN_BOTTOM + HEIGHT_UNITS * PITCH)

# Where the keyboard views sit in the main window: centred over the pages'
# free area (x 330..1270) and above the light page's settings panel (y 440).
VIEW_X = 800 - PICTURE_W // 2
VIEW_Y = 74

MATRIX_ROWS, MATRIX_COLS = 6, 21

# The light effects of the Q400. name: UI text id (texts in
# light_effects.tsv); mode: the keyboard's effect number, sent as mode - 1;
# mode 4 is the one that carries an RGB colour. attribute: the feature bits
# that choose the light page's controls.
BRIGHTNESS, SPEED, LEFT_RIGHT = 0x1, 0x2, 0x4
COLOUR_EDITOR, SWATCH, PALETTE = 0x10, 0x20, 0x40
PER_KEY, MUSIC = 0x100, 0x200
Effect = collections.namedtuple("Effect", "name mode attribute")
EFFECTS = [
    Effect(1400, 1, BRIGHTNESS | SPEED | LEFT_RIGHT | PALETTE),   # wave
    Effect(1401, 2, BRIGHTNESS | SPEED),                          # spectrum cycle
    Effect(1402, 3, BRIGHTNESS | SPEED | PALETTE),                # breathing
    Effect(1403, 4, BRIGHTNESS | COLOUR_EDITOR | SWATCH),         # static colour
    Effect(1404, 5, BRIGHTNESS | SPEED | PALETTE),                # reactive
    Effect(1405, 6, BRIGHTNESS | SPEED | PALETTE),                # ripple
    Effect(1406, 7, BRIGHTNESS | PER_KEY),                        # per-key colours
    Effect(1407, 8, MUSIC),                                       # music
]
DEFAULT_MODE, DEFAULT_BRIGHTNESS, DEFAULT_SPEED = 1, 4, 3
BRIGHTNESS_MAX = SPEED_MAX = 4

Key = collections.namedtuple("Key", "row col code name desc x y w h legend index rect")


def load_keys(path=KEY_TABLE):
    keys = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            row, col, code, name, desc, x, y, w, h, legend = line.split("\t")
            x, y, w, h = float(x), float(y), float(w), float(h)
            keys.append(Key(int(row), int(col), int(code, 16), name, desc, x, y, w, h, legend,
                            len(keys), key_rect(x, y, w, h)))
    return keys


def key_rect(x, y, w, h):
    """The cap's rectangle (left, top, width, height) in picture pixels.
    Unit boundaries are floored once, so neighbours always keep a 2-pixel gap."""
    left = MARGIN_X + math.floor(x * PITCH)
    right = MARGIN_X + math.floor((x + w) * PITCH)
    top = MARGIN_TOP + math.floor(y * PITCH)
    bottom = MARGIN_TOP + math.floor((y + h) * PITCH)
    return (left + 1, top + 1, right - left - 2, bottom - top - 2)


def load_effect_texts(path=EFFECT_TEXTS):
    texts = {}
    with open(path, encoding="utf-8") as f:
        next(f)
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 4:
                texts[int(parts[0])] = parts[1:]
    return texts


def draw_case(ctx):
    w, h = PICTURE_W, PICTURE_H
    rounded_rect(ctx, 0.5, 0.5, w - 1, h - 1, 14)
    ctx.set_source(vertical_gradient(0, h, [(0, (30, 38, 48)), (0.5, (20, 26, 34)),
                                            (1, (14, 18, 24))]))
    ctx.fill_preserve()
    set_colour(ctx, mix(BORDER, (0, 0, 0), 0.2))
    ctx.set_line_width(1)
    ctx.stroke()
    rounded_rect(ctx, 2, 2, w - 4, h - 4, 12)
    set_colour(ctx, (255, 255, 255), 0.05)
    ctx.stroke()
    # The recessed plate the caps stand on.
    rounded_rect(ctx, MARGIN_X - 8, MARGIN_TOP - 8, w - 2 * MARGIN_X + 16,
                 h - MARGIN_TOP - MARGIN_BOTTOM + 16, 8)
    set_colour(ctx, (8, 11, 15))
    ctx.fill()
    text_left(ctx, "CORVANE", MARGIN_X, MARGIN_TOP / 2.0 - 4, 13, TEXT_DIM, bold=True)
    text_left(ctx, "Q400-RGB PT", MARGIN_X + 82, MARGIN_TOP / 2.0 - 4, 10, ACCENT)
    lights_x = MARGIN_X + 18.5 * PITCH
    for i, label in enumerate(("NUM", "CAPS", "SCRL")):
        cx = lights_x + (i + 0.5) * PITCH
        ctx.arc(cx, MARGIN_TOP / 2.0 - 9, 2.5, 0, 2 * math.pi)
        set_colour(ctx, ACCENT, 0.85)
        ctx.fill()
        text(ctx, label, cx, MARGIN_TOP / 2.0 + 2, 7, TEXT_DIM)


MODIFIERS = {0x29, 0x2A, 0x2B, 0x39, 0x28, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7,
             0xFF, 0x65, 0x58}


def draw_cap(ctx, key):
    x, y, w, h = key.rect
    dark = key.code in MODIFIERS
    body = ((34, 42, 52), (22, 28, 36)) if not dark else ((28, 34, 42), (17, 22, 28))
    top = ((46, 56, 68), (36, 44, 54)) if not dark else ((38, 46, 56), (29, 35, 43))
    # The outline is stroked inside the rectangle, so the gap between two caps
    # stays the plate's colour and the rectangle is exactly the painted cap.
    rounded_rect(ctx, x, y, w, h, 4)
    set_colour(ctx, (58, 70, 84))
    ctx.fill()
    rounded_rect(ctx, x + 1, y + 1, w - 2, h - 2, 3)
    ctx.set_source(vertical_gradient(y, y + h, [(0, body[0]), (1, body[1])]))
    ctx.fill()
    rounded_rect(ctx, x + 3.5, y + 2.5, w - 7, h - 7, 3)
    ctx.set_source(vertical_gradient(y, y + h, [(0, top[0]), (1, top[1])]))
    ctx.fill()
    draw_legend(ctx, key, x + w / 2.0, y + (h - 4) / 2.0 + 1)


def draw_legend(ctx, key, cx, cy):
    legend = key.legend
    colour = ACCENT if key.code in (0x29, 0xFF) else TEXT
    if "|" in legend:
        upper, lower = legend.split("|")
        text(ctx, upper, cx, cy - 7, 10, TEXT_DIM, bold=True)
        text(ctx, lower, cx, cy + 6, 12, colour, bold=True)
    elif legend:
        size = 13 if len(legend) == 1 else (10 if len(legend) <= 3 else 9)
        text(ctx, legend, cx, cy, size, colour, bold=True)


def draw_picture(keys):
    surface, ctx = new_surface(PICTURE_W, PICTURE_H)
    draw_case(ctx)
    for key in keys:
        draw_cap(ctx, key)
    return surface


def attr(value):
    """A double-quoted attribute value."""
    return '"%s"' % (value.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
                     .replace('"', "&quot;"))


def layout_xml(keys):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<!-- Corvane Q400-RGB PT. Generated by tools/keyboard/make_keyboard.py from",
             "     q400_keys.tsv; edit the table, not this file. -->",
             "<device.info>",
             '  <menu macro="1" light_mode="1"/>',
             '  <function sleep_time="10"/>',
             '  <firmware version="105" file="FirmwareUpdateTool.exe" url="https://update.corvane.example/q400/firmware/"/>',
             '  <light rgb_keyboard="1" default_mode="%d" default_brightness="%d" '
             'default_speed="%d" brightness_max="%d" speed_max="%d">'
             % (DEFAULT_MODE, DEFAULT_BRIGHTNESS, DEFAULT_SPEED, BRIGHTNESS_MAX, SPEED_MAX)]
    for e in EFFECTS:
        lines.append('    <info name="%d" mode="%d" attribute="%d"/>' % e)
    lines.append("  </light>")
    lines.append('  <Keyboard xpos="%d" ypos="%d" width="%d" height="%d" image="%s" '
                 'row_count="%d" col_count="%d">'
                 % (VIEW_X, VIEW_Y, PICTURE_W, PICTURE_H, IMAGE_NAME, MATRIX_ROWS,
                    MATRIX_COLS))
    lines.append("    <KeyItems>")
    for k in keys:
        lines.append('      <key code="0x%02X" name=%s desc=%s key_index="%d" light_index="%d" '
                     'icon="" row_col="%d,%d" rect="%d#%d#%d#%d"/>'
                     % (k.code, attr(k.name), attr(k.desc), k.index, k.index,
                        k.row, k.col, *k.rect))
    lines += ["    </KeyItems>", "  </Keyboard>", "</device.info>", ""]
    return "\n".join(lines)


def generate(root):
    keys = load_keys()
    save_png(draw_picture(keys), os.path.join(root, IMAGE_PATH))
    layout = os.path.join(root, LAYOUT_PATH)
    os.makedirs(os.path.dirname(layout), exist_ok=True)
    with open(layout, "w", encoding="utf-8", newline="\n") as f:
        f.write(layout_xml(keys))
    return [Entry(IMAGE_PATH, 1, False)]

