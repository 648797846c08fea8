#include "toolkit/core/MControl.h"

#include "toolkit/core/ChildList.h"
#include "toolkit/core/PaintManager.h"

#include <algorithm>
#include <cairo.h>

namespace VellumUI {

MControl::MControl() = default;

MControl::~MControl() {
    RemoveAllControl();
    if (m_manager) {
        m_manager->ForgetControl(this);
    }
}

void MControl::InitControl(PaintManager* manager) {
    m_manager = manager;
}

bool MControl::PtInRect(Point p) const {
    return m_visible && m_rect.Contains(p);
}

Point MControl::PointFor(const MControl* child, Point outer, Point inner) {
    const unsigned id = child->GetID();
    return (id == kVerticalScrollId || id == kHorizontalScrollId) ? outer : inner;
}

LRESULT MControl::OnControlUpdate(const Rect& rect, bool redraw, MControl* control) {
    if (redraw && control) {
        control->SetUpdate(false, 0);
    }
    return m_parent ? m_parent->OnControlUpdate(rect, false, this) : 0;
}

void MControl::DrawSubControls(cairo_t* dc, const Rect& rect) {
    std::lock_guard guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i]->IsVisible()) {
            m_controls[i]->Draw(dc, rect);
        }
    }
}

void MControl::Draw(cairo_t* dc, const Rect& rect) {
    if (!m_visible || !m_rect.Intersects(rect)) {
        return;
    }
    {
        std::lock_guard guard(m_areasLock);
        for (size_t i = 0; i < m_areas.size(); ++i) {
            if (m_areas[i]->GetRect().Intersects(m_rect)) {
                m_areas[i]->Draw(dc, rect);
            }
        }
    }
    DrawControl(dc, rect);
    DrawSubControls(dc, rect);
}

void MControl::SetUpdate(bool clean, std::uint32_t colour) {
    m_clean = clean;
    {
        std::lock_guard guard(m_areasLock);
        for (auto& child : m_areas) {
            if (child->GetRect().Intersects(m_rect)) {
                child->SetUpdate(clean, colour);
            }
        }
    }
    std::lock_guard guard(m_controlsLock);
    for (auto& child : m_controls) {
        if (child->GetRect().Intersects(m_rect)) {
            child->SetUpdate(clean, colour);
        }
    }
}

void MControl::SetControlFocus(bool focus) {
    if (focus) {
        return;
    }
    m_focused = false;
    std::lock_guard guard(m_controlsLock);
    for (auto& child : m_controls) {
        child->SetControlFocus(false);
    }
}

void MControl::SetControlRect(const Rect& rect) {
    m_rect = rect;
    OnPositionChange();
}

void MControl::SetControlVisible(bool visible) {
    m_visible = visible;
}

void MControl::SetControlEnabled(bool enabled) {
    m_enabled = enabled;
}

bool MControl::OnControlSetCursor(WPARAM, Point p) {
    if (!m_cursor || !m_rect.Contains(p) || !m_manager) {
        return false;
    }
    m_manager->SetCursor(*m_cursor);
    return true;
}

bool MControl::OnControlKeyDown(UINT key, UINT, UINT modifiers) {
    return m_hotKey != 0 && key == m_hotKey && modifiers == m_hotKeyModifiers;
}

void MControl::InvalidateRect(const Rect&, bool erase) {
    if (m_manager) {
        m_manager->InvalidateRect(m_rect, erase);
    }
}

MControl* MControl::HitChild(Point outer, Point inner, bool needEnabled) const {
    std::lock_guard guard(m_controlsLock);
    for (size_t i = m_controls.size(); i-- > 0;) {
        MControl* child = m_controls[i].get();
        if (child->IsVisible() && child->IsResponse() && (!needEnabled || child->IsEnabled()) &&
            child->PtInRect(PointFor(child, outer, inner))) {
            return child;
        }
    }
    return nullptr;
}

bool MControl::TakeFocus() {
    if (!m_manager || m_manager->GetFocusControl() == this) {
        return false;
    }
    if (MControl* old = m_manager->GetFocusControl()) {
        old->SetControlFocus(false);
    }
    SetControlFocus(true);
    m_manager->SetFocusControlQuiet(this);
    return true;
}

void MControl::RouteMoveToChildren(WPARAM flags, Point outer, Point inner, bool& anyTrue) {
    std::lock_guard guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i].get();
        const Point p = PointFor(child, outer, inner);
        if (child->OnMouseMove(flags, p)) {
            anyTrue = true;
            if (child->PtInRect(p)) {
                m_hover = child;
            }
        }
    }
}

bool MControl::OnMouseMove(WPARAM flags, Point p) {
    if (!m_visible || !m_response) {
        return false;
    }
    Point inner = p;
    OnMousePointChange(inner);
    const bool hadHover = m_hover != nullptr;
    if (m_hover) {
        const Point hp = PointFor(m_hover, p, inner);
        if (m_pressedInside ||
            (m_hover->PtInRect(hp) && m_hover->OnCheckMouseResponse(flags, hp))) {
            m_hover->OnMouseMove(flags, hp);
            return true;
        }
    }
    m_hover = nullptr;
    if (!m_tooltip.empty() && m_rect.Contains(p) && OnCheckMouseResponse(flags, p) && m_manager &&
        m_manager->GetTooltipOwner() != this) {
        m_manager->SetTooltip(m_tooltip, m_rect);
        m_manager->SetTooltipOwner(this);
        m_manager->SetTooltipCtrlID(m_id);
    }
    OnControlSetCursor(flags, p);
    bool result = OnControlMouseMove(flags, p);
    if (!m_pressedInside) {
        RouteMoveToChildren(flags, p, inner, result);
    }
    return m_hover != nullptr || hadHover || result;
}

bool MControl::RouteButtonDown(WPARAM flags, Point p, Handler route, Handler own) {
    if (!m_visible || !m_response) {
        return false;
    }
    m_pressedInside = m_rect.Contains(p);
    Point inner = p;
    OnMousePointChange(inner);
    m_hover = HitChild(p, inner, true);
    if (m_hover) {
        return (m_hover->*route)(flags, PointFor(m_hover, p, inner));
    }
    TakeFocus();
    return (this->*own)(flags, p);
}

bool MControl::RouteButtonUp(WPARAM flags, Point p, Handler route, Handler own) {
    m_pressedInside = false;
    if (m_hover) {
        Point inner = p;
        OnMousePointChange(inner);
        return (m_hover->*route)(flags, PointFor(m_hover, p, inner));
    }
    return (this->*own)(flags, p);
}

std::optional<bool> MControl::RouteDoubleClickToChild(WPARAM flags, Point p, Handler doubleClick,
                                                      Handler press) {
    Point inner = p;
    OnMousePointChange(inner);
    if (!m_hover) {
        m_hover = HitChild(p, inner, true);
    }
    if (!m_hover) {
        return std::nullopt;
    }
    MControl* child = m_hover;
    const Point cp = PointFor(child, p, inner);
    const bool consumed = (child->*doubleClick)(flags, cp);
    if (!consumed && !child->GetDblClk()) {
        return (child->*press)(flags, cp);
    }
    return consumed;
}

bool MControl::OnLButtonDown(WPARAM flags, Point p) {
    return RouteButtonDown(flags, p, &MControl::OnLButtonDown, &MControl::OnControlLButtonDown);
}

bool MControl::OnLButtonUp(WPARAM flags, Point p) {
    return RouteButtonUp(flags, p, &MControl::OnLButtonUp, &MControl::OnControlLButtonUp);
}

bool MControl::OnLButtonDblClk(WPARAM flags, Point p) {
    if (!m_visible || !m_response) {
        return false;
    }
    if (auto routed = RouteDoubleClickToChild(flags, p, &MControl::OnLButtonDblClk,
                                              &MControl::OnLButtonDown)) {
        return *routed;
    }
    if (!m_dblClk) {
        return OnControlLButtonDown(flags, p);
    }
    if (m_notifyDblClk && m_rect.Contains(p)) {
        SendMessageW(kNotifyDblClk, flags, MakePointParam(p.x, p.y));
    }
    return OnControlLButtonDblClk(flags, p);
}

bool MControl::OnRButtonDown(WPARAM flags, Point p) {
    return RouteButtonDown(flags, p, &MControl::OnRButtonDown, &MControl::OnControlRButtonDown);
}

bool MControl::OnRButtonUp(WPARAM flags, Point p) {
    return RouteButtonUp(flags, p, &MControl::OnRButtonUp, &MControl::OnControlRButtonUp);
}

bool MControl::OnRButtonDblClk(WPARAM flags, Point p) {
    if (!m_visible || !m_response) {
        return false;
    }
    if (auto routed = RouteDoubleClickToChild(flags, p, &MControl::OnRButtonDblClk,
                                              &MControl::OnRButtonDown)) {
        return *routed;
    }
    return m_dblClk ? OnControlRButtonDblClk(flags, p) : OnControlRButtonDown(flags, p);
}

bool MControl::OnScroll(int kind, int direction, Point p) {
    if (!m_visible || !m_enabled || !m_response) {
        return false;
    }
    Point inner = p;
    OnMousePointChange(inner);
    if (m_hover) {
        const Point hp = PointFor(m_hover, p, inner);
        if (m_hover->PtInRect(hp) && m_hover->OnCheckMouseResponse(0, hp) &&
            m_hover->OnScroll(kind, direction, hp)) {
            return true;
        }
    }
    if (!m_rect.Contains(p)) {
        return false;
    }
    if (OnControlScroll(kind, direction, p)) {
        return true;
    }
    std::lock_guard guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* child = m_controls[i].get();
        const Point cp = PointFor(child, p, inner);
        if (child->PtInRect(cp) && child->OnScroll(kind, direction, cp)) {
            return true;
        }
    }
    return false;
}

bool MControl::OnKeyDown(UINT key, UINT repeat, UINT modifiers) {
    if (!m_visible || !m_response) {
        return false;
    }
    {
        std::lock_guard guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            if (m_controls[i]->IsFocused()) {
                return m_controls[i]->OnKeyDown(key, repeat, modifiers);
            }
        }
    }
    bool consumed = m_hover && m_hover->OnKeyDown(key, repeat, modifiers);
    if (!consumed) {
        consumed = OnControlKeyDown(key, repeat, modifiers);
    }
    if (!consumed) {
        std::lock_guard guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size() && !consumed; ++i) {
            consumed = m_controls[i]->OnKeyDown(key, repeat, modifiers);
        }
    }
    if (m_notifyKey) {
        SendMessageW(kNotifyKey, key, modifiers);
    }
    return consumed;
}

void MControl::OnTimer() {
    OnControlTimer();
    std::lock_guard guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i]->IsRunTimer() && m_controls[i]->IsVisible()) {
            m_controls[i]->OnTimer();
        }
    }
}

void MControl::SetRect(const Rect& rect) {
    const Rect old = m_rect;
    SetControlRect(rect);
    if (m_visible && m_parent) {
        m_parent->OnControlUpdate(old.Union(m_rect), true, this);
    }
}

void MControl::SetVisible(bool visible) {
    SetVisible(visible, true);
}

void MControl::SetVisible(bool visible, bool repaint) {
    if (visible == m_visible) {
        return;
    }
    SetControlVisible(visible);
    if (repaint && m_parent) {
        m_parent->OnControlUpdate(m_rect, true, this);
    }
}

bool MControl::IsParentVisible() const {
    if (!m_parent) {
        return false;
    }
    if (m_parent->GetClassNameW() == L"MDialog") {
        return true;
    }
    if (auto* control = dynamic_cast<const MControl*>(m_parent)) {
        return control->IsVisible() && control->IsParentVisible();
    }
    // A popup window's own object.
    return true;
}

void MControl::SetEnabled(bool enabled) {
    if (enabled == m_enabled) {
        return;
    }
    SetControlEnabled(enabled);
    if (m_visible) {
        UpdateControl(true);
    }
}

void MControl::SetTooltip(const std::wstring& text, const Rect& rect) {
    if (!m_manager) {
        return;
    }
    m_manager->SetTooltip(text, rect);
    m_manager->SetTooltipOwner(this);
    m_manager->SetTooltipCtrlID(m_id);
}

void MControl::ClearTooltip() {
    m_tooltip.clear();
    if (m_manager && m_manager->GetTooltipOwner() == this) {
        m_manager->ClearTooltip();
    }
}

void MControl::SetCursorEx(const std::wstring& name) {
    static const std::pair<const wchar_t*, CursorKind> kCursors[] = {
        {L"arrow", CursorKind::Arrow},   {L"wait", CursorKind::Wait},
        {L"cross", CursorKind::Cross},   {L"sizewe", CursorKind::SizeWE},
        {L"sizens", CursorKind::SizeNS}, {L"hand", CursorKind::Hand},
        {L"help", CursorKind::Help},
    };
    for (const auto& [n, kind] : kCursors) {
        if (name == n) {
            m_cursor = kind;
            return;
        }
    }
}

void MControl::UpdateControl(bool redraw, bool force) {
    if ((m_visible || force) && m_parent) {
        m_parent->OnControlUpdate(m_rect, redraw, this);
    }
}

void MControl::UpdateControl(const Rect& rect, bool force, bool redraw) {
    if ((m_visible || force) && m_parent) {
        m_parent->OnControlUpdate(rect, redraw, this);
    }
}

void MControl::UpdateAControl(bool animate, bool force) {
    if (!animate) {
        m_animateClean = false;
    }
    if ((m_visible || force) && m_parent) {
        m_parent->OnControlUpdate(m_rect, false, this);
    }
}

void MControl::AddMTimer() {
    if (m_manager) {
        m_manager->AddMTimer(this);
    }
}

MControl* MControl::AddChild(ControlListKind kind, std::unique_ptr<MControl> child) {
    if (!child) {
        return nullptr;
    }
    MControl* raw = child.get();
    if (kind == kAreaList) {
        std::lock_guard guard(m_areasLock);
        m_areas.push_back(std::move(child));
    } else {
        std::lock_guard guard(m_controlsLock);
        m_controls.push_back(std::move(child));
    }
    return raw;
}

MControl* MControl::GetControl(unsigned id) const {
    if (MControl* found = FindChildById(m_controls, m_controlsLock, id)) {
        return found;
    }
    return FindChildById(m_areas, m_areasLock, id);
}

std::vector<MControl*> MControl::GetControls() const {
    return SnapshotChildren(m_controls, m_controlsLock);
}

std::vector<MControl*> MControl::GetAreas() const {
    return SnapshotChildren(m_areas, m_areasLock);
}

bool MControl::RemoveControl(MControl* child) {
    if (!child) {
        return false;
    }
    if (m_manager && m_manager->GetFocusControl() == child) {
        child->SetControlFocus(false);
        m_manager->SetFocusControlQuiet(nullptr);
    }
    std::unique_ptr<MControl> doomed;
    {
        std::lock_guard guard(m_controlsLock);
        auto it = std::find_if(m_controls.begin(), m_controls.end(),
                               [child](const auto& c) { return c.get() == child; });
        if (it != m_controls.end()) {
            doomed = std::move(*it);
            m_controls.erase(it);
        }
    }
    if (!doomed) {
        std::lock_guard guard(m_areasLock);
        auto it = std::find_if(m_areas.begin(), m_areas.end(),
                               [child](const auto& c) { return c.get() == child; });
        if (it != m_areas.end()) {
            doomed = std::move(*it);
            m_areas.erase(it);
        }
    }
    ForgetControl(child);
    if (!doomed) {
        return false;
    }
    if (m_manager) {
        m_manager->ReleaseTicks(doomed.get());
    }
    return true;
}

void MControl::RemoveAllControl() {
    std::vector<std::unique_ptr<MControl>> areas;
    std::vector<std::unique_ptr<MControl>> controls;
    {
        std::lock_guard guard(m_areasLock);
        areas.swap(m_areas);
    }
    {
        std::lock_guard guard(m_controlsLock);
        controls.swap(m_controls);
    }
    m_hover = nullptr;
    if (m_manager) {
        for (auto* list : {&areas, &controls}) {
            for (const auto& c : *list) {
                m_manager->ReleaseTicks(c.get());
            }
        }
    }
    areas.clear();
    controls.clear();
}

void MControl::ForgetControl(MControl* control) {
    if (m_hover == control) {
        m_hover = nullptr;
    }
}

LRESULT MControl::SendMessageW(unsigned code, WPARAM wParam, LPARAM lParam) {
    return m_parent ? m_parent->OnBaseMessage(m_id, code, wParam, lParam) : 0;
}

cairo_t* MControl::PrepareCache(cairo_t* dc, Surface& cache, Context& cr, int width, int height) {
    const int cellWidth = m_rect.Width();
    if (!dc || width <= 0 || height <= 0 || cellWidth <= 0) {
        return nullptr;
    }
    if (!cache || cache.Width() != width || cache.Height() != height) {
        cache = Surface::CreateARGB32(width, height);
        cr = Context(cache.Get());
    }
    if (!cr) {
        return nullptr;
    }
    cairo_t* c = cr.Get();
    cairo_identity_matrix(c);
    cairo_reset_clip(c);
    cairo_new_path(c);
    // What lies under the control now, in every cell.
    double x = m_rect.left, y = m_rect.top;
    cairo_user_to_device(dc, &x, &y);
    cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
    for (int left = 0; left < width; left += cellWidth) {
        cairo_set_source_surface(c, cairo_get_target(dc), left - x, -y);
        cairo_rectangle(c, left, 0, cellWidth, height);
        cairo_fill(c);
    }
    cairo_set_operator(c, CAIRO_OPERATOR_OVER);
    cairo_translate(c, -m_rect.left, -m_rect.top);
    return c;
}

cairo_t* MControl::UpdateMemDC(cairo_t* dc, int width, int height) {
    m_clean = true;
    return PrepareCache(dc, m_cache, m_cacheContext, width, height);
}

cairo_t* MControl::UpdateAnimateDC(cairo_t* dc, int width, int height) {
    m_animateClean = true;
    return PrepareCache(dc, m_animate, m_animateContext, width, height);
}

namespace {

void CopyCell(cairo_t* dc, cairo_surface_t* cache, const Rect& rect, int cell) {
    if (!dc || !cache) {
        return;
    }
    cairo_save(dc);
    cairo_rectangle(dc, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_clip(dc);
    cairo_set_operator(dc, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(dc, cache, rect.left - cell * rect.Width(), rect.top);
    cairo_paint(dc);
    cairo_restore(dc);
}

} // namespace

void MControl::DrawMemDC(cairo_t* dc, int cell) {
    CopyCell(dc, m_cache.Get(), m_rect, cell);
}

void MControl::DrawAnimateDC(cairo_t* dc) {
    CopyCell(dc, m_animate.Get(), m_rect, 0);
}

} // namespace VellumUI
