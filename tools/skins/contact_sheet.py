"""A review sheet of every generated picture with its cells marked.

Each picture is shown on the window's own body colour, large pictures scaled
down, small ones enlarged, with a magenta tick between cells and its path,
size and cell count written above it.
"""

import os

import cairo
from PIL import Image

from theme import BORDER, INNER, PANEL, TEXT, TEXT_DIM, new_surface, set_colour, text_left

SHEET_W = 1400
PAD = 16
LABEL_H = 18


def load(path):
    """Any picture as a cairo surface (first frame for GIF and ICO)."""
    if path.endswith(".png"):
        return cairo.ImageSurface.create_from_png(path)
    img = Image.open(path)
    if path.endswith(".ico"):
        img = img.ico.getimage((256, 256))
    img = img.convert("RGBA")
    w, h = img.size
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    data = s.get_data()
    stride = s.get_stride()
    px = img.load()
    for y in range(h):
        for x in range(w):
            r, g, b, a = px[x, y]
            o = y * stride + x * 4
            data[o:o + 4] = bytes((b * a // 255, g * a // 255, r * a // 255, a))
    s.mark_dirty()
    return s


def scale_for(w, h, cell_w, cell_h):
    """Big pictures shrink to fit; small cells grow so their states can be told apart."""
    if w > 640:
        return 640.0 / w
    if max(cell_w, cell_h) <= 24:
        return 3.0
    if max(cell_w, cell_h) <= 64:
        return 2.0
    return 1.0


def layout(entries, root):
    """Places the pictures in rows; returns (placements, sheet height)."""
    x, y, row_h = PAD, PAD + 40, 0
    placed = []
    for e in entries:
        surface = load(os.path.join(root, e.path))
        w, h = surface.get_width(), surface.get_height()
        cell_w, cell_h = (w, h // e.frames) if e.stacked else (w // e.frames, h)
        k = scale_for(w, h, cell_w, cell_h)
        label = "%s  %dx%d  %d cell%s%s" % (e.path.split("theme1" + os.sep)[-1], w, h, e.frames,
                                            "s" if e.frames != 1 else "",
                                            " stacked" if e.stacked else "")
        box_w = max(w * k, 7.0 * len(label)) + PAD
        box_h = h * k + LABEL_H + PAD
        if x + box_w > SHEET_W - PAD and x > PAD:
            x, y, row_h = PAD, y + row_h, 0
        placed.append((e, surface, k, label, x, y))
        x += box_w
        row_h = max(row_h, box_h)
    return placed, int(y + row_h + PAD)


def draw_entry(ctx, e, surface, k, label, x, y):
    w, h = surface.get_width(), surface.get_height()
    text_left(ctx, label, x, y + 7, 11, TEXT_DIM)
    top = y + LABEL_H
    set_colour(ctx, INNER)
    ctx.rectangle(x - 2, top - 2, w * k + 4, h * k + 4)
    ctx.fill()
    ctx.save()
    ctx.translate(x, top)
    ctx.scale(k, k)
    ctx.set_source_surface(surface, 0, 0)
    ctx.get_source().set_filter(cairo.FILTER_NEAREST if k > 1 else cairo.FILTER_GOOD)
    ctx.paint()
    ctx.restore()
    set_colour(ctx, (255, 0, 200), 0.9)
    for i in range(1, e.frames):
        if e.stacked:
            ctx.rectangle(x - 4, top + i * h / e.frames * k, 4, 1)
        else:
            ctx.rectangle(x + i * w / e.frames * k, top - 4, 1, 4)
    ctx.fill()


def write(entries, root, path):
    placed, height = layout(entries, root)
    surface, ctx = new_surface(SHEET_W, height)
    set_colour(ctx, PANEL)
    ctx.paint()
    text_left(ctx, "Quillon theme1 — every skin picture, its size and cells", PAD, 24, 16, TEXT,
              bold=True)
    set_colour(ctx, BORDER)
    ctx.rectangle(PAD, 40, SHEET_W - 2 * PAD, 1)
    ctx.fill()
    for p in placed:
        draw_entry(ctx, *p)
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    surface.write_to_png(path)
