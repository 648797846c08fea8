// Scroll bars. MScroll keeps the range (maximum M, position C, page P, step
// S, end margin B), lays out the thumb and handles dragging and paging;
// CScrollVertical and CScrollHorizontal draw it from the window's scroll-bar
// strip. Every panel owns one of each (ids 1 and 2). UI thread only.
#pragma once

#include "toolkit/core/MControlFont.h"

namespace VellumUI {

class MScroll : public MControlFont {
public:
    explicit MScroll(bool vertical);

    // Moves the thumb by `delta` pixels within the track, recomputes the
    // position, repaints and reports notification 8; returns the distance
    // moved.
    virtual int MoveRange(int delta);
    // Lays out the thumb for the position over 0 … M.
    virtual void SetRange();
    // The same with the position over 0 … M − bar length (pixel offsets).
    virtual void SetRangeEx();

    // Page and step only when non-zero; a page clears the automatic page.
    void SetScrollInfo(int max, int position, int page, int step);
    void SetScrollMaxRange(int max);
    void SetScrollSize(int page, int step);
    void SetScrollCurrentPos(int position);
    void SetScrollCurrentPosEx(int position);
    void SetScrollFinalPos();
    // position += rows × step, kept within 0 … M; true when it changed.
    bool ScrollRow(int rows);
    int GetScrollMaxRange() const { return m_max; }
    int GetScrollCurrentPos() const { return m_pos; }
    int GetScrollPage() const { return m_page; }
    int GetScrollStep() const { return m_step; }
    void SetEndMargin(int margin) { m_margin = margin; }
    // Whether the pixel-offset mapping (SetRangeEx) is in use.
    void SetPixelMode(bool on) { m_pixelMode = on; }
    bool IsChangeing() const { return m_changing; }
    bool IsBarVisible() const { return m_barVisible; }
    const Rect& GetThumbRect() const { return m_thumb; }
    int GetThumbState() const { return m_thumbState; }
    bool IsVertical() const { return m_vertical; }

    bool PtInRect(Point p) const override;
    void SetControlRect(const Rect& rect) override;
    bool OnControlMouseMove(WPARAM flags, Point p) override;
    bool OnControlLButtonDown(WPARAM flags, Point p) override;
    bool OnControlLButtonUp(WPARAM flags, Point p) override;

protected:
    int Length() const { return m_vertical ? m_rect.Height() : m_rect.Width(); }
    int Start() const { return m_vertical ? m_rect.top : m_rect.left; }
    int End() const { return m_vertical ? m_rect.bottom : m_rect.right; }
    void Layout(bool pixelRange);
    void PlaceThumb(int start, int length);
    int ThumbStart() const { return m_vertical ? m_thumb.top : m_thumb.left; }
    int ThumbLength() const { return m_vertical ? m_thumb.Height() : m_thumb.Width(); }
    void Relayout() { Layout(m_pixelMode); }
    // The strip, loaded on first draw: the window's scroll resource, else
    // the skin file.
    bool EnsureStrip();

    bool m_vertical;
    int m_max = 1000;
    int m_pos = 0;
    int m_page = 0;
    int m_step = 10;
    int m_margin = 0;
    bool m_barVisible = false;
    bool m_changing = false;
    bool m_autoPage = true;
    bool m_pixelMode = false;
    Rect m_thumb;
    bool m_hoverBar = false;
    bool m_hoverThumb = false;
    int m_thumbState = 0;
    int m_anchor = 0;
    bool m_stripTried = false;
};

class CScrollVertical : public MScroll {
public:
    CScrollVertical() : MScroll(true) {}
    void DrawControl(cairo_t* dc, const Rect& rect) override;
};

class CScrollHorizontal : public MScroll {
public:
    CScrollHorizontal() : MScroll(false) {}
    void DrawControl(cairo_t* dc, const Rect& rect) override;
};

} // namespace VellumUI
