"""Cells of the control skins: buttons, check and radio boxes, combo and edit
frames, slider parts, scroll-bar strips and the list and device frames.

Every function returns one cairo surface per cell; make_skins joins them into
the strips the toolkit expects. State numbers follow the toolkit: 0 normal,
1 hover, 2 pressed, 3 disabled.
"""

import math

import cairo

import icons
from theme import (ACCENT, ACCENT_DEEP, ACCENT_SOFT, BORDER, DANGER, DISABLED_FILL,
                   DISABLED_GLYPH, DISABLED_LINE, EDIT_FILL, GLYPH, OK_GREEN, PANEL, RAISED,
                   RAISED_HI, SELECTION, SUNKEN, TEXT, TEXT_DIM, fill_rounded, mix,
                   new_surface, rgba, rounded_rect, set_colour, vertical_gradient)

NORMAL, HOVER, PRESSED, DISABLED = range(4)


def push_button(w, h, state, radius=5):
    """The text button (btn_apply): the control writes the title over it."""
    s, ctx = new_surface(w, h)
    if state == NORMAL:
        fill = vertical_gradient(0, h, [(0, RAISED_HI), (1, RAISED)])
        line = BORDER
    elif state == HOVER:
        fill = vertical_gradient(0, h, [(0, mix(SELECTION, ACCENT, 0.25)), (1, SELECTION)])
        line = ACCENT
    elif state == PRESSED:
        fill = vertical_gradient(0, h, [(0, SUNKEN), (1, ACCENT_DEEP)])
        line = ACCENT_SOFT
    else:
        fill, line = DISABLED_FILL, DISABLED_LINE
    fill_rounded(ctx, 0, 0, w, h, radius, fill, line)
    if state in (NORMAL, HOVER):
        # A faint top highlight gives the raised look; pressed cells lose it.
        set_colour(ctx, (255, 255, 255), 0.08 if state == NORMAL else 0.14)
        ctx.rectangle(radius, 1, w - 2 * radius, 1)
        ctx.fill()
    return s


def image_button(glyph, state, size=30, framed=True, danger=False, glyph_size=18):
    """A square icon button; `framed` buttons show their box when idle too."""
    s, ctx = new_surface(size, size)
    r = 5
    shift = 1 if state == PRESSED else 0
    if state == NORMAL:
        if framed:
            fill_rounded(ctx, 0, 0, size, size, r,
                         vertical_gradient(0, size, [(0, RAISED_HI), (1, RAISED)]), BORDER)
        colour = GLYPH
    elif state == HOVER:
        fill_rounded(ctx, 0, 0, size, size, r, DANGER if danger else SELECTION,
                     mix(DANGER, (255, 255, 255), 0.3) if danger else ACCENT)
        colour = (255, 255, 255)
    elif state == PRESSED:
        fill_rounded(ctx, 0, 0, size, size, r, mix(DANGER, SUNKEN, 0.45) if danger else ACCENT_DEEP,
                     DANGER if danger else ACCENT_SOFT)
        colour = (255, 255, 255) if danger else ACCENT
    else:
        if framed:
            fill_rounded(ctx, 0, 0, size, size, r, DISABLED_FILL, DISABLED_LINE)
        colour = DISABLED_GLYPH
    off = (size - glyph_size) / 2.0
    icons.draw_glyph(ctx, glyph, off + shift, off + shift, glyph_size, colour, 2.0)
    return s


def check_box(checked, state, size=20):
    s, ctx = new_surface(size, size)
    box = size - 4
    if not checked:
        fill, line = {NORMAL: (SUNKEN, BORDER), HOVER: (PANEL, ACCENT),
                      PRESSED: (ACCENT_DEEP, ACCENT), DISABLED: (DISABLED_FILL, DISABLED_LINE)}[state]
        fill_rounded(ctx, 2, 2, box, box, 3, fill, line, 1.5)
        return s
    fill, tick = {NORMAL: (ACCENT_SOFT, TEXT), HOVER: (ACCENT, (255, 255, 255)),
                  PRESSED: (ACCENT_DEEP, ACCENT), DISABLED: (DISABLED_LINE, DISABLED_GLYPH)}[state]
    fill_rounded(ctx, 2, 2, box, box, 3, fill,
                 ACCENT if state in (HOVER, PRESSED) else fill, 1.5)
    ctx.set_line_width(2.2)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    set_colour(ctx, tick)
    ctx.move_to(size * 0.29, size * 0.52)
    ctx.line_to(size * 0.44, size * 0.67)
    ctx.line_to(size * 0.72, size * 0.35)
    ctx.stroke()
    return s


def radio_box(checked, state, size=20):
    s, ctx = new_surface(size, size)
    c, r = size / 2.0, size / 2.0 - 2.75
    fill, line = {NORMAL: (SUNKEN, BORDER), HOVER: (PANEL, ACCENT),
                  PRESSED: (ACCENT_DEEP, ACCENT), DISABLED: (DISABLED_FILL, DISABLED_LINE)}[state]
    if checked and state == NORMAL:
        line = ACCENT_SOFT
    ctx.arc(c, c, r, 0, 2 * math.pi)
    set_colour(ctx, fill)
    ctx.fill_preserve()
    set_colour(ctx, line)
    ctx.set_line_width(1.5)
    ctx.stroke()
    if checked:
        dot = {NORMAL: ACCENT, HOVER: (255, 255, 255), PRESSED: ACCENT_SOFT,
               DISABLED: DISABLED_GLYPH}[state]
        ctx.arc(c, c, r * 0.5, 0, 2 * math.pi)
        set_colour(ctx, dot)
        ctx.fill()
    return s


def direction_button(glyph, checked, state, size=30):
    """The direction radios: an arrow tile that lights up when chosen."""
    s, ctx = new_surface(size, size)
    if checked:
        fill, line, colour = {
            NORMAL: (ACCENT_SOFT, ACCENT, (255, 255, 255)),
            HOVER: (mix(ACCENT_SOFT, ACCENT, 0.5), (255, 255, 255), (255, 255, 255)),
            PRESSED: (ACCENT_DEEP, ACCENT, ACCENT),
            DISABLED: (DISABLED_LINE, DISABLED_LINE, DISABLED_GLYPH)}[state]
    else:
        fill, line, colour = {
            NORMAL: (RAISED, BORDER, TEXT_DIM),
            HOVER: (SELECTION, ACCENT, (255, 255, 255)),
            PRESSED: (ACCENT_DEEP, ACCENT_SOFT, ACCENT),
            DISABLED: (DISABLED_FILL, DISABLED_LINE, DISABLED_GLYPH)}[state]
    fill_rounded(ctx, 0, 0, size, size, 5, fill, line)
    shift = 1 if state == PRESSED else 0
    icons.draw_glyph(ctx, glyph, 6 + shift, 6 + shift, size - 12, colour, 2.4)
    return s


def colourful_swatch(state, size=24):
    """The multi-colour palette button: a rainbow tile."""
    s, ctx = new_surface(size, size)
    g = cairo.LinearGradient(0, 0, size, size)
    hues = [(255, 40, 40), (255, 200, 0), (60, 220, 60), (0, 200, 255), (70, 80, 255),
            (230, 40, 230)]
    for i, c in enumerate(hues):
        if state == DISABLED:
            grey = int(sum(c) / 3 * 0.45)
            c = (grey, grey, grey)
        elif state == PRESSED:
            c = mix(c, (0, 0, 0), 0.25)
        g.add_color_stop_rgba(i / (len(hues) - 1.0), *rgba(c))
    rounded_rect(ctx, 1, 1, size - 2, size - 2, 3)
    ctx.set_source(g)
    ctx.fill()
    if state == HOVER:
        set_colour(ctx, (255, 255, 255), 0.18)
        rounded_rect(ctx, 1, 1, size - 2, size - 2, 3)
        ctx.fill()
    return s


def combo_box(state, w=140, h=38):
    """Drawn as a nine-grid with margins 10, 10, 36, 10: the arrow lives in the
    36-pixel right margin, which is never stretched sideways."""
    s, ctx = new_surface(w, h)
    fill, line, arrow = {
        NORMAL: (vertical_gradient(0, h, [(0, SUNKEN), (1, PANEL)]), BORDER, GLYPH),
        HOVER: (vertical_gradient(0, h, [(0, PANEL), (1, RAISED)]), ACCENT, (255, 255, 255)),
        PRESSED: (vertical_gradient(0, h, [(0, SUNKEN), (1, ACCENT_DEEP)]), ACCENT, ACCENT),
        DISABLED: (DISABLED_FILL, DISABLED_LINE, DISABLED_GLYPH)}[state]
    fill_rounded(ctx, 0, 0, w, h, 5, fill, line)
    set_colour(ctx, line, 0.8)
    ctx.rectangle(w - 32, 9, 1, h - 18)
    ctx.fill()
    glyph = "chevron_up" if state == PRESSED else "chevron_down"
    icons.draw_glyph(ctx, glyph, w - 26, (h - 18) / 2.0, 18, arrow, 2.4)
    return s


def edit_frame(state, w=60, h=30):
    """The edit box frame; its body is the native edit's own background."""
    s, ctx = new_surface(w, h)
    fill, line, width = {NORMAL: (EDIT_FILL, BORDER, 1.0), HOVER: (EDIT_FILL, ACCENT_SOFT, 1.0),
                         PRESSED: (EDIT_FILL, ACCENT, 1.5),
                         DISABLED: (DISABLED_FILL, DISABLED_LINE, 1.0)}[state]
    fill_rounded(ctx, 0, 0, w, h, 4, fill, line, width)
    return s


def slider_track(w=400, half=6):
    """Two stacked halves: the filled track above, the empty track below."""
    s, ctx = new_surface(w, 2 * half)
    g = cairo.LinearGradient(0, 0, w, 0)
    g.add_color_stop_rgba(0, *rgba(ACCENT_SOFT))
    g.add_color_stop_rgba(1, *rgba(ACCENT))
    rounded_rect(ctx, 0, 0, w, half, half / 2.0)
    ctx.set_source(g)
    ctx.fill()
    fill_rounded(ctx, 0, half, w, half, half / 2.0, SUNKEN, BORDER)
    return s


def slider_thumb(state, w=22, h=36):
    s, ctx = new_surface(w, h)
    cx, cy, r = w / 2.0, h / 2.0, 8.0
    fill, ring = {NORMAL: ((222, 232, 236), ACCENT_SOFT), HOVER: ((255, 255, 255), ACCENT),
                  PRESSED: (ACCENT, (255, 255, 255)),
                  DISABLED: (DISABLED_GLYPH, DISABLED_LINE)}[state]
    if state == HOVER:
        ctx.arc(cx, cy, r + 2.5, 0, 2 * math.pi)
        set_colour(ctx, ACCENT, 0.35)
        ctx.fill()
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    set_colour(ctx, fill)
    ctx.fill_preserve()
    set_colour(ctx, ring)
    ctx.set_line_width(2.0)
    ctx.stroke()
    return s


def key_cell(state, w=40, h=30):
    """A key of the key function picker (cell 2 is both pressed and checked)."""
    s, ctx = new_surface(w, h)
    fill, line = {NORMAL: (vertical_gradient(0, h, [(0, RAISED_HI), (1, RAISED)]), (44, 62, 74)),
                  HOVER: (vertical_gradient(0, h, [(0, mix(RAISED_HI, SELECTION, 0.8)),
                                                   (1, mix(RAISED, SELECTION, 0.6))]), ACCENT_SOFT),
                  PRESSED: (vertical_gradient(0, h, [(0, (44, 132, 142)), (1, (34, 108, 118))]),
                            ACCENT),
                  DISABLED: (DISABLED_FILL, DISABLED_LINE)}[state]
    fill_rounded(ctx, 0, 0, w, h, 4, fill, line)
    return s


def device_row(connected, w=160, h=38):
    """Rows of the device list, a nine-grid with 12-pixel corners."""
    s, ctx = new_surface(w, h)
    if connected:
        fill_rounded(ctx, 0, 0, w, h, 6, vertical_gradient(0, h, [(0, RAISED_HI), (1, RAISED)]),
                     ACCENT)
        set_colour(ctx, OK_GREEN)
        rounded_rect(ctx, 4, 9, 3, h - 18, 1.5)
        ctx.fill()
    else:
        fill_rounded(ctx, 0, 0, w, h, 6, PANEL, DISABLED_LINE)
    return s


def list_marker(selected, size=16):
    """Row icon of the profile, macro and effect lists."""
    s, ctx = new_surface(size, size)
    c = size / 2.0
    if selected:
        ctx.arc(c, c, 6, 0, 2 * math.pi)
        set_colour(ctx, ACCENT, 0.3)
        ctx.fill()
        ctx.arc(c, c, 4, 0, 2 * math.pi)
        set_colour(ctx, ACCENT)
        ctx.fill()
    else:
        ctx.arc(c, c, 4.25, 0, 2 * math.pi)
        set_colour(ctx, TEXT_DIM)
        ctx.set_line_width(1.5)
        ctx.stroke()
    return s


def scroll_piece(kind, w, h):
    """One scroll-bar cell: 'track', 'thumb', 'hover' or 'drag'."""
    s, ctx = new_surface(w, h)
    colour, alpha = {"track": ((22, 32, 42), 0.9), "thumb": ((62, 112, 120), 1.0),
                     "hover": (ACCENT, 1.0), "drag": ((120, 222, 230), 1.0)}[kind]
    inset = 1.0 if kind != "track" else 2.0
    if w < h:
        rounded_rect(ctx, inset, 0.5, w - 2 * inset, h - 1, (w - 2 * inset) / 2.0)
    else:
        rounded_rect(ctx, 0.5, inset, w - 1, h - 2 * inset, (h - 2 * inset) / 2.0)
    set_colour(ctx, colour, alpha)
    ctx.fill()
    return s


def tab_icon(glyph, frame, w=64, h=60, glyph_size=30):
    """Tab bar items: frame 1 shows the hovered or chosen tab."""
    s, ctx = new_surface(w, h)
    if frame == 1:
        fill_rounded(ctx, 2, 2, w - 4, h - 4, 8,
                     vertical_gradient(0, h, [(0, mix(SELECTION, ACCENT, 0.2)), (1, SELECTION)]),
                     ACCENT_SOFT)
        colour = (255, 255, 255)
    elif frame == 0:
        colour = TEXT_DIM
    else:
        colour = DISABLED_GLYPH
    icons.draw_glyph(ctx, glyph, (w - glyph_size) / 2.0, (h - glyph_size) / 2.0, glyph_size,
                     colour, 1.8)
    return s
