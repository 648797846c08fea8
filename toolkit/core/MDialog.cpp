#include "toolkit/core/MDialog.h"

#include "toolkit/platform/Messages.h"

namespace VellumUI {

namespace {

// The default overlay box: 200 pixels wide, from 60 to 2 pixels above the
// client's bottom.
constexpr int kMessageBoxWidth = 200;
constexpr int kOverlayTop = 60;
constexpr int kOverlayBottom = 2;

bool IsZeroRect(const Rect& r) {
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

} // namespace

MDialog::MDialog() : m_manager(this) {}

MDialog::~MDialog() {
    // Tear the window down while the dialog is still whole.
    if (IsWindow()) {
        DestroyWindow();
    }
    m_manager.DestroyData();
}

LRESULT MDialog::OnBaseMessage(unsigned id, unsigned code, WPARAM wParam, LPARAM lParam) {
    return OnMessage(id, code, wParam, lParam);
}

LRESULT MDialog::OnControlUpdate(const Rect& rect, bool redraw, MControl* control) {
    return m_manager.OnControlUpdate(rect, redraw, control);
}

LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const Point p = PointFromParam(lParam);
    switch (msg) {
    case WM_CREATE:
        OnCreate(lParam);
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_SIZE:
        OnSize(wParam, static_cast<int>(lParam & 0xFFFF),
               static_cast<int>((lParam >> 16) & 0xFFFF));
        break;
    case WM_PAINT:
        OnPaint();
        break;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(lParam);
        break;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(lParam);
        break;
    case WM_NCACTIVATE:
        OnNcActivate(wParam != 0);
        break;
    case WM_TIMER:
        OnTimer(wParam);
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, p);
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(wParam, p);
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(wParam, p);
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(wParam, p);
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(wParam, p);
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(wParam, p);
        break;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(wParam, p);
        break;
    case WM_MOUSEHOVER:
        OnMouseHover(wParam, p);
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, lParam);
        break;
    case WM_KEYDOWN:
        OnKeyDown(wParam, lParam);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_USERCLOSE:
        return OnUserCloseWindow(wParam, lParam);
    default:
        break;
    }
    LRESULT result = 0;
    if (m_manager.MessageHandler(msg, wParam, lParam, result)) {
        return result;
    }
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

bool MDialog::PreTranslateMessage(const Msg& msg) {
    return m_manager.PreTranslateMessage(msg);
}

bool MDialog::OnInitDialog() {
    m_manager.Init(m_hwnd, this);
    m_clientRect = GetClientRect();
    InitUI(m_clientRect);
    return true;
}

void MDialog::OnDestroyMessage(HWND) {
    m_manager.DestroyData();
    PostNcDestroy();
}

Point MDialog::GetAirBladderPoint(MControl* control, int type) {
    if (!control || !IsWindow()) {
        return {};
    }
    const Rect r = control->GetRect();
    const int x = type == 0 ? r.left : type == 1 ? (r.left + r.right) / 2 : r.right;
    return GetPlatform()->ClientToScreen(m_hwnd, {x, r.bottom});
}

void MDialog::OnMinimize() {
    ShowWindow(SW_MINIMIZE);
}

void MDialog::OnMaximize() {
    ShowWindow(IsWindow() && GetPlatform()->IsZoomed(m_hwnd) ? SW_RESTORE : SW_MAXIMIZE);
}

LRESULT MDialog::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
    PostMessage(WM_CLOSE, wParam, lParam);
    return 1;
}

LRESULT MDialog::OnSize(WPARAM type, int, int) {
    if (type == SIZE_MINIMIZED) {
        return 0;
    }
    m_clientRect = GetClientRect();
    if (m_clientRect.Width() > 1 && m_clientRect.Height() > 1) {
        UISize(m_clientRect);
    }
    m_manager.Invalidate();
    return 0;
}

void MDialog::SetLayeredAttributes(std::uint32_t colourKey, int alpha) {
    m_colourKey = colourKey;
    m_alpha = alpha;
    if (alpha != 255 || colourKey != 0xFFFFFF) {
        m_manager.SetLayeredWindow(true);
    }
}

void MDialog::PostCloseRequest(WPARAM result) {
    PostMessage(WM_USERCLOSE, result, 0);
}

MControl* MDialog::CreateControl(const std::wstring& className, unsigned id, const Rect& rect,
                                 const std::wstring& text, int a, int b) {
    return m_manager.CreateControl(kControlList, this, className, id, rect, text, a, b);
}

MControl* MDialog::CreateArea(const std::wstring& className, unsigned id, const Rect& rect,
                              const std::wstring& text, int a, int b) {
    return m_manager.CreateControl(kAreaList, this, className, id, rect, text, a, b);
}

void MDialog::SetMessage(const std::wstring& text, const Rect& rect, int level) {
    Rect box = rect;
    if (IsZeroRect(rect) || rect.IsEmpty()) {
        const Rect client = GetClientRect();
        const int left = (client.Width() - kMessageBoxWidth) / 2;
        box = {left, client.bottom - kOverlayTop + m_messageOffset, left + kMessageBoxWidth,
               client.bottom - kOverlayBottom + m_messageOffset};
    }
    m_manager.SetMessage(text, box, level);
}

void MDialog::SetProgress(int percent, const std::wstring& text, const Rect& rect) {
    m_manager.SetProgress(percent, text, rect);
}

} // namespace VellumUI
