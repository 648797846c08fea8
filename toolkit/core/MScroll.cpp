#include "toolkit/core/MScroll.h"

#include "toolkit/core/PaintManager.h"

#include <algorithm>
#include <cairo.h>

namespace VellumUI {

namespace {

// The thumb is never shorter than this, unless the track is too short.
constexpr int kMinThumb = 100;
constexpr int kShortTrackAllowance = 50;
// Three-slice ends of the strip frames.
constexpr int kSliceEnd = 6;
constexpr std::uint32_t kHorizontalTrackLine = 0xC8141414;
constexpr int kStripFrames = 4;

} // namespace

MScroll::MScroll(bool vertical) : m_vertical(vertical) {}

bool MScroll::PtInRect(Point p) const {
    return m_barVisible && MControlFont::PtInRect(p);
}

void MScroll::SetControlRect(const Rect& rect) {
    MControlFont::SetControlRect(rect);
    Relayout();
}

void MScroll::PlaceThumb(int start, int length) {
    if (m_vertical) {
        m_thumb = {m_rect.left, start, m_rect.right, start + length};
    } else {
        m_thumb = {start, m_rect.top, start + length, m_rect.bottom};
    }
}

void MScroll::Layout(bool pixelRange) {
    const int len = Length();
    if (m_autoPage) {
        m_page = len;
        if (static_cast<long long>(len) * 10 < m_max) {
            m_page = m_max / 10;
        }
    }
    m_barVisible = m_page < m_max;
    if (m_max <= 0 || len <= 0) {
        m_thumb = Rect{};
        return;
    }
    const int track = len - 2 * m_margin;
    int thumb =
        std::max(m_margin / 2, static_cast<int>(static_cast<double>(m_page) / m_max * track));
    if (thumb < kMinThumb) {
        thumb =
            (track - kShortTrackAllowance <= kMinThumb) ? track - kShortTrackAllowance : kMinThumb;
    }
    thumb = std::clamp(thumb, 1, std::max(1, len));
    const int range = pixelRange ? m_max - len : m_max;
    const int travel = track - thumb;
    int start = Start() + m_margin;
    if (range > 0 && travel > 0) {
        start += static_cast<int>(static_cast<double>(m_pos) / range * travel);
    }
    start = std::max(start, Start() + m_margin);
    start = std::min(start, End() - m_margin * 3 / 2);
    if (start + thumb > End()) {
        start = End() - thumb;
        if (travel > 0) {
            m_pos = static_cast<int>(static_cast<long long>(start - Start() - m_margin) * range /
                                     travel);
        }
    }
    PlaceThumb(start, thumb);
}

void MScroll::SetRange() {
    m_pixelMode = false;
    Layout(false);
}

void MScroll::SetRangeEx() {
    m_pixelMode = true;
    Layout(true);
}

int MScroll::MoveRange(int delta) {
    const int len = ThumbLength();
    const int low = Start() + m_margin;
    const int high = End() - m_margin - len;
    const int from = ThumbStart();
    const int to = std::clamp(from + delta, low, std::max(low, high));
    PlaceThumb(to, len);
    const int range = m_pixelMode ? m_max - Length() : m_max;
    const int travel = Length() - 2 * m_margin - len;
    m_pos = travel > 0 ? static_cast<int>(static_cast<long long>(to - low) * range / travel) : 0;
    m_pos = std::clamp(m_pos, 0, std::max(0, range));
    UpdateControl(true);
    m_changing = true;
    SendMessageW(kNotifyScrollPos, static_cast<WPARAM>(m_pos), 0);
    m_changing = false;
    return to - from;
}

void MScroll::SetScrollInfo(int max, int position, int page, int step) {
    m_max = std::max(0, max);
    m_pos = std::clamp(position, 0, m_max);
    SetScrollSize(page, step);
}

void MScroll::SetScrollMaxRange(int max) {
    m_max = std::max(0, max);
    m_pos = std::min(m_pos, m_max);
    Relayout();
    UpdateControl(true);
}

void MScroll::SetScrollSize(int page, int step) {
    if (page != 0) {
        m_page = page;
        m_autoPage = false;
    }
    if (step != 0) {
        m_step = step;
    }
    Relayout();
    UpdateControl(true);
}

void MScroll::SetScrollCurrentPos(int position) {
    m_pos = std::clamp(position, 0, m_max);
    SetRange();
    UpdateControl(true);
}

void MScroll::SetScrollCurrentPosEx(int position) {
    m_pos = std::clamp(position, 0, std::max(0, m_max - Length()));
    SetRangeEx();
    UpdateControl(true);
}

void MScroll::SetScrollFinalPos() {
    m_pos = m_pixelMode ? std::max(0, m_max - Length()) : m_max;
    Relayout();
    UpdateControl(true);
}

bool MScroll::ScrollRow(int rows) {
    const int limit = m_pixelMode ? std::max(0, m_max - Length()) : m_max;
    const int next = std::clamp(m_pos + rows * m_step, 0, limit);
    if (next == m_pos) {
        return false;
    }
    m_pos = next;
    Relayout();
    UpdateControl(true);
    return true;
}

bool MScroll::OnControlMouseMove(WPARAM, Point p) {
    if (!m_barVisible || !m_enabled) {
        return false;
    }
    if (m_thumbState == 2) {
        const int now = m_vertical ? p.y : p.x;
        m_anchor += MoveRange(now - m_anchor);
        return true;
    }
    const bool overBar = m_rect.Contains(p);
    const bool overThumb = m_thumb.Contains(p);
    if (overBar != m_hoverBar || overThumb != m_hoverThumb) {
        m_hoverBar = overBar;
        m_hoverThumb = overThumb;
        m_thumbState = overThumb ? 1 : 0;
        UpdateControl(true);
    }
    return overBar;
}

bool MScroll::OnControlLButtonDown(WPARAM, Point p) {
    if (!m_barVisible || !m_enabled || !m_rect.Contains(p)) {
        return false;
    }
    const int at = m_vertical ? p.y : p.x;
    if (m_thumb.Contains(p)) {
        m_thumbState = 2;
        m_anchor = at;
        UpdateControl(true);
        return true;
    }
    // One page toward the pointer.
    const int track = Length() - 2 * m_margin;
    const int page =
        m_max > 0 ? static_cast<int>(static_cast<long long>(track) * m_page / m_max) : 0;
    MoveRange(at < ThumbStart() ? -page : page);
    return true;
}

bool MScroll::OnControlLButtonUp(WPARAM, Point p) {
    if (m_thumbState != 2) {
        return false;
    }
    m_hoverThumb = m_thumb.Contains(p);
    m_thumbState = m_hoverThumb ? 1 : 0;
    UpdateControl(true);
    return true;
}

bool MScroll::EnsureStrip() {
    if (m_image || m_stripTried || !m_manager) {
        return m_image != nullptr;
    }
    m_stripTried = true;
    const unsigned id = m_vertical ? m_manager->GetScrollVID() : m_manager->GetScrollHID();
    const ImgResInfo* info =
        id ? m_manager->AddImgResInfo(id, L"PNG", kStripFrames, false) : nullptr;
    if (!info && id) {
        info = m_manager->AddImgResInfo(id, L"PNG", kStripFrames, true);
    }
    if (!info) {
        info = m_manager->AddImgResInfo(m_vertical ? L"img_scroll_v.png" : L"img_scroll_h.png",
                                        kStripFrames);
    }
    if (info) {
        TakeImage(*info);
    }
    return m_image != nullptr;
}

void CScrollVertical::DrawControl(cairo_t* dc, const Rect&) {
    if (!m_barVisible || !EnsureStrip()) {
        return;
    }
    cairo_surface_t* strip = m_image.get();
    const int frameW = cairo_image_surface_get_width(strip) / kStripFrames;
    const int frameH = cairo_image_surface_get_height(strip);
    auto threeSlice = [&](int frame, const Rect& dest) {
        const int sx = frame * frameW;
        MRender::DrawImageFrameMID(dc, strip, dest, sx, 0, frameW, frameH, 0, kSliceEnd, 0,
                                   kSliceEnd);
    };
    threeSlice(0, m_rect);
    threeSlice(m_thumbState == 1 ? 1 : 2, m_thumb);
}

void CScrollHorizontal::DrawControl(cairo_t* dc, const Rect&) {
    if (!m_barVisible) {
        return;
    }
    const int middle = (m_rect.top + m_rect.bottom) / 2;
    MRender::DrawLine(dc, {m_rect.left, middle}, {m_rect.right - 1, middle}, kHorizontalTrackLine);
    if (!EnsureStrip()) {
        return;
    }
    cairo_surface_t* strip = m_image.get();
    const int rowW = cairo_image_surface_get_width(strip);
    const int rowH = cairo_image_surface_get_height(strip) / kStripFrames;
    const int row = m_thumbState == 2 ? 3 : m_thumbState == 1 ? 2 : 1;
    MRender::DrawImageFrameMID(dc, strip, m_thumb, 0, row * rowH, rowW, rowH, kSliceEnd, 0,
                               kSliceEnd, 0);
}

} // namespace VellumUI
