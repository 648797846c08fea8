"""Line glyphs of the skin set, drawn on a 24 x 24 design grid.

Each glyph function draws with the context's current source; strokes use
the line width the caller set (in grid units) with round caps and joins.
draw_glyph() scales the grid to the requested box.
"""

import math

import cairo


def _stroke(ctx):
    ctx.stroke()


def _line(ctx, x0, y0, x1, y1):
    ctx.move_to(x0, y0)
    ctx.line_to(x1, y1)
    ctx.stroke()


def _poly(ctx, pts, close=False, fill=False):
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    if close:
        ctx.close_path()
    if fill:
        ctx.fill()
    else:
        ctx.stroke()


def _rrect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def _arrow_head(ctx, x, y, angle, size=4.0):
    a1 = angle + math.radians(140)
    a2 = angle - math.radians(140)
    _poly(ctx, [(x + size * math.cos(a1), y + size * math.sin(a1)), (x, y),
                (x + size * math.cos(a2), y + size * math.sin(a2))])


def plus(ctx):
    _line(ctx, 12, 5, 12, 19)
    _line(ctx, 5, 12, 19, 12)


def minus(ctx):
    _line(ctx, 5, 12, 19, 12)


def cross(ctx):
    _line(ctx, 6, 6, 18, 18)
    _line(ctx, 18, 6, 6, 18)


def trash(ctx):
    _line(ctx, 4, 7, 20, 7)
    _poly(ctx, [(9, 7), (9, 4.5), (15, 4.5), (15, 7)])
    _poly(ctx, [(6, 7), (7, 20), (17, 20), (18, 7)])
    _line(ctx, 10, 10.5, 10, 16.5)
    _line(ctx, 14, 10.5, 14, 16.5)


def pencil(ctx):
    _poly(ctx, [(15, 5), (19, 9), (9, 19), (5, 19), (5, 15)], close=True)
    _line(ctx, 13, 7, 17, 11)


def tray_in(ctx):
    _poly(ctx, [(4, 14), (4, 20), (20, 20), (20, 14)])
    _line(ctx, 12, 3, 12, 15)
    _poly(ctx, [(8, 11), (12, 15), (16, 11)])


def tray_out(ctx):
    _poly(ctx, [(4, 14), (4, 20), (20, 20), (20, 14)])
    _line(ctx, 12, 15, 12, 3)
    _poly(ctx, [(8, 7), (12, 3), (16, 7)])


def clock(ctx):
    ctx.arc(12, 12, 8, 0, 2 * math.pi)
    ctx.stroke()
    _poly(ctx, [(12, 7), (12, 12), (15.5, 14)])


def arrow_up(ctx):
    _line(ctx, 12, 19, 12, 5)
    _poly(ctx, [(6, 11), (12, 5), (18, 11)])


def arrow_down(ctx):
    _line(ctx, 12, 5, 12, 19)
    _poly(ctx, [(6, 13), (12, 19), (18, 13)])


def arrow_left(ctx):
    _line(ctx, 19, 12, 5, 12)
    _poly(ctx, [(11, 6), (5, 12), (11, 18)])


def arrow_right(ctx):
    _line(ctx, 5, 12, 19, 12)
    _poly(ctx, [(13, 6), (19, 12), (13, 18)])


def chevron(ctx, direction):
    pts = {
        "left": [(14.5, 6), (8.5, 12), (14.5, 18)],
        "right": [(9.5, 6), (15.5, 12), (9.5, 18)],
        "up": [(6, 14.5), (12, 8.5), (18, 14.5)],
        "down": [(6, 9.5), (12, 15.5), (18, 9.5)],
    }[direction]
    _poly(ctx, pts)


def folder(ctx):
    _poly(ctx, [(3, 18.5), (3, 6), (9, 6), (11, 8.5), (21, 8.5), (21, 18.5)], close=True)
    _line(ctx, 3, 11.5, 21, 11.5)


def globe(ctx):
    ctx.arc(12, 12, 8.5, 0, 2 * math.pi)
    ctx.stroke()
    ctx.save()
    ctx.translate(12, 12)
    ctx.scale(0.45, 1.0)
    ctx.arc(0, 0, 8.5, 0, 2 * math.pi)
    ctx.restore()
    ctx.stroke()
    _line(ctx, 3.5, 12, 20.5, 12)
    _line(ctx, 5, 7.5, 19, 7.5)
    _line(ctx, 5, 16.5, 19, 16.5)


def monitor(ctx):
    _rrect(ctx, 3, 4, 18, 12, 1.5)
    ctx.stroke()
    _line(ctx, 12, 16, 12, 20)
    _line(ctx, 8, 20, 16, 20)


def calculator(ctx):
    _rrect(ctx, 5, 3, 14, 18, 2)
    ctx.stroke()
    _line(ctx, 8, 7, 16, 7)
    for y in (11.5, 15, 18):
        for x in (8.5, 12, 15.5):
            ctx.arc(x, y, 0.9, 0, 2 * math.pi)
            ctx.fill()


def envelope(ctx):
    _rrect(ctx, 3, 6, 18, 12, 1.5)
    ctx.stroke()
    _poly(ctx, [(3.5, 7), (12, 13.5), (20.5, 7)])


def note(ctx):
    _poly(ctx, [(9, 17), (9, 5), (19, 3), (19, 15)])
    ctx.arc(7, 17, 2.5, 0, 2 * math.pi)
    ctx.fill()
    ctx.arc(17, 15, 2.5, 0, 2 * math.pi)
    ctx.fill()


def play_pause(ctx):
    _poly(ctx, [(3, 6), (11, 12), (3, 18)], close=True, fill=True)
    ctx.rectangle(14, 6, 2.6, 12)
    ctx.rectangle(18.4, 6, 2.6, 12)
    ctx.fill()


def stop(ctx):
    ctx.rectangle(6.5, 6.5, 11, 11)
    ctx.fill()


def previous(ctx):
    ctx.rectangle(4, 6, 2.4, 12)
    ctx.fill()
    _poly(ctx, [(13, 6), (6.5, 12), (13, 18)], close=True, fill=True)
    _poly(ctx, [(20, 6), (13.5, 12), (20, 18)], close=True, fill=True)


def next_track(ctx):
    ctx.rectangle(17.6, 6, 2.4, 12)
    ctx.fill()
    _poly(ctx, [(4, 6), (10.5, 12), (4, 18)], close=True, fill=True)
    _poly(ctx, [(11, 6), (17.5, 12), (11, 18)], close=True, fill=True)


def _speaker(ctx):
    _poly(ctx, [(3, 9.5), (6.5, 9.5), (11, 5.5), (11, 18.5), (6.5, 14.5), (3, 14.5)],
          close=True, fill=True)


def volume_down(ctx):
    _speaker(ctx)
    _line(ctx, 14.5, 12, 20.5, 12)


def volume_up(ctx):
    _speaker(ctx)
    _line(ctx, 14.5, 12, 20.5, 12)
    _line(ctx, 17.5, 9, 17.5, 15)


def volume_mute(ctx):
    _speaker(ctx)
    _line(ctx, 14.5, 9.5, 19.5, 14.5)
    _line(ctx, 19.5, 9.5, 14.5, 14.5)


def house(ctx):
    _poly(ctx, [(3, 11.5), (12, 4), (21, 11.5)])
    _poly(ctx, [(6, 10), (6, 20), (18, 20), (18, 10)])
    _poly(ctx, [(10, 20), (10, 14.5), (14, 14.5), (14, 20)])


def refresh(ctx):
    ctx.arc(12, 12, 7.5, math.radians(-30), math.radians(270))
    ctx.stroke()
    # The arrow head sits on the open end at 30 degrees above the right.
    _poly(ctx, [(13.5, 2.5), (18.5, 8.2), (11.4, 9.4)], close=True, fill=True)


def web_stop(ctx):
    ctx.arc(12, 12, 8.5, 0, 2 * math.pi)
    ctx.stroke()
    _line(ctx, 8.5, 8.5, 15.5, 15.5)
    _line(ctx, 15.5, 8.5, 8.5, 15.5)


def back_circle(ctx):
    ctx.arc(12, 12, 8.5, 0, 2 * math.pi)
    ctx.stroke()
    _line(ctx, 16.5, 12, 7.5, 12)
    _poly(ctx, [(11, 8.5), (7.5, 12), (11, 15.5)])


def forward_circle(ctx):
    ctx.arc(12, 12, 8.5, 0, 2 * math.pi)
    ctx.stroke()
    _line(ctx, 7.5, 12, 16.5, 12)
    _poly(ctx, [(13, 8.5), (16.5, 12), (13, 15.5)])


def star(ctx):
    pts = []
    for i in range(10):
        r = 9.0 if i % 2 == 0 else 4.0
        a = math.radians(-90 + i * 36)
        pts.append((12 + r * math.cos(a), 12.8 + r * math.sin(a)))
    _poly(ctx, pts, close=True)


def magnifier(ctx):
    ctx.arc(10, 10, 6, 0, 2 * math.pi)
    ctx.stroke()
    _line(ctx, 14.5, 14.5, 20, 20)


def keyboard(ctx):
    _rrect(ctx, 2, 6, 20, 12, 2)
    ctx.stroke()
    for y in (9.5, 12.5):
        for i in range(5):
            ctx.rectangle(4.6 + i * 3.3, y - 0.8, 1.6, 1.6)
    ctx.fill()
    _line(ctx, 7.5, 15.3, 16.5, 15.3)


def keycap(ctx):
    _rrect(ctx, 4, 4, 16, 16, 3)
    ctx.stroke()
    _rrect(ctx, 7, 6.5, 10, 9, 2)
    ctx.stroke()


def macro(ctx):
    ctx.arc(7, 7, 3, 0, 2 * math.pi)
    ctx.fill()
    _line(ctx, 13, 7, 21, 7)
    _line(ctx, 4, 12.5, 21, 12.5)
    _line(ctx, 4, 18, 16, 18)
    _poly(ctx, [(18, 15.5), (21.5, 18), (18, 20.5)], close=True, fill=True)


def bulb(ctx):
    ctx.arc(12, 10, 5.5, math.radians(140), math.radians(40))
    ctx.stroke()
    _poly(ctx, [(7.8, 13.5), (9.5, 16.5), (14.5, 16.5), (16.2, 13.5)])
    _line(ctx, 9.8, 19.5, 14.2, 19.5)
    for a in (-150, -90, -30):
        r0, r1 = 7.8, 10
        ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
        _line(ctx, 12 + r0 * ca, 10 + r0 * sa, 12 + r1 * ca, 10 + r1 * sa)


def gear(ctx):
    teeth = 8
    pts = []
    for i in range(teeth * 4):
        a = 2 * math.pi * i / (teeth * 4) - math.pi / 2
        r = 9.0 if (i % 4) in (1, 2) else 6.8
        pts.append((12 + r * math.cos(a), 12 + r * math.sin(a)))
    _poly(ctx, pts, close=True)
    ctx.arc(12, 12, 2.8, 0, 2 * math.pi)
    ctx.stroke()


def usb(ctx):
    _line(ctx, 12, 3, 12, 19)
    _poly(ctx, [(9.5, 5.5), (12, 2.5), (14.5, 5.5)], close=True, fill=True)
    _poly(ctx, [(12, 16), (7, 12), (7, 9)])
    _poly(ctx, [(12, 13.5), (17, 10), (17, 7.5)])
    ctx.arc(7, 8, 1.6, 0, 2 * math.pi)
    ctx.fill()
    ctx.rectangle(15.5, 5.5, 3, 2.5)
    ctx.fill()
    ctx.arc(12, 19.5, 2.2, 0, 2 * math.pi)
    ctx.fill()


def wireless(ctx):
    for r in (4, 8, 12):
        ctx.arc(12, 19, r, math.radians(-135), math.radians(-45))
        ctx.stroke()
    ctx.arc(12, 19, 1.6, 0, 2 * math.pi)
    ctx.fill()


def bluetooth(ctx):
    _poly(ctx, [(6.5, 8), (17, 16.5), (12, 20.5), (12, 3.5), (17, 7.5), (6.5, 16)])


def bolt(ctx):
    _poly(ctx, [(14, 2), (5, 13.5), (11.2, 13.5), (9.5, 22), (19, 9.5), (12.6, 9.5)],
          close=True, fill=True)


def minimise(ctx):
    _line(ctx, 6, 12.5, 18, 12.5)


GLYPHS = {
    "plus": plus,
    "minus": minus,
    "cross": cross,
    "trash": trash,
    "pencil": pencil,
    "import": tray_in,
    "export": tray_out,
    "clock": clock,
    "arrow_up": arrow_up,
    "arrow_down": arrow_down,
    "arrow_left": arrow_left,
    "arrow_right": arrow_right,
    "chevron_left": lambda c: chevron(c, "left"),
    "chevron_right": lambda c: chevron(c, "right"),
    "chevron_up": lambda c: chevron(c, "up"),
    "chevron_down": lambda c: chevron(c, "down"),
    "folder": folder,
    "globe": globe,
    "monitor": monitor,
    "calculator": calculator,
    "envelope": envelope,
    "note": note,
    "play_pause": play_pause,
    "stop": stop,
    "previous": previous,
    "next": next_track,
    "volume_down": volume_down,
    "volume_up": volume_up,
    "volume_mute": volume_mute,
    "house": house,
    "refresh": refresh,
    "web_stop": web_stop,
    "back": back_circle,
    "forward": forward_circle,
    "star": star,
    "magnifier": magnifier,
    "keyboard": keyboard,
    "keycap": keycap,
    "macro": macro,
    "bulb": bulb,
    "gear": gear,
    "usb": usb,
    "wireless": wireless,
    "bluetooth": bluetooth,
    "bolt": bolt,
    "minimise": minimise,
}


def draw_glyph(ctx, name, x, y, size, colour, line_width=2.0):
    """Draws glyph `name` into the box (x, y, size, size) in colour (RGB 0..255)."""
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(size / 24.0, size / 24.0)
    ctx.set_source_rgba(colour[0] / 255.0, colour[1] / 255.0, colour[2] / 255.0, 1.0)
    ctx.set_line_width(line_width)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.new_path()
    GLYPHS[name](ctx)
    ctx.restore()
