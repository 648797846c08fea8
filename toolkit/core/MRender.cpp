#include "toolkit/core/MRender.h"

#include "toolkit/core/Manager.h"
#include "toolkit/core/Resources.h"
#include "toolkit/platform/Utf.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstring>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pango/pangocairo.h>

namespace VellumUI {

namespace {

// Turns decoded pixels (RGB or RGBA, straight alpha) into a premultiplied
// ARGB32 surface.
ImagePtr SurfaceFromPixbuf(GdkPixbuf* pixbuf) {
    if (!pixbuf) {
        return nullptr;
    }
    const int width = gdk_pixbuf_get_width(pixbuf);
    const int height = gdk_pixbuf_get_height(pixbuf);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
    if (gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || (channels != 3 && channels != 4)) {
        return nullptr;
    }
    Surface surface = Surface::CreateARGB32(width, height);
    if (!surface) {
        return nullptr;
    }
    cairo_surface_flush(surface.Get());
    const int srcStride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
    unsigned char* dst = cairo_image_surface_get_data(surface.Get());
    const int dstStride = cairo_image_surface_get_stride(surface.Get());
    for (int y = 0; y < height; ++y) {
        const guchar* s = src + static_cast<size_t>(y) * srcStride;
        auto* d = reinterpret_cast<std::uint32_t*>(dst + static_cast<size_t>(y) * dstStride);
        for (int x = 0; x < width; ++x, s += channels) {
            const unsigned a = alpha ? s[3] : 255;
            const unsigned r = (s[0] * a + 127) / 255;
            const unsigned g = (s[1] * a + 127) / 255;
            const unsigned b = (s[2] * a + 127) / 255;
            d[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface.Get());
    return MakeImage(surface.Release());
}

PangoLayout* MakeLayout(cairo_t* cr, const MFont& font, const std::wstring& text, unsigned format,
                        int width) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* desc = pango_font_description_new();
    const std::string face = font.face.empty() ? std::string("Sans") : WideToUtf8(font.face);
    pango_font_description_set_family(desc, face.c_str());
    pango_font_description_set_absolute_size(desc, std::max(1, font.pixels) * PANGO_SCALE);
    pango_font_description_set_weight(desc, (font.style & FontStyleBold) ? PANGO_WEIGHT_BOLD
                                                                         : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(desc, (font.style & FontStyleItalic) ? PANGO_STYLE_ITALIC
                                                                          : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    if (font.style & FontStyleUnderline) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    const std::string utf8 = WideToUtf8(text);
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    if (width > 0 && (format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
        pango_layout_set_width(layout, width * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    } else if (width > 0 && (format & DT_END_ELLIPSIS)) {
        pango_layout_set_width(layout, width * PANGO_SCALE);
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
    if (format & DT_SINGLELINE) {
        pango_layout_set_single_paragraph_mode(layout, TRUE);
    }
    return layout;
}

} // namespace

ImagePtr MRender::LoadImageFromFile(const std::wstring& path) {
    GError* error = nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(WideToUtf8(path).c_str(), &error);
    if (error) {
        g_error_free(error);
    }
    ImagePtr image = SurfaceFromPixbuf(pixbuf);
    if (pixbuf) {
        g_object_unref(pixbuf);
    }
    return image;
}

ImagePtr MRender::LoadImageFromMemory(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return nullptr;
    }
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    GError* error = nullptr;
    ImagePtr image;
    if (gdk_pixbuf_loader_write(loader, bytes.data(), bytes.size(), &error) &&
        gdk_pixbuf_loader_close(loader, &error)) {
        image = SurfaceFromPixbuf(gdk_pixbuf_loader_get_pixbuf(loader));
    } else {
        gdk_pixbuf_loader_close(loader, nullptr);
    }
    if (error) {
        g_error_free(error);
    }
    g_object_unref(loader);
    return image;
}

ImagePtr MRender::LoadImageFromIDResource(unsigned id, const std::wstring& type, bool fromProgram) {
    return LoadImageFromMemory(Resources::Find(fromProgram, id, type));
}

ImagePtr MRender::LoadIconFromFile(const std::wstring& path) {
    // The size of a large shell icon.
    constexpr int kIconSize = 32;
    const IconPixels icon = Manager::GetPlatform()->GetFileIcon(path, kIconSize);
    if (icon.width <= 0 || icon.height <= 0 ||
        icon.argb.size() != static_cast<size_t>(icon.width) * icon.height) {
        return nullptr;
    }
    Surface surface = Surface::CreateARGB32(icon.width, icon.height);
    if (!surface) {
        return nullptr;
    }
    cairo_surface_flush(surface.Get());
    unsigned char* data = cairo_image_surface_get_data(surface.Get());
    const int stride = cairo_image_surface_get_stride(surface.Get());
    for (int y = 0; y < icon.height; ++y) {
        std::memcpy(data + static_cast<size_t>(y) * stride,
                    &icon.argb[static_cast<size_t>(y) * icon.width],
                    static_cast<size_t>(icon.width) * 4);
    }
    cairo_surface_mark_dirty(surface.Get());
    return MakeImage(surface.Release());
}

void MRender::DrawImage(cairo_t* cr, cairo_surface_t* image, const Rect& dest, int srcX, int srcY,
                        int srcW, int srcH, double alpha) {
    if (!cr || !image || dest.IsEmpty() || srcW <= 0 || srcH <= 0) {
        return;
    }
    const int imageW = cairo_image_surface_get_width(image);
    const int imageH = cairo_image_surface_get_height(image);
    const Rect src = Rect{srcX, srcY, srcX + srcW, srcY + srcH}.Intersect({0, 0, imageW, imageH});
    if (src.IsEmpty()) {
        return;
    }
    cairo_surface_t* part =
        cairo_surface_create_for_rectangle(image, src.left, src.top, src.Width(), src.Height());
    cairo_save(cr);
    cairo_rectangle(cr, dest.left, dest.top, dest.Width(), dest.Height());
    cairo_clip(cr);
    cairo_translate(cr, dest.left, dest.top);
    cairo_scale(cr, static_cast<double>(dest.Width()) / src.Width(),
                static_cast<double>(dest.Height()) / src.Height());
    cairo_set_source_surface(cr, part, 0, 0);
    // Stretched edges must not fade into transparency outside the cell.
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    if (dest.Width() == src.Width() && dest.Height() == src.Height()) {
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    }
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
    cairo_surface_destroy(part);
}

void MRender::DrawImageFrame(cairo_t* cr, cairo_surface_t* image, const Rect& dest, int srcX,
                             int srcY, int srcW, int srcH, int corner) {
    DrawImageFrameMID(cr, image, dest, srcX, srcY, srcW, srcH, corner, corner, corner, corner);
}

void MRender::DrawImageFrameMID(cairo_t* cr, cairo_surface_t* image, const Rect& dest, int srcX,
                                int srcY, int srcW, int srcH, int left, int top, int right,
                                int bottom) {
    if (dest.IsEmpty() || srcW <= 0 || srcH <= 0) {
        return;
    }
    // Margins never exceed the source or the destination.
    left = std::clamp(left, 0, std::min(srcW, dest.Width()) / 2);
    right = std::clamp(right, 0, std::min(srcW, dest.Width()) / 2);
    top = std::clamp(top, 0, std::min(srcH, dest.Height()) / 2);
    bottom = std::clamp(bottom, 0, std::min(srcH, dest.Height()) / 2);
    const int sx[4] = {srcX, srcX + left, srcX + srcW - right, srcX + srcW};
    const int sy[4] = {srcY, srcY + top, srcY + srcH - bottom, srcY + srcH};
    const int dx[4] = {dest.left, dest.left + left, dest.right - right, dest.right};
    const int dy[4] = {dest.top, dest.top + top, dest.bottom - bottom, dest.bottom};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            DrawImage(cr, image, {dx[col], dy[row], dx[col + 1], dy[row + 1]}, sx[col], sy[row],
                      sx[col + 1] - sx[col], sy[row + 1] - sy[row]);
        }
    }
}

int MRender::TransitionAlpha(int index, int count, int startPct, int endPct) {
    const int first = 255 * (100 - startPct) / 100;
    const int last = 255 * (100 - endPct) / 100;
    const double step = count > 1 ? static_cast<double>(last - first) / (count - 1) : 0.0;
    const int alpha = static_cast<int>(first + step * index);
    return ((alpha % 256) + 256) % 256;
}

void MRender::DrawVerticalTransition(cairo_surface_t* dest, cairo_surface_t* src,
                                     const Rect& destRect, const Rect& srcRect, int startPct,
                                     int endPct) {
    if (!dest || !src || destRect.IsEmpty()) {
        return;
    }
    Context cr(dest);
    const int rows = destRect.Height();
    for (int i = 0; i < rows; ++i) {
        cairo_save(cr.Get());
        cairo_rectangle(cr.Get(), destRect.left, destRect.top + i, destRect.Width(), 1);
        cairo_clip(cr.Get());
        cairo_set_source_surface(cr.Get(), src, destRect.left - srcRect.left,
                                 destRect.top - srcRect.top);
        cairo_paint_with_alpha(cr.Get(), TransitionAlpha(i, rows, startPct, endPct) / 255.0);
        cairo_restore(cr.Get());
    }
}

void MRender::DrawHorizontalTransition(cairo_surface_t* dest, cairo_surface_t* src,
                                       const Rect& destRect, const Rect& srcRect, int startPct,
                                       int endPct) {
    if (!dest || !src || destRect.IsEmpty()) {
        return;
    }
    Context cr(dest);
    const int cols = destRect.Width();
    for (int i = 0; i < cols; ++i) {
        cairo_save(cr.Get());
        cairo_rectangle(cr.Get(), destRect.left + i, destRect.top, 1, destRect.Height());
        cairo_clip(cr.Get());
        cairo_set_source_surface(cr.Get(), src, destRect.left - srcRect.left,
                                 destRect.top - srcRect.top);
        cairo_paint_with_alpha(cr.Get(), TransitionAlpha(i, cols, startPct, endPct) / 255.0);
        cairo_restore(cr.Get());
    }
}

void MRender::DrawRightBottomTransition(cairo_surface_t* surface, const Rect& rect, int size) {
    if (!surface || size <= 0 || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) {
        return;
    }
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const Rect corner =
        Rect{rect.right - size, rect.bottom - size, rect.right, rect.bottom}.Intersect(
            {0, 0, width, height});
    for (int y = corner.top; y < corner.bottom; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = corner.left; x < corner.right; ++x) {
            const double d = std::hypot(rect.right - 1 - x, rect.bottom - 1 - y);
            const unsigned alpha =
                255 - static_cast<unsigned>(255 * std::min(d, double(size)) / size);
            std::uint32_t p = row[x];
            std::uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                out |= ((((p >> shift) & 0xFF) * alpha / 255) & 0xFF) << shift;
            }
            row[x] = out;
        }
    }
    cairo_surface_mark_dirty(surface);
}

Point MRender::GetOriginPoint(int width, int height, int contentW, int contentH, int hAlign,
                              int vAlign) {
    Point p;
    if (hAlign == 1) {
        p.x = (width - contentW) / 2;
    } else if (hAlign == 2) {
        p.x = width - contentW;
    }
    if (vAlign == 4) {
        p.y = (height - contentH) / 2;
    } else if (vAlign == 8) {
        p.y = height - contentH;
    }
    return p;
}

Point MRender::GetOriginPoint(const Rect& rect, int contentW, int contentH, int hAlign,
                              int vAlign) {
    Point p = GetOriginPoint(rect.Width(), rect.Height(), contentW, contentH, hAlign, vAlign);
    return {p.x + rect.left, p.y + rect.top + 2};
}

Size MRender::GetTextBounds(const MFont& font, unsigned format, const std::wstring& text,
                            int maxWidth) {
    Surface scratch = Surface::CreateARGB32(1, 1);
    Context cr(scratch.Get());
    PangoLayout* layout = MakeLayout(cr.Get(), font, text, format, maxWidth);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    const int lines = std::max(1, pango_layout_get_line_count(layout));
    g_object_unref(layout);
    const int width = (logical.width + PANGO_SCALE - 1) / PANGO_SCALE;
    const int lineHeight = logical.height / lines;
    const int whole = lineHeight / PANGO_SCALE;
    const int height = (lineHeight % PANGO_SCALE == 0) ? whole + 1 : whole + 4;
    return {width, height * lines};
}

void MRender::SetSourceArgb(cairo_t* cr, std::uint32_t argb) {
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                          (argb & 0xFF) / 255.0, ((argb >> 24) & 0xFF) / 255.0);
}

std::uint32_t MRender::ArgbFromColorref(std::uint32_t colorref, std::uint8_t alpha) {
    const std::uint32_t r = colorref & 0xFF;
    const std::uint32_t g = (colorref >> 8) & 0xFF;
    const std::uint32_t b = (colorref >> 16) & 0xFF;
    return (std::uint32_t(alpha) << 24) | (r << 16) | (g << 8) | b;
}

void MRender::FillSolidRect(cairo_t* cr, const Rect& rect, std::uint32_t colorref) {
    DrawColor(cr, rect, ArgbFromColorref(colorref, 0xFF));
}

void MRender::DrawColor(cairo_t* cr, const Rect& rect, std::uint32_t argb) {
    if (!cr || (argb >> 24) == 0 || rect.IsEmpty()) {
        return;
    }
    cairo_save(cr);
    SetSourceArgb(cr, argb);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

void MRender::DrawLine(cairo_t* cr, Point from, Point to, std::uint32_t argb, double width) {
    if (!cr) {
        return;
    }
    cairo_save(cr);
    SetSourceArgb(cr, argb);
    cairo_set_line_width(cr, width);
    // Centre the line on the pixel row or column.
    cairo_move_to(cr, from.x + 0.5, from.y + 0.5);
    cairo_line_to(cr, to.x + 0.5, to.y + 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void MRender::DrawTextW(cairo_t* cr, const Rect& rect, const std::wstring& text, std::uint32_t argb,
                        const MFont& font, unsigned format) {
    if (!cr || text.empty() || rect.IsEmpty()) {
        return;
    }
    PangoLayout* layout = MakeLayout(cr, font, text, format, rect.Width());
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    const int hAlign = (format & DT_RIGHT) ? 2 : (format & DT_CENTER) ? 1 : 0;
    const int vAlign = (format & DT_BOTTOM) ? 8 : (format & DT_VCENTER) ? 4 : 0;
    if (pango_layout_get_width(layout) > 0) {
        pango_layout_set_alignment(layout, hAlign == 2   ? PANGO_ALIGN_RIGHT
                                           : hAlign == 1 ? PANGO_ALIGN_CENTER
                                                         : PANGO_ALIGN_LEFT);
    }
    const int contentW = pango_layout_get_width(layout) > 0 ? rect.Width() : logical.width;
    const Point origin =
        GetOriginPoint(rect.Width(), rect.Height(), contentW, logical.height, hAlign, vAlign);
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_clip(cr);
    SetSourceArgb(cr, argb);
    cairo_move_to(cr, rect.left + origin.x - logical.x, rect.top + origin.y - logical.y);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
}

void MRender::DrawRoundRectange(cairo_t* cr, const Rect& rect, int radius, std::uint32_t line,
                                std::uint32_t fill) {
    if (!cr || rect.IsEmpty()) {
        return;
    }
    const double r = std::min({double(radius), rect.Width() / 2.0, rect.Height() / 2.0});
    const double x = rect.left + 0.5, y = rect.top + 0.5;
    const double w = rect.Width() - 1.0, h = rect.Height() - 1.0;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
    if (fill >> 24) {
        SetSourceArgb(cr, fill);
        cairo_fill_preserve(cr);
    }
    if (line >> 24) {
        SetSourceArgb(cr, line);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_restore(cr);
}

void MRender::DrawGradient(cairo_t* cr, const Rect& rect, std::uint32_t fromArgb,
                           std::uint32_t toArgb, bool vertical) {
    if (!cr || rect.IsEmpty()) {
        return;
    }
    cairo_pattern_t* pattern = vertical ? cairo_pattern_create_linear(0, rect.top, 0, rect.bottom)
                                        : cairo_pattern_create_linear(rect.left, 0, rect.right, 0);
    auto stop = [&](double at, std::uint32_t c) {
        cairo_pattern_add_color_stop_rgba(pattern, at, ((c >> 16) & 0xFF) / 255.0,
                                          ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                                          ((c >> 24) & 0xFF) / 255.0);
    };
    stop(0, fromArgb);
    stop(1, toArgb);
    cairo_save(cr);
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
}

bool MRender::SaveBitmapToFile(cairo_surface_t* surface, const std::wstring& path) {
    return surface &&
           cairo_surface_write_to_png(surface, WideToUtf8(path).c_str()) == CAIRO_STATUS_SUCCESS;
}

void MRender::BitBlt(cairo_t* dest, const Rect& rect, cairo_surface_t* src, int srcX, int srcY) {
    if (!dest || !src || rect.IsEmpty()) {
        return;
    }
    cairo_save(dest);
    cairo_set_operator(dest, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(dest, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_clip(dest);
    cairo_set_source_surface(dest, src, rect.left - srcX, rect.top - srcY);
    cairo_paint(dest);
    cairo_restore(dest);
}

} // namespace VellumUI
