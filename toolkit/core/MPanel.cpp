#include "toolkit/core/MPanel.h"

#include "toolkit/core/ControlFactory.h"
#include "toolkit/core/PaintManager.h"

#include <cairo.h>

namespace VellumUI {

MPanel::MPanel() {
    auto vertical = std::make_unique<CScrollVertical>();
    vertical->SetID(kVerticalScrollId);
    vertical->SetParent(this);
    vertical->SetPixelMode(true);
    m_vscroll = static_cast<CScrollVertical*>(AddChild(kControlList, std::move(vertical)));
    auto horizontal = std::make_unique<CScrollHorizontal>();
    horizontal->SetID(kHorizontalScrollId);
    horizontal->SetParent(this);
    horizontal->SetPixelMode(true);
    m_hscroll = static_cast<CScrollHorizontal*>(AddChild(kControlList, std::move(horizontal)));
}

MControl* MPanel::CreateControl(ControlListKind kind, MObject* parent,
                                const std::wstring& className, unsigned id, const Rect& rect,
                                const std::wstring& text, int a, int b) {
    std::unique_ptr<MControl> control =
        ControlFactory::Create(ControlFactory::kPanel, className, {parent, id, rect, text, a, b});
    if (!control) {
        return nullptr;
    }
    if (m_manager) {
        control->InitControl(m_manager);
    }
    return AddChild(kind, std::move(control));
}

MControl* MPanel::CreateControl(const std::wstring& className, unsigned id, const Rect& rect,
                                const std::wstring& text, int a, int b) {
    return CreateControl(kControlList, this, className, id, rect, text, a, b);
}

MControl* MPanel::CreateArea(const std::wstring& className, unsigned id, const Rect& rect,
                             const std::wstring& text, int a, int b) {
    return CreateControl(kAreaList, this, className, id, rect, text, a, b);
}

LRESULT MPanel::OnBaseMessage(unsigned id, unsigned code, WPARAM wParam, LPARAM lParam) {
    return OnMessage(id, code, wParam, lParam);
}

LRESULT MPanel::OnMessage(unsigned id, unsigned code, WPARAM wParam, LPARAM lParam) {
    if ((id == kVerticalScrollId || id == kHorizontalScrollId) && code == kNotifyScrollPos) {
        // The content moved under the bars.
        UpdateControl(true);
    }
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

LRESULT MPanel::OnControlUpdate(const Rect& rect, bool redraw, MControl* control) {
    if (redraw && control) {
        control->SetUpdate(false, 0);
    }
    Rect area = rect;
    if (m_initialized && control) {
        std::lock_guard guard(m_controlsLock);
        bool after = false;
        for (const auto& child : m_controls) {
            if (child.get() == control) {
                after = true;
                continue;
            }
            if (after && child->IsVisible() && child->GetRect().Intersects(rect)) {
                child->SetUpdate(false, 0);
                area = area.Union(child->GetRect());
            }
        }
    }
    const bool isBar = control == m_vscroll || control == m_hscroll;
    if (!isBar) {
        const Point offset = GetScrollOffset();
        area = area.Offset(-offset.x, -offset.y);
    }
    area = area.Intersect(m_rect);
    if (area.IsEmpty() || !m_parent) {
        return 0;
    }
    return m_parent->OnControlUpdate(area, false, this);
}

void MPanel::InitControl(PaintManager* manager) {
    MControlFont::InitControl(manager);
    std::lock_guard guard(m_controlsLock);
    for (auto& child : m_controls) {
        child->InitControl(manager);
    }
    m_initialized = true;
}

void MPanel::SetControlRect(const Rect& rect) {
    MControlFont::SetControlRect(rect);
    LayoutScrollBars();
}

void MPanel::SetContentSize(int width, int height) {
    m_contentWidth = std::max(0, width);
    m_contentHeight = std::max(0, height);
    LayoutScrollBars();
}

void MPanel::LayoutScrollBars() {
    m_vscroll->SetControlRect(
        {m_rect.right - kScrollThickness, m_rect.top, m_rect.right, m_rect.bottom});
    m_hscroll->SetControlRect(
        {m_rect.left, m_rect.bottom - kScrollThickness, m_rect.right, m_rect.bottom});
    m_vscroll->SetScrollMaxRange(m_contentHeight);
    m_hscroll->SetScrollMaxRange(m_contentWidth);
}

Point MPanel::GetScrollOffset() const {
    if (!m_scrollEnabled) {
        return {};
    }
    return {m_hscroll->IsBarVisible() ? m_hscroll->GetScrollCurrentPos() : 0,
            m_vscroll->IsBarVisible() ? m_vscroll->GetScrollCurrentPos() : 0};
}

bool MPanel::OnMousePointChange(Point& p) {
    const Point offset = GetScrollOffset();
    if (offset.x == 0 && offset.y == 0) {
        return false;
    }
    p.x += offset.x;
    p.y += offset.y;
    return true;
}

void MPanel::DrawSubControls(cairo_t* dc, const Rect& rect) {
    const Point offset = GetScrollOffset();
    std::lock_guard guard(m_controlsLock);
    cairo_save(dc);
    cairo_rectangle(dc, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height());
    cairo_clip(dc);
    cairo_translate(dc, -offset.x, -offset.y);
    const Rect scrolled = rect.Offset(offset.x, offset.y);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i].get();
        if (child != m_vscroll && child != m_hscroll && child->IsVisible()) {
            child->Draw(dc, scrolled);
        }
    }
    cairo_restore(dc);
    // The bars stay in place over the content.
    for (MControl* bar : {static_cast<MControl*>(m_vscroll), static_cast<MControl*>(m_hscroll)}) {
        if (bar->IsVisible()) {
            bar->Draw(dc, rect);
        }
    }
}

} // namespace VellumUI
