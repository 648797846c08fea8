// A container control: creates its children by class name, owns a vertical
// and a horizontal scroll bar (ids 1 and 2, 7 pixels thick) and scrolls its
// content by their positions. Notifications of its children pass through
// its OnMessage to its own parent. UI thread only (OnControlUpdate also from
// the tick thread, like every update request).
#pragma once

#include "toolkit/core/MControlFont.h"
#include "toolkit/core/MScroll.h"

namespace VellumUI {

class MPanel : public MControlFont {
public:
    static constexpr int kScrollThickness = 7;

    MPanel();

    virtual MControl* CreateArea(const std::wstring& className, unsigned id, const Rect& rect,
                                 const std::wstring& text, int a, int b);
    virtual MControl* CreateControl(ControlListKind kind, MObject* parent,
                                    const std::wstring& className, unsigned id, const Rect& rect,
                                    const std::wstring& text, int a, int b);
    virtual MControl* CreateControl(const std::wstring& className, unsigned id, const Rect& rect,
                                    const std::wstring& text, int a, int b);
    virtual bool OnControlKeyUp(UINT, UINT, UINT) { return false; }

    LRESULT OnBaseMessage(unsigned id, unsigned code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMessage(unsigned id, unsigned code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlUpdate(const Rect& rect, bool redraw, MControl* control) override;
    void InitControl(PaintManager* manager) override;
    void SetControlRect(const Rect& rect) override;
    bool OnMousePointChange(Point& p) override;
    void DrawControl(cairo_t*, const Rect&) override {}
    void DrawSubControls(cairo_t* dc, const Rect& rect) override;

    // The size of what the panel shows; the bars appear when it is larger
    // than the panel.
    void SetContentSize(int width, int height);
    int GetContentWidth() const { return m_contentWidth; }
    int GetContentHeight() const { return m_contentHeight; }
    void EnableScroll(bool on) { m_scrollEnabled = on; }
    bool IsScrollEnabled() const { return m_scrollEnabled; }
    // The content offset the bars give (0, 0 when scrolling is off).
    Point GetScrollOffset() const;
    CScrollVertical* GetVerticalScroll() const { return m_vscroll; }
    CScrollHorizontal* GetHorizontalScroll() const { return m_hscroll; }
    bool IsInitialized() const { return m_initialized; }

protected:
    void LayoutScrollBars();

    CScrollVertical* m_vscroll = nullptr;   // owned by the controls list
    CScrollHorizontal* m_hscroll = nullptr; // owned by the controls list
    bool m_scrollEnabled = true;
    int m_contentWidth = 0;
    int m_contentHeight = 0;
    bool m_initialized = false;
};

} // namespace VellumUI
