"""A rough mock-up of the light page put together from the generated pictures,
for judging whether the set reads as one product. It follows the toolkit's
drawing rules loosely (nine-grids, strips, cells); it is a review aid only.
"""

import colorsys
import math
import os
import xml.etree.ElementTree as ET

import cairo

from contact_sheet import load
from theme import BORDER, SELECTION, TEXT, TEXT_DIM, new_surface, set_colour, text, text_left

W, H = 1280, 720


class Mock:
    def __init__(self, root):
        self.skins = os.path.join(root, "data", "skins", "theme1")
        self.surface, self.ctx = new_surface(W, H)
        self.cache = {}

    def img(self, name):
        if name not in self.cache:
            self.cache[name] = load(os.path.join(self.skins, name))
        return self.cache[name]

    def cell(self, name, frames, index, stacked=False):
        s = self.img(name)
        w, h = s.get_width(), s.get_height()
        if stacked:
            return s, 0, index * h // frames, w, h // frames
        return s, index * w // frames, 0, w // frames, h

    def blit(self, src, sx, sy, sw, sh, dx, dy, dw=None, dh=None):
        dw, dh = dw or sw, dh or sh
        ctx = self.ctx
        ctx.save()
        ctx.rectangle(dx, dy, dw, dh)
        ctx.clip()
        ctx.translate(dx, dy)
        ctx.scale(dw / float(sw), dh / float(sh))
        ctx.set_source_surface(src, -sx, -sy)
        ctx.get_source().set_filter(cairo.FILTER_BILINEAR)
        ctx.paint()
        ctx.restore()

    def nine(self, name, frames, index, x, y, w, h, m):
        """Nine-grid with margins m = (left, top, right, bottom)."""
        s, sx, sy, sw, sh = self.cell(name, frames, index)
        l, t, r, b = m
        xs = [(sx, l, x, l), (sx + l, sw - l - r, x + l, w - l - r), (sx + sw - r, r, x + w - r, r)]
        ys = [(sy, t, y, t), (sy + t, sh - t - b, y + t, h - t - b), (sy + sh - b, b, y + h - b, b)]
        for csx, csw, cdx, cdw in xs:
            for csy, csh, cdy, cdh in ys:
                if csw > 0 and csh > 0 and cdw > 0 and cdh > 0:
                    self.blit(s, csx, csy, csw, csh, cdx, cdy, cdw, cdh)

    def put(self, name, frames, index, x, y, stacked=False):
        s, sx, sy, sw, sh = self.cell(name, frames, index, stacked)
        self.blit(s, sx, sy, sw, sh, x, y)
        return sw, sh

    def area(self, x, y, w, h, colour, alpha):
        set_colour(self.ctx, colour, alpha)
        self.ctx.rectangle(x, y, w, h)
        self.ctx.fill()


def frame_and_caption(m):
    m.put("main_bkg.png", 1, 0, 0, 0)
    m.put("pic_caption.png", 1, 0, 1, 1)
    m.put("logo/logo.png", 1, 0, 14, 8)
    text(m.ctx, "Corvane Q400-RGB PT GAMING KEYBOARD", W / 2, 30, 17, TEXT, bold=True)
    text_left(m.ctx, "Lighting", 300, 30, 14, TEXT_DIM)
    m.put("icon/icon_lightmode.png", 1, 0, 266, 16)
    m.put("icon/mode_usb.png", 1, 0, 1010, 23)
    m.put("icon/icon_battery_bkg.png", 1, 0, 1044, 24)
    s, sx, sy, sw, sh = m.cell("icon/icon_batteryvalue.png", 1, 0)
    m.blit(s, sx, sy, sw * 80 // 100, sh, 1044, 24)
    text(m.ctx, "80%", 1044 + 22, 35, 11, TEXT, bold=True)
    for i, (name, state) in enumerate((("main_sysbtn_close.png", 1), ("main_sysbtn_min.png", 0),
                                       ("main_sysbtn_website.png", 0))):
        m.put(name, 4, state, W - 50 - 50 * i, 20)
    m.area(0, 0, 1, H, BORDER, 0.5)
    m.area(W - 1, 0, 1, H, BORDER, 0.5)
    m.area(0, H - 1, W, 1, BORDER, 0.5)


def tab_bar(m):
    m.area(1, 50, 75, H - 51, BORDER, 0.3)
    for i, name in enumerate(("tab_home", "tab_customkey", "tab_macro", "tab_light")):
        m.put("icon/%s.png" % name, 3, 1 if name == "tab_light" else 0, 8, 70 + 80 * i)
    m.put("icon/tab_config.png", 3, 0, 8, H - 10 - 106 + 10)


def effect_list(m):
    m.area(80, 50, 240, H - 51, SELECTION, 0.18)
    names = ["Wave", "Spectrum Cycle", "Breathing", "Static Color", "Reactive", "Ripple",
             "Custom", "Music"]
    for i, n in enumerate(names):
        y = 60 + 32 * i
        if i == 0:
            m.area(81, y, 238, 32, SELECTION, 1.0)
        if i == 2:
            m.area(81, y, 238, 32, SELECTION, 0.5)
        m.put("icon/icon_circle.png", 2, 1 if i == 0 else 0, 80 + 17, y + 8)
        text_left(m.ctx, n, 130, y + 16, 14, TEXT)


def keyboard_view(m, root):
    layout = ET.parse(os.path.join(root, "data", "layouts", "Q400.xml")).getroot()
    kb = layout.find("Keyboard")
    x0, y0 = int(kb.get("xpos")), int(kb.get("ypos"))
    m.put("keyboard/" + kb.get("image"), 1, 0, x0, y0)
    ctx = m.ctx
    # The per-key colour view: every key outlined in its own colour.
    for i, k in enumerate(kb.find("KeyItems").findall("key")):
        x, y, w, h = (int(v) for v in k.get("rect").split("#"))
        r, g, b = colorsys.hsv_to_rgb((i * 7 % 360) / 360.0, 1, 1)
        ctx.set_source_rgba(r, g, b, 0.95)
        ctx.set_line_width(2)
        rad = min(w, h) / 8.0
        ctx.new_sub_path()
        ctx.arc(x0 + x + w - rad, y0 + y + rad, rad, -math.pi / 2, 0)
        ctx.arc(x0 + x + w - rad, y0 + y + h - rad, rad, 0, math.pi / 2)
        ctx.arc(x0 + x + rad, y0 + y + h - rad, rad, math.pi / 2, math.pi)
        ctx.arc(x0 + x + rad, y0 + y + rad, rad, math.pi, 3 * math.pi / 2)
        ctx.close_path()
        ctx.stroke()


def slider(m, x, y, w, value, vmax, label, hovered=False):
    track = m.img("img_slider_back.png")
    half = track.get_height() // 2
    thumb_w = m.img("img_thumb.png").get_width() // 4
    span = w - thumb_w
    offset = span * (value - 1) // max(1, vmax - 1)
    m.blit(track, 0, half, track.get_width(), half, x + 12, y + 15, w - 20, half)
    m.blit(track, 0, 0, offset + 10, half, x + 10, y + 15)
    m.put("img_thumb.png", 4, 1 if hovered else 0, x + offset, y)
    text(m.ctx, "%s%d" % (label, value), x + w / 2, y + 40, 12, (5, 5, 5))


def settings_panel(m):
    m.area(330, H - 280, 940, 279, SELECTION, 0.18)
    ctx = m.ctx
    text_left(ctx, "Brightness", 350, H - 240, 14, TEXT)
    slider(m, 345, H - 225, 243, 4, 4, "")
    text_left(ctx, "Speed", 350, H - 160, 14, TEXT)
    slider(m, 345, H - 145, 243, 2, 4, "", hovered=True)
    text_left(ctx, "Direction", 350, H - 70, 14, TEXT)
    m.put("btn_direction_left.png", 8, 4, 365, H - 55)
    m.put("btn_direction_right.png", 8, 1, 400, H - 55)
    text_left(ctx, "Color", 640, H - 240, 14, TEXT)
    m.put("btn_colorful.png", 4, 0, 640, H - 220)
    colours = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (255, 0, 255),
               (0, 255, 255), (255, 255, 255)]
    for i, c in enumerate(colours):
        m.area(672 + 32 * i, H - 218, 20, 20, c, 1.0)
    m.put("btn_checkbox.png", 8, 4, 640, H - 175)
    text_left(ctx, "Colorful", 668, H - 165, 14, TEXT)
    m.nine("img_combobox.png", 4, 0, 640, H - 135, 200, 38, (10, 10, 36, 10))
    text_left(ctx, "Custom 1", 652, H - 116, 14, TEXT)
    m.nine("btn_apply.png", 4, 1, 860, H - 135, 120, 38, (10, 10, 10, 10))
    text(ctx, "Apply", 920, H - 116, 14, TEXT)
    m.nine("btn_apply.png", 4, 3, 990, H - 135, 120, 38, (10, 10, 10, 10))
    text(ctx, "Disabled", 1050, H - 116, 14, (128, 128, 128))
    m.put("img_circlepalette.png", 1, 0, 1110, H - 270)
    for i, (label, v) in enumerate((("R", 255), ("G", 225), ("B", 0))):
        y = H - 78 + 22 * i
        text_left(ctx, label, 640, y + 8, 12, TEXT)
        m.nine("img_edit.png", 4, 2 if i == 1 else 0, 1180, y - 4, 60, 22, (4, 4, 4, 4))
        text(ctx, str(v), 1210, y + 7, 12, TEXT)
    # A key tip over the keyboard, as the key page shows it.
    m.nine("img_tip_bk.png", 1, 0, 700, 30, 190, 100, (6, 6, 6, 6))
    text(ctx, "Left Shift", 795, 48, 13, (200, 200, 200))
    text(ctx, "Macro", 795, 75, 13, TEXT)
    text(ctx, "Copy selection", 795, 103, 16, TEXT)


def write(root, path):
    m = Mock(root)
    frame_and_caption(m)
    tab_bar(m)
    effect_list(m)
    keyboard_view(m, root)
    settings_panel(m)
    m.surface.write_to_png(path)
