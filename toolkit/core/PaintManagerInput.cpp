// Input routing of the paint manager: mouse, wheel, keys, tab order, focus
// and the window drag.
#include "toolkit/core/PaintManager.h"

#include "toolkit/core/Manager.h"
#include "toolkit/platform/Messages.h"

namespace VellumUI {

namespace {

// The modifier value handed to key handlers: the bitwise OR of 16 (Shift),
// 17 (Ctrl) and 18 (Alt), so Ctrl alone and Ctrl+Shift both give 17.
constexpr UINT kShiftValue = 16;
constexpr UINT kControlValue = 17;
constexpr UINT kAltValue = 18;
const Point kNowhere{-1, -1};

} // namespace

UINT PaintManager::ModifierValue() {
    Platform* platform = Manager::GetPlatform();
    UINT value = 0;
    if (platform->GetKeyState(VK_SHIFT)) {
        value |= kShiftValue;
    }
    if (platform->GetKeyState(VK_CONTROL)) {
        value |= kControlValue;
    }
    if (platform->GetKeyState(VK_MENU)) {
        value |= kAltValue;
    }
    return value;
}

bool PaintManager::PreTranslateMessage(const Msg& msg) {
    if (msg.hwnd != m_hwnd) {
        return false;
    }
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
        if (m_tooltip) {
            m_tooltip->RelayEvent(msg);
        }
        return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        if (msg.wParam != VK_TAB) {
            return false;
        }
        const UINT modifiers = ModifierValue();
        if (modifiers != 0 && modifiers != kShiftValue) {
            return false;
        }
        return MoveTabFocus(modifiers == kShiftValue);
    }
    default:
        return false;
    }
}

bool PaintManager::MoveTabFocus(bool backward) {
    MControl* next = nullptr;
    {
        std::lock_guard guard(m_controlsLock);
        auto focusable = [](const MControl* c) {
            return c->IsVisible() && c->IsEnabled() && c->IsTabStop();
        };
        const size_t count = m_controls.size();
        size_t start = count;
        for (size_t i = 0; i < count; ++i) {
            if (m_controls[i].get() == m_focus) {
                start = i;
            }
        }
        // Scan from the one after (or before) the focus, wrapping round.
        for (size_t step = 1; step <= count && !next; ++step) {
            size_t index;
            if (start == count) {
                index = backward ? count - step : step - 1;
            } else {
                index = backward ? (start + count - step) % count : (start + step) % count;
            }
            if (focusable(m_controls[index].get())) {
                next = m_controls[index].get();
            }
        }
    }
    if (!next || next == m_focus) {
        return false;
    }
    SetFocusControl(next);
    return true;
}

void PaintManager::SetFocusControl(MControl* control) {
    if (control == m_focus) {
        return;
    }
    if (m_focus) {
        m_focus->SetControlFocus(false);
    }
    if (control) {
        control->SetControlFocus(true);
    }
    m_focus = control;
}

void PaintManager::OnMouseMove(WPARAM flags, Point p) {
    if (!m_tracking) {
        m_tracking = GetPlatform()->TrackMouseEvent(m_hwnd, true, true, kHoverTimeMs);
    }
    if (m_dragPending && (flags & MK_LBUTTON)) {
        // No control of this system offers dragging; a pending drag only
        // ends the press.
        m_dragPending = nullptr;
        m_leftPressed = false;
        return;
    }
    if (m_hover && m_hover->PtInRect(p) && m_hover->OnCheckMouseResponse(flags, p) && m_tracking) {
        m_hover->OnMouseMove(flags, p);
        return;
    }
    ClearTooltip();
    if (m_leftPressed || m_rightPressed) {
        return;
    }
    if (!m_tracking) {
        m_hover = nullptr;
        return;
    }
    std::lock_guard guard(m_controlsLock);
    // Every control sees the move, so that the one the pointer left can
    // drop its hover look.
    for (size_t i = 0; i < m_controls.size(); ++i) {
        m_controls[i]->OnMouseMove(flags, p);
    }
    m_hover = nullptr;
    for (size_t i = m_controls.size(); i-- > 0;) {
        MControl* c = m_controls[i].get();
        if (c->PtInRect(p) && c->IsResponse()) {
            m_hover = c;
            break;
        }
    }
}

void PaintManager::OnMouseLeave() {
    ClearTooltip();
    m_tracking = false;
    if (!m_leftPressed && !m_rightPressed && m_hover) {
        MControl* hover = m_hover;
        m_hover = nullptr;
        hover->OnMouseMove(0, kNowhere);
    }
}

void PaintManager::OnDeactivate() {
    m_tracking = false;
    if (m_captured) {
        m_captured = false;
        GetPlatform()->ReleaseCapture();
    }
    m_dblClk = false;
    m_rightDblClk = false;
    if (m_hover) {
        MControl* hover = m_hover;
        m_hover = nullptr;
        if (m_leftPressed || m_rightPressed) {
            hover->OnLButtonUp(0, kNowhere);
        } else {
            hover->OnMouseMove(0, kNowhere);
        }
    }
    // The button-up of a press that was under way goes elsewhere now.
    m_leftPressed = false;
    m_rightPressed = false;
    m_dragPending = nullptr;
    Invalidate();
}

bool PaintManager::PressHover(WPARAM flags, Point p, bool& pressed, MControl::Handler press) {
    if (m_focus && m_focus != m_hover) {
        m_focus->SetControlFocus(false);
        m_focus = nullptr;
    }
    if (!m_hover || !m_hover->IsVisible() || !m_hover->IsResponse() || !m_hover->PtInRect(p) ||
        !m_hover->OnCheckMouseResponse(flags, p)) {
        return false;
    }
    if (&pressed == &m_leftPressed && m_hover->IsDragDrop() && m_hover->IsEnabled()) {
        m_dragPending = m_hover;
        m_hover->GetControlDropBitmap();
    }
    pressed = true;
    m_focus = m_hover;
    (m_hover->*press)(flags, p);
    if (!m_captured && (!m_hover || m_hover->OnCheckMouseResponse(flags, p))) {
        GetPlatform()->SetCapture(m_hwnd);
        m_captured = true;
    }
    return true;
}

void PaintManager::ReleaseHover(WPARAM flags, Point p, bool& pressed, MControl::Handler release) {
    if (m_captured) {
        ReleaseCapture();
    }
    pressed = false;
    MControl* hover = m_hover;
    if (!hover || !hover->IsVisible() || !hover->IsResponse()) {
        m_hover = nullptr;
        return;
    }
    const Rect before = hover->GetRect();
    (hover->*release)(flags, p);
    if (m_hover != hover || !before.Contains(p)) {
        m_hover = nullptr;
    }
}

void PaintManager::DoubleClickHover(WPARAM flags, Point p, MControl::Handler doubleClick) {
    MControl* hover = m_hover;
    if (!hover) {
        return;
    }
    const Rect before = hover->GetRect();
    (hover->*doubleClick)(flags, p);
    if (m_hover == hover && !before.Contains(p)) {
        m_hover = nullptr;
    }
}

void PaintManager::OnLButtonDown(WPARAM flags, Point p) {
    m_dblClk = false;
    if (PressHover(flags, p, m_leftPressed, &MControl::OnLButtonDown)) {
        return;
    }
    if (m_wndDrag) {
        ReleaseCapture();
        GetPlatform()->BeginCaptionDrag(m_hwnd);
    }
}

void PaintManager::OnLButtonUp(WPARAM flags, Point p) {
    m_dragPending = nullptr;
    ReleaseHover(flags, p, m_leftPressed, &MControl::OnLButtonUp);
}

void PaintManager::OnLButtonDblClk(WPARAM flags, Point p) {
    m_dblClk = true;
    DoubleClickHover(flags, p, &MControl::OnLButtonDblClk);
}

void PaintManager::OnRButtonDown(WPARAM flags, Point p) {
    // A right press never drags, neither a control nor the window.
    m_rightDblClk = false;
    PressHover(flags, p, m_rightPressed, &MControl::OnRButtonDown);
}

void PaintManager::OnRButtonUp(WPARAM flags, Point p) {
    ReleaseHover(flags, p, m_rightPressed, &MControl::OnRButtonUp);
}

void PaintManager::OnRButtonDblClk(WPARAM flags, Point p) {
    m_rightDblClk = true;
    DoubleClickHover(flags, p, &MControl::OnRButtonDblClk);
}

void PaintManager::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    const int notches = WheelDeltaFromParam(wParam) / WHEEL_DELTA;
    const int direction = notches <= 0 ? 1 : 0;
    const Point screen = PointFromParam(lParam);
    const Rect window = GetPlatform()->GetWindowRect(m_hwnd);
    const Point p{screen.x - window.left, screen.y - window.top};
    for (int i = 0; i < std::abs(notches); ++i) {
        if (m_hover && m_hover->OnScroll(1, direction, p)) {
            continue;
        }
        std::lock_guard guard(m_controlsLock);
        for (size_t c = 0; c < m_controls.size(); ++c) {
            if (m_controls[c]->OnScroll(1, direction, p)) {
                break;
            }
        }
    }
}

void PaintManager::OnKeyDown(UINT key, UINT) {
    const UINT modifiers = ModifierValue();
    if (m_hover && m_hover->OnKeyDown(key, 1, modifiers)) {
        return;
    }
    std::lock_guard guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i]->OnKeyDown(key, 1, modifiers)) {
            return;
        }
    }
}

} // namespace VellumUI
