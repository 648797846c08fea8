// Static drawing helpers of the toolkit: image loading (gdk-pixbuf decoding
// into Cairo surfaces), nine-grid and three-slice image drawing, fills,
// Pango text drawing and measurement, transitions. Colours named `argb` are
// 0xAARRGGBB; colours named `colorref` are 0x00BBGGRR. All coordinates are
// device pixels. Stateless; callable from any thread on its own surfaces.
#pragma once

#include "toolkit/core/Surface.h"
#include "toolkit/platform/Types.h"

#include <cstdint>
#include <span>
#include <string>

namespace VellumUI {

// Text format bits (as the drawing functions of the toolkit's first system
// numbered them; the alignment values of MControlFont are the same bits).
enum TextFormat : unsigned {
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
};

// Font style bits.
enum FontStyle : int { FontStyleBold = 1, FontStyleItalic = 2, FontStyleUnderline = 4 };

struct MFont {
    std::wstring face; // the family; empty means the toolkit's font
    int pixels = 14;
    int style = 0;
};

class MRender {
public:
    MRender() = delete;

    // Decodes PNG, JPEG, GIF (first frame) or BMP; null on failure.
    static ImagePtr LoadImageFromFile(const std::wstring& path);
    static ImagePtr LoadImageFromMemory(std::span<const std::uint8_t> bytes);
    // An image of the program's (fromProgram) or the toolkit's resources.
    static ImagePtr LoadImageFromIDResource(unsigned id, const std::wstring& type,
                                            bool fromProgram);

    // The icon the desktop associates with the file; null without one.
    static ImagePtr LoadIconFromFile(const std::wstring& path);

    // Draws src (srcX, srcY, srcW, srcH of image) into dest scaled.
    static void DrawImage(cairo_t* cr, cairo_surface_t* image, const Rect& dest, int srcX, int srcY,
                          int srcW, int srcH, double alpha = 1.0);
    // Nine-grid: corners unscaled, edges stretched along, centre both ways.
    static void DrawImageFrame(cairo_t* cr, cairo_surface_t* image, const Rect& dest, int srcX,
                               int srcY, int srcW, int srcH, int corner);
    static void DrawImageFrameMID(cairo_t* cr, cairo_surface_t* image, const Rect& dest, int srcX,
                                  int srcY, int srcW, int srcH, int left, int top, int right,
                                  int bottom);

    // Blends src over dest one row (vertical) or column at a time with a
    // constant alpha running from 255 × (100 − startPct) / 100 to
    // 255 × (100 − endPct) / 100.
    static void DrawVerticalTransition(cairo_surface_t* dest, cairo_surface_t* src,
                                       const Rect& destRect, const Rect& srcRect, int startPct,
                                       int endPct);
    static void DrawHorizontalTransition(cairo_surface_t* dest, cairo_surface_t* src,
                                         const Rect& destRect, const Rect& srcRect, int startPct,
                                         int endPct);
    // The row or column alpha of the transitions (exposed for checking).
    static int TransitionAlpha(int index, int count, int startPct, int endPct);
    // Fades the size × size bottom-right corner of rect in `surface`.
    static void DrawRightBottomTransition(cairo_surface_t* surface, const Rect& rect, int size);

    // Offset of content inside a box by alignment (h 0/1/2, v 0/4/8).
    static Point GetOriginPoint(int width, int height, int contentW, int contentH, int hAlign,
                                int vAlign);
    static Point GetOriginPoint(const Rect& rect, int contentW, int contentH, int hAlign,
                                int vAlign);
    // Width (rounded up) and height (line height + 1, or + 4 when the line
    // height is fractional) of the text.
    static Size GetTextBounds(const MFont& font, unsigned format, const std::wstring& text,
                              int maxWidth = 0);

    static void FillSolidRect(cairo_t* cr, const Rect& rect, std::uint32_t colorref);
    // Nothing when the alpha byte is 0.
    static void DrawColor(cairo_t* cr, const Rect& rect, std::uint32_t argb);
    static void DrawLine(cairo_t* cr, Point from, Point to, std::uint32_t argb, double width = 1);
    static void DrawTextW(cairo_t* cr, const Rect& rect, const std::wstring& text,
                          std::uint32_t argb, const MFont& font, unsigned format);
    // A colour whose low 24 bits are all zero is raised by one, so pure
    // black is never taken for transparent.
    static std::uint32_t CheckAlphaColor(std::uint32_t colour) {
        return (colour & 0x00FFFFFF) == 0 ? colour + 1 : colour;
    }
    static void DrawRoundRectange(cairo_t* cr, const Rect& rect, int radius, std::uint32_t line,
                                  std::uint32_t fill);
    static void DrawGradient(cairo_t* cr, const Rect& rect, std::uint32_t fromArgb,
                             std::uint32_t toArgb, bool vertical);
    static bool SaveBitmapToFile(cairo_surface_t* surface, const std::wstring& path);
    // Copies rect of src to the same place of dest (source operator).
    static void BitBlt(cairo_t* dest, const Rect& rect, cairo_surface_t* src, int srcX, int srcY);

    static void SetSourceArgb(cairo_t* cr, std::uint32_t argb);
    static std::uint32_t ArgbFromColorref(std::uint32_t colorref, std::uint8_t alpha);
};

} // namespace VellumUI
