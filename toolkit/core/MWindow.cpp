#include "toolkit/core/MWindow.h"

#include "toolkit/core/MRender.h"
#include "toolkit/core/Manager.h"
#include "toolkit/core/Resources.h"
#include "toolkit/platform/Messages.h"

#include <algorithm>
#include <cairo.h>

namespace VellumUI {

namespace {

constexpr std::uint32_t kDefaultStyle = 0x80B;
constexpr Rect kDefaultRect{0, 0, 800, 600};
constexpr unsigned kNoWindowResult = 0xFFFFFFFF;

} // namespace

MWindow::~MWindow() {
    // A window outliving its object would call into freed memory.
    if (IsWindow()) {
        GetPlatform()->DestroyWindow(m_hwnd);
    }
}

Platform* MWindow::GetPlatform() {
    return Manager::GetPlatform();
}

HWND MWindow::GetSafeHwnd() const {
    return IsWindow() ? m_hwnd.load() : kNoWindow;
}

bool MWindow::IsWindow() const {
    return m_hwnd != kNoWindow && GetPlatform()->IsWindow(m_hwnd);
}

HWND MWindow::Create(HWND owner) {
    return Create(owner, L"VellumClient", kDefaultStyle, 0, kDefaultRect);
}

HWND MWindow::Create(HWND owner, const Rect& rect) {
    return Create(owner, L"VellumClient", kDefaultStyle, 0, rect);
}

HWND MWindow::Create(HWND owner, const std::wstring& name, std::uint32_t style,
                     std::uint32_t exStyle, const Rect& rect) {
    return Create(owner, name, style, exStyle, rect, 0);
}

HWND MWindow::Create(HWND owner, const std::wstring& name, std::uint32_t style,
                     std::uint32_t exStyle, const Rect& rect, unsigned) {
    if (IsWindow()) {
        return m_hwnd;
    }
    Platform* platform = GetPlatform();
    m_owner = owner;
    // There are no system classes to copy here: a superclass name only
    // names the window's class.
    const std::wstring className =
        GetWindowClassName().empty() ? GetSuperClassName() : GetWindowClassName();
    if (!platform->RegisterClass(className)) {
        return kNoWindow;
    }
    WindowParams params;
    params.className = className;
    params.title = name;
    params.owner = owner;
    params.rect = rect;
    params.kind = (exStyle & WS_EX_TOOLWINDOW) ? WindowKind::Tool
                  : (style & WS_POPUP)         ? WindowKind::Popup
                                               : WindowKind::TopLevel;
    params.topmost = (exStyle & WS_EX_TOPMOST) != 0;
    params.layered = (exStyle & WS_EX_LAYERED) != 0;
    const HWND hwnd = platform->CreateWindow(params, this);
    if (hwnd == kNoWindow) {
        return kNoWindow;
    }
    OnInitDialog();
    return GetSafeHwnd();
}

LRESULT MWindow::WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        m_hwnd = hwnd;
    }
    if (msg == WM_NCDESTROY) {
        const LRESULT result = GetPlatform()->DefWindowProc(hwnd, msg, wParam, lParam);
        m_hwnd = kNoWindow;
        OnDestroyMessage(hwnd);
        return result;
    }
    return OnWindowMessage(msg, wParam, lParam);
}

LRESULT MWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return GetPlatform()->DefWindowProc(m_hwnd, msg, wParam, lParam);
}

bool MWindow::ShowWindow(int cmd) {
    return IsWindow() && GetPlatform()->ShowWindow(m_hwnd, cmd);
}

unsigned MWindow::ShowModal(int cmd) {
    if (!IsWindow()) {
        return kNoWindowResult;
    }
    Platform* platform = GetPlatform();
    // The object may be deleted by its own teardown inside the loop: keep
    // what the loop needs in locals.
    const HWND hwnd = m_hwnd;
    const HWND owner = m_owner;
    ShowWindow(cmd);
    if (owner != kNoWindow) {
        platform->EnableWindow(owner, false);
    }
    unsigned result = 0;
    bool quit = false;
    int quitCode = 0;
    Msg msg;
    while (platform->IsWindow(hwnd)) {
        if (!platform->GetMessage(msg)) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == hwnd) {
            result = static_cast<unsigned>(msg.wParam);
            if (owner != kNoWindow) {
                platform->EnableWindow(owner, true);
                platform->SetFocus(owner);
            }
        }
        if (!PreTranslateMessage(msg)) {
            platform->DispatchMessage(msg);
        }
    }
    if (owner != kNoWindow && platform->IsWindow(owner)) {
        platform->EnableWindow(owner, true);
        platform->SetFocus(owner);
    }
    if (quit) {
        platform->PostQuitMessage(quitCode);
    }
    return result;
}

void MWindow::CenterWindow(HWND other) {
    if (!IsWindow()) {
        return;
    }
    Platform* platform = GetPlatform();
    const HWND reference = other != kNoWindow ? other : m_owner;
    const Rect self = platform->GetWindowRect(m_hwnd);
    const Rect work = platform->GetWorkArea(reference != kNoWindow ? reference : m_hwnd.load());
    Rect around = work;
    if (reference != kNoWindow && platform->IsWindowVisible(reference) &&
        !platform->IsIconic(reference)) {
        around = platform->GetWindowRect(reference);
    }
    int left = around.left + (around.Width() - self.Width()) / 2;
    int top = around.top + (around.Height() - self.Height()) / 2;
    // Right and bottom edges back inside the work area first, then left
    // and top, so a window larger than the area shows its top-left corner.
    left = std::min(left, work.right - self.Width());
    top = std::min(top, work.bottom - self.Height());
    left = std::max(left, work.left);
    top = std::max(top, work.top);
    const Rect moved{left, top, left + self.Width(), top + self.Height()};
    platform->SetWindowPos(m_hwnd, ZOrder::Keep, &moved);
}

bool MWindow::SetWindowPos(ZOrder z, const Rect* rect) {
    return IsWindow() && GetPlatform()->SetWindowPos(m_hwnd, z, rect);
}

bool MWindow::MoveWindow(const Rect& rect) {
    return SetWindowPos(ZOrder::Keep, &rect);
}

bool MWindow::DestroyWindow() {
    return IsWindow() && GetPlatform()->DestroyWindow(m_hwnd);
}

bool MWindow::EnableWindow(bool enable) {
    return IsWindow() && GetPlatform()->EnableWindow(m_hwnd, enable);
}

bool MWindow::ReleaseCapture() {
    return IsWindow() && GetPlatform()->ReleaseCapture();
}

bool MWindow::SetTimer(WPARAM id, unsigned intervalMs) {
    return IsWindow() && GetPlatform()->SetTimer(m_hwnd, id, intervalMs);
}

bool MWindow::KillTimer(WPARAM id) {
    return IsWindow() && GetPlatform()->KillTimer(m_hwnd, id);
}

bool MWindow::SetIcon(unsigned resourceId) {
    if (!IsWindow()) {
        return false;
    }
    ImagePtr icon = MRender::LoadImageFromIDResource(resourceId, L"PNG", true);
    if (!icon) {
        icon = MRender::LoadImageFromIDResource(resourceId, L"ICON", true);
    }
    if (!icon) {
        return false;
    }
    cairo_surface_flush(icon.get());
    return GetPlatform()->SetWindowIcon(
        m_hwnd, cairo_image_surface_get_data(icon.get()), cairo_image_surface_get_width(icon.get()),
        cairo_image_surface_get_height(icon.get()), cairo_image_surface_get_stride(icon.get()));
}

bool MWindow::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return IsWindow() && GetPlatform()->PostMessage(m_hwnd, msg, wParam, lParam);
}

LRESULT MWindow::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return IsWindow() ? GetPlatform()->SendMessage(m_hwnd, msg, wParam, lParam) : 0;
}

bool MWindow::SetWindowText(const std::wstring& text) {
    return IsWindow() && GetPlatform()->SetWindowText(m_hwnd, text);
}

std::wstring MWindow::GetWindowText() const {
    return IsWindow() ? GetPlatform()->GetWindowText(m_hwnd) : std::wstring();
}

int MWindow::GetWindowTextLengthW() const {
    return IsWindow() ? static_cast<int>(GetPlatform()->GetWindowText(m_hwnd).size()) : -1;
}

Rect MWindow::GetWindowRect() const {
    return IsWindow() ? GetPlatform()->GetWindowRect(m_hwnd) : Rect{};
}

Rect MWindow::GetClientRect() const {
    return IsWindow() ? GetPlatform()->GetClientRect(m_hwnd) : Rect{};
}

void MWindow::BringToTop() {
    if (!IsWindow()) {
        return;
    }
    Platform* platform = GetPlatform();
    platform->SetForegroundWindow(m_hwnd);
    platform->ShowWindow(m_hwnd, platform->IsIconic(m_hwnd) ? SW_RESTORE : SW_SHOW);
}

} // namespace VellumUI
