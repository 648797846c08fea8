"""Writes the whole skin set of theme1 and the toolkit's scroll-bar strips.

generate(root) writes below the repository root `root`:
  data/skins/theme1/**            every skin image the program and toolkit name
  toolkit/resources/scroll_v.png  resource 102, four cells side by side
  toolkit/resources/scroll_h.png  resource 101, four cells stacked
and returns one Entry per picture for the contact sheet.
"""

import collections
import os

from PIL import Image

import controls
import pictures
from theme import INNER, save_png, strip, to_pil

SKIN_DIR = os.path.join("data", "skins", "theme1")
RESOURCE_DIR = os.path.join("toolkit", "resources")

# path: relative to the repository root; frames: cells in the strip;
# stacked: cells run downwards instead of sideways.
Entry = collections.namedtuple("Entry", "path frames stacked")


class SkinWriter:
    def __init__(self, root):
        self.root = root
        self.entries = []

    def png(self, rel, cells, stacked=False, folder=SKIN_DIR):
        if not isinstance(cells, list):
            cells = [cells]
        path = os.path.join(folder, rel)
        save_png(strip(cells, stacked) if len(cells) > 1 else cells[0],
                 os.path.join(self.root, path))
        self.entries.append(Entry(path, len(cells), stacked))

    def image(self, rel, save, frames=1):
        """For pictures Pillow writes (GIF, ICO); `save` gets the full path."""
        path = os.path.join(SKIN_DIR, rel)
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        save(full)
        self.entries.append(Entry(path, frames, False))


STATES = range(4)
CHECK_CELLS = [(checked, state) for checked in (False, True) for state in STATES]


def write_buttons(w):
    w.png("btn_apply.png", [controls.push_button(120, 38, s) for s in STATES])
    w.png("btn_checkbox.png", [controls.check_box(c, s) for c, s in CHECK_CELLS])
    w.png("btn_radiobox.png", [controls.radio_box(c, s) for c, s in CHECK_CELLS])
    for name in ("left", "right", "top", "bottom"):
        glyph = {"left": "arrow_left", "right": "arrow_right", "top": "arrow_up",
                 "bottom": "arrow_down"}[name]
        w.png("btn_direction_%s.png" % name,
              [controls.direction_button(glyph, c, s) for c, s in CHECK_CELLS])
    w.png("btn_colorful.png", [controls.colourful_swatch(s) for s in STATES])
    framed = {"btn_openfile.png": "folder", "btn_record_time.png": "clock",
              "btn_record_up.png": "arrow_up", "btn_record_down.png": "arrow_down",
              "btn_record_del.png": "trash", "imgbtn_add.png": "plus",
              "imgbtn_del.png": "trash", "imgbtn_edit.png": "pencil",
              "imgbtn_import.png": "import", "imgbtn_export.png": "export"}
    for name, glyph in framed.items():
        w.png(name, [controls.image_button(glyph, s) for s in STATES])
    w.png("main_sysbtn_close.png",
          [controls.image_button("cross", s, framed=False, danger=True, glyph_size=16)
           for s in STATES])
    w.png("main_sysbtn_min.png",
          [controls.image_button("minimise", s, framed=False, glyph_size=16) for s in STATES])
    w.png("main_sysbtn_website.png",
          [controls.image_button("globe", s, framed=False) for s in STATES])


def write_fields(w):
    w.png("img_combobox.png", [controls.combo_box(s) for s in STATES])
    w.png("img_edit.png", [controls.edit_frame(s) for s in STATES])
    w.png("img_slider_back.png", controls.slider_track())
    w.png("img_thumb.png", [controls.slider_thumb(s) for s in STATES])
    w.png("img_customkey.png", [controls.key_cell(s) for s in STATES])
    w.png("img_device_state.png", [controls.device_row(False), controls.device_row(True)])
    w.png("img_circlepalette.png", pictures.colour_wheel())
    w.png("img_palette_thumb.png", pictures.palette_thumb())
    w.png("img_tip_bk.png", pictures.tip_background())
    for d in ("left", "right", "top"):
        w.png("img_tip_arrow_%s.png" % d, pictures.tip_arrow(d))


def scroll_cells(vertical):
    # Vertical: track, thumb hovered, thumb normal (also dragged), and a spare
    # dragged look. Horizontal rows: track, thumb normal, hovered, dragged.
    if vertical:
        return [controls.scroll_piece(k, 7, 40) for k in ("track", "hover", "thumb", "drag")]
    return [controls.scroll_piece(k, 40, 7) for k in ("track", "thumb", "hover", "drag")]


def write_scrollbars(w):
    for vertical, name in ((True, "v"), (False, "h")):
        cells = scroll_cells(vertical)
        w.png("scroll_%s.png" % name, cells, stacked=not vertical, folder=RESOURCE_DIR)
        w.png("img_scroll_%s.png" % name, cells, stacked=not vertical)


FUNCTION_ICONS = {
    "icon_pc": "monitor", "icon_cal": "calculator", "icon_email": "envelope",
    "icon_multimedia": "note", "icon_playpause": "play_pause", "icon_stop": "stop",
    "icon_pre": "previous", "icon_next": "next", "icon_vol_down": "volume_down",
    "icon_vol_up": "volume_up", "icon_vol_mute": "volume_mute", "icon_home": "house",
    "icon_web_refresh": "refresh", "icon_web_stop": "web_stop",
    "icon_web_backward": "back", "icon_web_foreward": "forward",
    "icon_favorites": "star", "icon_web_search": "magnifier",
}

TAB_ICONS = {"tab_home": "house", "tab_customkey": "keycap", "tab_macro": "macro",
             "tab_light": "bulb", "tab_config": "gear"}

PAGE_ICONS = {"icon_keyboard": "keyboard", "icon_macro": "macro", "icon_lightmode": "bulb",
              "icon_config": "gear"}

# mode_usb is the one the window names; the wireless ones are there for the
# receiver and Bluetooth connections.
MODE_ICONS = {"mode_usb": "usb", "mode_24g": "wireless", "mode_bt": "bluetooth"}


def write_icons(w):
    for name, glyph in FUNCTION_ICONS.items():
        w.png("icon/%s.png" % name, pictures.function_icon(glyph))
    w.png("icon/icon_circle.png", [controls.list_marker(False), controls.list_marker(True)])
    for name, glyph in TAB_ICONS.items():
        w.png("icon/%s.png" % name, [controls.tab_icon(glyph, f) for f in range(3)])
    for name, glyph in PAGE_ICONS.items():
        w.png("icon/%s.png" % name, pictures.page_icon(glyph))
    for name, glyph in MODE_ICONS.items():
        w.png("icon/%s.png" % name, pictures.mode_icon(glyph))
    w.png("icon/icon_battery_bkg.png", pictures.battery_body())
    w.png("icon/icon_batteryvalue.png", pictures.battery_level())
    w.png("icon/icon_charge.png", pictures.battery_charge())


def write_pictures(w):
    w.png("main_bkg.png", pictures.main_background())
    w.png("pic_caption.png", pictures.caption_bar())
    w.png("bk_prompt.png", pictures.prompt_background())
    w.png("logo/logo.png", pictures.logo())
    w.png("logo/logo_loading.png", pictures.logo_loading())


def save_gif(path, size, background, steps=12):
    frames = [to_pil(pictures.spinner_frame(size, i, steps, background)).convert("RGB")
              for i in range(steps)]
    # One shared palette, built from the first frame, keeps the frames stable
    # and the file small; no dithering keeps the output reproducible.
    palette = frames[0].quantize(colors=64, method=Image.Quantize.MEDIANCUT,
                                 dither=Image.Dither.NONE)
    quantised = [f.quantize(palette=palette, dither=Image.Dither.NONE) for f in frames]
    quantised[0].save(path, save_all=True, append_images=quantised[1:], duration=80, loop=0,
                      optimize=False, disposal=1)


def save_icon(path):
    sizes = [16, 24, 32, 48, 64, 128, 256]
    to_pil(pictures.app_icon(256)).save(path, format="ICO", sizes=[(s, s) for s in sizes])


def write_animations(w):
    w.image("loading.gif", lambda p: save_gif(p, 100, (51, 51, 51)), frames=1)
    w.image("loading/loading.gif", lambda p: save_gif(p, 64, INNER), frames=1)
    w.image("Quillon.ico", save_icon)


def generate(root):
    w = SkinWriter(root)
    write_buttons(w)
    write_fields(w)
    write_scrollbars(w)
    write_icons(w)
    write_pictures(w)
    write_animations(w)
    return w.entries
