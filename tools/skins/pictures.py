"""Single pictures of the skin set: backgrounds, logos, the bubble and its
arrows, the battery, the colour wheel, the busy animation and the icon."""

import colorsys
import math

import cairo

import icons
from theme import (ACCENT, ACCENT_SOFT, BORDER, GLYPH, INNER, OK_GREEN, PANEL, RAISED,
                   RAISED_HI, SUNKEN, TEXT, TIP, fill_rounded, mix, new_surface, rgba,
                   rounded_rect, set_colour, text_left, vertical_gradient)


def main_background(w=1280, h=720):
    s, ctx = new_surface(w, h)
    ctx.set_source(vertical_gradient(0, h, [(0, mix(INNER, PANEL, 0.5)), (1, INNER)]))
    ctx.paint()
    # Two soft glows of the border colour lift the keyboard area and the lists.
    for cx, cy, r, a in ((820, 230, 620, 0.30), (160, 640, 420, 0.12)):
        g = cairo.RadialGradient(cx, cy, 0, cx, cy, r)
        g.add_color_stop_rgba(0, *rgba(BORDER, a))
        g.add_color_stop_rgba(1, *rgba(BORDER, 0))
        ctx.set_source(g)
        ctx.paint()
    return s


def caption_bar(w=1278, h=49):
    s, ctx = new_surface(w, h)
    ctx.set_source(vertical_gradient(0, h, [(0, RAISED), (1, PANEL)]))
    ctx.paint()
    set_colour(ctx, (255, 255, 255), 0.05)
    ctx.rectangle(0, 0, w, 1)
    ctx.fill()
    set_colour(ctx, BORDER)
    ctx.rectangle(0, h - 1, w, 1)
    ctx.fill()
    g = cairo.LinearGradient(w / 2.0 - 260, 0, w / 2.0 + 260, 0)
    g.add_color_stop_rgba(0, *rgba(ACCENT, 0))
    g.add_color_stop_rgba(0.5, *rgba(ACCENT, 0.9))
    g.add_color_stop_rgba(1, *rgba(ACCENT, 0))
    ctx.set_source(g)
    ctx.rectangle(w / 2.0 - 260, h - 2, 520, 2)
    ctx.fill()
    return s


def quill_mark(ctx, cx, cy, size, ring=ACCENT, tail=(255, 255, 255)):
    """The product mark: a ring crossed by a quill-like tail (a stylised Q)."""
    r = size * 0.34
    ctx.set_line_width(size * 0.11)
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    set_colour(ctx, ring)
    ctx.stroke()
    ctx.move_to(cx + size * 0.02, cy + size * 0.04)
    ctx.curve_to(cx + size * 0.22, cy + size * 0.16, cx + size * 0.34, cy + size * 0.30,
                 cx + size * 0.46, cy + size * 0.46)
    ctx.curve_to(cx + size * 0.26, cy + size * 0.36, cx + size * 0.12, cy + size * 0.22,
                 cx + size * 0.02, cy + size * 0.04)
    ctx.close_path()
    set_colour(ctx, tail)
    ctx.fill()


def logo(w=170, h=36):
    s, ctx = new_surface(w, h)
    quill_mark(ctx, h / 2.0, h / 2.0, h * 0.86)
    text_left(ctx, "CORVANE", h + 6, h / 2.0, 17, TEXT, bold=True)
    return s


def logo_loading(w=220, h=64):
    s, ctx = new_surface(w, h)
    quill_mark(ctx, 30, h / 2.0, 50)
    text_left(ctx, "CORVANE", 66, h / 2.0 - 9, 22, TEXT, bold=True)
    text_left(ctx, "Q400-RGB PT", 67, h / 2.0 + 15, 13, ACCENT)
    return s


def prompt_background(w=380, h=200):
    """The message box: drawn 1:1 at its fixed size (nine-grid corner 30)."""
    s, ctx = new_surface(w, h)
    fill_rounded(ctx, 0, 0, w, h, 6, vertical_gradient(0, h, [(0, PANEL), (1, INNER)]), BORDER)
    ctx.save()
    rounded_rect(ctx, 1, 1, w - 2, 52, 5)
    ctx.clip()
    ctx.set_source(vertical_gradient(0, 52, [(0, RAISED_HI), (1, RAISED)]))
    ctx.paint()
    ctx.restore()
    set_colour(ctx, BORDER)
    ctx.rectangle(1, 52, w - 2, 1)
    ctx.fill()
    g = cairo.LinearGradient(w / 2.0 - 90, 0, w / 2.0 + 90, 0)
    g.add_color_stop_rgba(0, *rgba(ACCENT, 0))
    g.add_color_stop_rgba(0.5, *rgba(ACCENT, 1))
    g.add_color_stop_rgba(1, *rgba(ACCENT, 0))
    ctx.set_source(g)
    ctx.rectangle(w / 2.0 - 90, 51, 180, 2)
    ctx.fill()
    return s


def tip_background(size=24):
    s, ctx = new_surface(size, size)
    fill_rounded(ctx, 0, 0, size, size, 4, TIP, mix(TIP, (255, 255, 255), 0.35))
    return s


def tip_arrow(direction):
    """Arrows of the bubble, in the bubble's own colour."""
    w, h = (16, 8) if direction == "top" else (8, 16)
    s, ctx = new_surface(w, h)
    pts = {"left": [(8, 0), (0, 8), (8, 16)], "right": [(0, 0), (8, 8), (0, 16)],
           "top": [(0, 8), (8, 0), (16, 8)]}[direction]
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    ctx.close_path()
    set_colour(ctx, TIP)
    ctx.fill()
    return s


BATTERY_W, BATTERY_H = 44, 22


def battery_body():
    s, ctx = new_surface(BATTERY_W, BATTERY_H)
    fill_rounded(ctx, 0, 0, BATTERY_W - 4, BATTERY_H, 4, SUNKEN, GLYPH, 1.5)
    fill_rounded(ctx, BATTERY_W - 4, 7, 4, BATTERY_H - 14, 1.5, GLYPH)
    return s


def battery_level():
    """Cut from the left by the level; white percentage text sits on it."""
    s, ctx = new_surface(BATTERY_W, BATTERY_H)
    g = vertical_gradient(3, BATTERY_H - 3, [(0, mix(OK_GREEN, (0, 0, 0), 0.15)),
                                             (1, mix(OK_GREEN, (0, 0, 0), 0.35))])
    fill_rounded(ctx, 3, 3, BATTERY_W - 10, BATTERY_H - 6, 2, g)
    return s


def battery_charge():
    s, ctx = new_surface(14, BATTERY_H)
    icons.draw_glyph(ctx, "bolt", -4, 0, BATTERY_H, (120, 230, 150))
    return s


WHEEL_SIZE = 140
WHEEL_RADIUS = 66  # the wheel accepts picks up to 65 pixels from its centre


def colour_wheel():
    """Hue by angle (red at the top, clockwise), saturation by radius, full
    value. Each pixel is computed, not drawn, so the colour under the thumb is
    exactly the colour the wheel shows there."""
    s, ctx = new_surface(WHEEL_SIZE, WHEEL_SIZE)
    stride = s.get_stride()
    data = s.get_data()
    c = WHEEL_SIZE / 2.0
    for y in range(WHEEL_SIZE):
        for x in range(WHEEL_SIZE):
            dx, dy = x + 0.5 - c, y + 0.5 - c
            d = math.hypot(dx, dy)
            cover = max(0.0, min(1.0, WHEEL_RADIUS + 0.5 - d))
            if cover <= 0:
                continue
            hue = (math.degrees(math.atan2(dx, -dy)) % 360.0) / 360.0
            r, g, b = colorsys.hsv_to_rgb(hue, min(1.0, d / WHEEL_RADIUS), 1.0)
            a = int(round(cover * 255))
            off = y * stride + x * 4
            # Premultiplied BGRA, as cairo stores ARGB32 on little-endian hosts.
            data[off:off + 4] = bytes((int(round(b * 255)) * a // 255,
                                       int(round(g * 255)) * a // 255,
                                       int(round(r * 255)) * a // 255, a))
    s.mark_dirty()
    ctx.arc(c, c, WHEEL_RADIUS + 1.5, 0, 2 * math.pi)
    set_colour(ctx, BORDER)
    ctx.set_line_width(2)
    ctx.stroke()
    return s


def palette_thumb(size=14):
    s, ctx = new_surface(size, size)
    c = size / 2.0
    ctx.arc(c, c, c - 2, 0, 2 * math.pi)
    set_colour(ctx, (0, 0, 0), 0.6)
    ctx.set_line_width(3)
    ctx.stroke_preserve()
    set_colour(ctx, (255, 255, 255))
    ctx.set_line_width(1.5)
    ctx.stroke()
    return s


def spinner_frame(size, step, steps, background):
    """One frame of the busy animation: twelve bars, the lit one turning."""
    s, ctx = new_surface(size, size)
    set_colour(ctx, background)
    ctx.paint()
    c = size / 2.0
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(size * 0.07)
    for i in range(steps):
        age = (step - i) % steps
        t = max(0.0, 1.0 - age / (steps * 0.75))
        colour = mix(mix(background, BORDER, 0.8), ACCENT, t)
        a = 2 * math.pi * i / steps - math.pi / 2
        ctx.move_to(c + math.cos(a) * size * 0.22, c + math.sin(a) * size * 0.22)
        ctx.line_to(c + math.cos(a) * size * 0.36, c + math.sin(a) * size * 0.36)
        set_colour(ctx, colour)
        ctx.stroke()
    return s


def app_icon(size=256):
    s, ctx = new_surface(size, size)
    g = cairo.LinearGradient(0, 0, size, size)
    g.add_color_stop_rgba(0, *rgba(mix(BORDER, ACCENT, 0.2)))
    g.add_color_stop_rgba(1, *rgba(INNER))
    rounded_rect(ctx, size * 0.04, size * 0.04, size * 0.92, size * 0.92, size * 0.2)
    ctx.set_source(g)
    ctx.fill_preserve()
    set_colour(ctx, ACCENT_SOFT)
    ctx.set_line_width(size * 0.025)
    ctx.stroke()
    quill_mark(ctx, size * 0.46, size * 0.46, size * 0.72)
    return s


def page_icon(glyph, size=28):
    s, ctx = new_surface(size, size)
    icons.draw_glyph(ctx, glyph, 0, 0, size, ACCENT, 1.9)
    return s


def function_icon(glyph, size=20):
    s, ctx = new_surface(size, size)
    icons.draw_glyph(ctx, glyph, 0, 0, size, TEXT, 1.8)
    return s


def mode_icon(glyph, size=24):
    s, ctx = new_surface(size, size)
    icons.draw_glyph(ctx, glyph, 0, 0, size, GLYPH, 1.8)
    return s

