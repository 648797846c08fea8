"""Colours and drawing helpers shared by the skin and keyboard generators.

Everything here draws with pycairo into ARGB32 image surfaces. Text uses the
DejaVu fonts with hinting switched off, so the output depends only on the
cairo and font versions of the machine, not on its fontconfig settings.
"""

import math
import os

import cairo

# The toolkit's default window colours and its selection colour; every
# other colour of the theme is derived from these three.
INNER = (9, 13, 19)
BORDER = (40, 80, 85)
SELECTION = (40, 80, 85)

# Surfaces, from the window body upwards.
PANEL = (14, 20, 28)
RAISED = (22, 32, 42)
RAISED_HI = (30, 44, 56)
SUNKEN = (7, 10, 15)

# The accent: a brighter relative of the border colour.
ACCENT = (72, 196, 206)
ACCENT_SOFT = (52, 140, 150)
ACCENT_DEEP = (30, 62, 68)

# The bubble and key tip share one background that must carry both the
# bubble's near-black text and the key tip's white text; this teal keeps a
# contrast of about 4:1 against either.
TIP = (46, 140, 150)

TEXT = (232, 238, 240)
TEXT_DIM = (150, 165, 172)
GLYPH = (196, 210, 216)
DISABLED_FILL = (24, 27, 32)
DISABLED_LINE = (58, 63, 70)
DISABLED_GLYPH = (78, 84, 92)
DANGER = (196, 58, 66)
OK_GREEN = (52, 178, 112)
EDIT_FILL = (6, 24, 53)  # the native edit's own background colour

FONT = "DejaVu Sans"


def rgba(c, a=1.0):
    return (c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, a)


def mix(a, b, t):
    """Blends colour a towards colour b by t (0..1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def new_surface(w, h):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, int(w), int(h))
    ctx = cairo.Context(surface)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_NONE)
    options.set_hint_metrics(cairo.HINT_METRICS_OFF)
    ctx.set_font_options(options)
    return surface, ctx


def set_colour(ctx, c, a=1.0):
    ctx.set_source_rgba(*rgba(c, a))


def rounded_rect(ctx, x, y, w, h, r):
    r = max(0.0, min(r, w / 2.0, h / 2.0))
    if r == 0:
        ctx.rectangle(x, y, w, h)
        return
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def vertical_gradient(y0, y1, stops):
    """stops: list of (offset, colour) or (offset, colour, alpha)."""
    g = cairo.LinearGradient(0, y0, 0, y1)
    for stop in stops:
        g.add_color_stop_rgba(stop[0], *rgba(stop[1], stop[2] if len(stop) > 2 else 1.0))
    return g


def fill_rounded(ctx, x, y, w, h, r, fill, line=None, line_width=1.0):
    """A rounded box with an optional outline drawn on the pixel grid."""
    if line is not None:
        half = line_width / 2.0
        rounded_rect(ctx, x + half, y + half, w - line_width, h - line_width, r)
    else:
        rounded_rect(ctx, x, y, w, h, r)
    if isinstance(fill, cairo.Pattern):
        ctx.set_source(fill)
    else:
        set_colour(ctx, fill)
    if line is None:
        ctx.fill()
        return
    ctx.fill_preserve()
    set_colour(ctx, line)
    ctx.set_line_width(line_width)
    ctx.stroke()


def text(ctx, s, cx, cy, size, colour, bold=False, alpha=1.0, family=FONT):
    """Draws s centred on (cx, cy)."""
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    x = cx - (ext.width / 2.0 + ext.x_bearing)
    y = cy - (ext.height / 2.0 + ext.y_bearing)
    set_colour(ctx, colour, alpha)
    ctx.move_to(x, y)
    ctx.show_text(s)
    ctx.new_path()
    return ext.x_advance


def text_left(ctx, s, x, cy, size, colour, bold=False, alpha=1.0, family=FONT):
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    set_colour(ctx, colour, alpha)
    ctx.move_to(x - ext.x_bearing, cy - (ext.height / 2.0 + ext.y_bearing))
    ctx.show_text(s)
    ctx.new_path()
    return ext.x_advance


def text_width(ctx, s, size, bold=False, family=FONT):
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    return ctx.text_extents(s).x_advance


def strip(cells, vertical=False):
    """Joins equally sized cell surfaces side by side (or stacked)."""
    w, h = cells[0].get_width(), cells[0].get_height()
    total_w = w if vertical else w * len(cells)
    total_h = h * len(cells) if vertical else h
    surface, ctx = new_surface(total_w, total_h)
    for i, cell in enumerate(cells):
        ctx.set_source_surface(cell, 0 if vertical else i * w, i * h if vertical else 0)
        ctx.paint()
    return surface


def save_png(surface, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    surface.flush()
    surface.write_to_png(path)


def to_pil(surface):
    """Converts a premultiplied ARGB32 surface to a straight-alpha RGBA image."""
    from PIL import Image

    surface.flush()
    w, h = surface.get_width(), surface.get_height()
    img = Image.frombuffer("RGBA", (w, h), bytes(surface.get_data()), "raw", "BGRa",
                           surface.get_stride(), 1)
    return img.copy()
