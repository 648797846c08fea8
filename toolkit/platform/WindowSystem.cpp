#include "toolkit/platform/WindowSystem.h"

#include "toolkit/platform/Messages.h"

#include <algorithm>

namespace VellumUI {

namespace {

LPARAM SizeParam(const Rect& r) {
    return MakePointParam(r.Width(), r.Height());
}

} // namespace

WindowSystem::WindowSystem() : m_uiThread(std::this_thread::get_id()) {}

WindowSystem::~WindowSystem() {
    std::lock_guard guard(m_lock);
    // Anyone still waiting in a cross-thread send is released.
    for (auto& sent : m_sent) {
        sent->done = true;
    }
    m_sent.clear();
    m_sendDone.notify_all();
}

bool WindowSystem::IsUiThread() const {
    return std::this_thread::get_id() == m_uiThread;
}

bool WindowSystem::RegisterClass(const std::wstring& className) {
    if (className.empty()) {
        return false;
    }
    std::lock_guard guard(m_lock);
    if (std::find(m_classes.begin(), m_classes.end(), className) == m_classes.end()) {
        m_classes.push_back(className);
    }
    return true;
}

bool WindowSystem::IsClassRegistered(const std::wstring& className) const {
    std::lock_guard guard(m_lock);
    return std::find(m_classes.begin(), m_classes.end(), className) != m_classes.end();
}

HWND WindowSystem::CreateWindow(const WindowParams& params, WindowProc* proc) {
    if (!IsUiThread() || !IsClassRegistered(params.className)) {
        return kNoWindow;
    }
    HWND hwnd;
    {
        std::lock_guard guard(m_lock);
        hwnd = m_nextHandle++;
        Window w;
        w.className = params.className;
        w.title = params.title;
        w.owner = m_windows.count(params.owner) ? params.owner : kNoWindow;
        w.kind = params.kind;
        w.rect = params.rect;
        w.layered = params.layered;
        m_windows.emplace(hwnd, std::move(w));
    }
    if (!NativeCreate(hwnd, params)) {
        std::lock_guard guard(m_lock);
        m_windows.erase(hwnd);
        return kNoWindow;
    }
    {
        std::lock_guard guard(m_lock);
        m_windows[hwnd].proc = proc;
    }
    CallProc(hwnd, WM_NCCREATE, 0, 0);
    if (CallProc(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return kNoWindow;
    }
    if (IsWindow(hwnd)) {
        CallProc(hwnd, WM_SIZE, SIZE_RESTORED, SizeParam(params.rect));
    }
    return IsWindow(hwnd) ? hwnd : kNoWindow;
}

bool WindowSystem::DestroyWindow(HWND hwnd) {
    if (!IsUiThread()) {
        return false;
    }
    std::vector<HWND> owned;
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end() || it->second.destroying) {
            return false;
        }
        it->second.destroying = true;
        for (const auto& [h, w] : m_windows) {
            if (w.owner == hwnd && !w.destroying) {
                owned.push_back(h);
            }
        }
    }
    for (HWND h : owned) {
        DestroyWindow(h);
    }
    DestroyOne(hwnd);
    return true;
}

void WindowSystem::DestroyOne(HWND hwnd) {
    bool wasVisible = false;
    {
        std::lock_guard guard(m_lock);
        wasVisible = m_windows[hwnd].visible;
        m_windows[hwnd].visible = false;
    }
    if (wasVisible) {
        NativeShow(hwnd, SW_HIDE, false);
    }
    if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
    CallProc(hwnd, WM_DESTROY, 0, 0);
    CallProc(hwnd, WM_NCDESTROY, 0, 0);
    NativeDestroy(hwnd);
    std::lock_guard guard(m_lock);
    m_windows.erase(hwnd);
    std::erase_if(m_timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
    if (m_foreground == hwnd) {
        m_foreground = kNoWindow;
    }
    CompleteSendsTo(hwnd);
}

void WindowSystem::CompleteSendsTo(HWND hwnd) {
    bool any = false;
    for (auto it = m_sent.begin(); it != m_sent.end();) {
        if (!(*it)->task && (*it)->msg.hwnd == hwnd) {
            (*it)->done = true;
            it = m_sent.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    if (any) {
        m_sendDone.notify_all();
    }
}

bool WindowSystem::IsWindow(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it != m_windows.end() && it->second.proc != nullptr;
}

HWND WindowSystem::FindWindow(const std::wstring& className, const std::wstring& title) const {
    std::lock_guard guard(m_lock);
    for (const auto& [h, w] : m_windows) {
        if (w.destroying || !w.proc) {
            continue;
        }
        if ((className.empty() || w.className == className) &&
            (title.empty() || w.title == title)) {
            return h;
        }
    }
    return kNoWindow;
}

std::wstring WindowSystem::GetClassName(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? std::wstring() : it->second.className;
}

HWND WindowSystem::GetOwner(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? kNoWindow : it->second.owner;
}

bool WindowSystem::SetWindowText(HWND hwnd, const std::wstring& title) {
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end()) {
            return false;
        }
        it->second.title = title;
    }
    NativeSetTitle(hwnd, title);
    return true;
}

std::wstring WindowSystem::GetWindowText(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? std::wstring() : it->second.title;
}

void WindowSystem::RunOnUiThread(std::function<void()> task) {
    if (IsUiThread()) {
        task();
        return;
    }
    {
        std::lock_guard guard(m_lock);
        auto sent = std::make_shared<Sent>();
        sent->task = std::move(task);
        m_sent.push_back(std::move(sent));
    }
    Wake();
}

bool WindowSystem::ShowWindow(HWND hwnd, int cmd) {
    if (IsUiThread()) {
        return ShowWindowNow(hwnd, cmd);
    }
    const bool was = IsWindowVisible(hwnd);
    RunOnUiThread([this, hwnd, cmd] { ShowWindowNow(hwnd, cmd); });
    return was;
}

bool WindowSystem::ShowWindowNow(HWND hwnd, int cmd) {
    bool was;
    bool show = cmd != SW_HIDE;
    bool activate = cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && cmd != SW_HIDE &&
                    cmd != SW_MINIMIZE && cmd != SW_SHOWMINIMIZED;
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end() || it->second.destroying) {
            return false;
        }
        Window& w = it->second;
        was = w.visible;
        w.visible = show;
        if (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED) {
            w.iconic = true;
        } else if (cmd == SW_MAXIMIZE) {
            w.iconic = false;
            w.zoomed = true;
        } else if (cmd == SW_RESTORE) {
            w.iconic = false;
            w.zoomed = false;
        } else if (show) {
            w.iconic = false;
        }
        if (show) {
            w.invalid = Rect{0, 0, w.rect.Width(), w.rect.Height()};
        }
    }
    if (was != show) {
        CallProc(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
    }
    NativeShow(hwnd, cmd, activate);
    if (activate) {
        SetForegroundWindow(hwnd);
    }
    Wake();
    return was;
}

bool WindowSystem::IsWindowVisible(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it != m_windows.end() && it->second.visible;
}

bool WindowSystem::IsIconic(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it != m_windows.end() && it->second.iconic;
}

bool WindowSystem::IsZoomed(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it != m_windows.end() && it->second.zoomed;
}

bool WindowSystem::EnableWindow(HWND hwnd, bool enable) {
    if (IsUiThread()) {
        return EnableWindowNow(hwnd, enable);
    }
    const bool wasDisabled = !IsWindowEnabled(hwnd);
    RunOnUiThread([this, hwnd, enable] { EnableWindowNow(hwnd, enable); });
    return wasDisabled;
}

bool WindowSystem::EnableWindowNow(HWND hwnd, bool enable) {
    bool wasDisabled;
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end()) {
            return false;
        }
        wasDisabled = !it->second.enabled;
        it->second.enabled = enable;
    }
    if (wasDisabled == enable) {
        if (!enable && GetCapture() == hwnd) {
            ReleaseCapture();
        }
        CallProc(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    }
    return wasDisabled;
}

bool WindowSystem::IsWindowEnabled(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it != m_windows.end() && it->second.enabled;
}

bool WindowSystem::SetWindowPos(HWND hwnd, ZOrder z, const Rect* rect) {
    if (!IsWindow(hwnd)) {
        return false;
    }
    if (z != ZOrder::Keep) {
        NativeSetZOrder(hwnd, z);
    }
    if (rect) {
        NativeSetRect(hwnd, *rect);
        NoteGeometry(hwnd, *rect);
    }
    return true;
}

void WindowSystem::NoteGeometry(HWND hwnd, const Rect& rect) {
    bool resized;
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end()) {
            return;
        }
        Window& w = it->second;
        resized = w.rect.Width() != rect.Width() || w.rect.Height() != rect.Height();
        w.rect = rect;
        if (resized) {
            w.invalid = Rect{0, 0, rect.Width(), rect.Height()};
        }
    }
    CallProc(hwnd, WM_WINDOWPOSCHANGED, 0, 0);
    if (resized) {
        CallProc(hwnd, WM_SIZE, IsZoomed(hwnd) ? SIZE_MAXIMIZED : SIZE_RESTORED, SizeParam(rect));
    }
    Wake();
}

void WindowSystem::NoteIconic(HWND hwnd, bool iconic, bool zoomed) {
    Rect rect;
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end() || (it->second.iconic == iconic && it->second.zoomed == zoomed)) {
            return;
        }
        it->second.iconic = iconic;
        it->second.zoomed = zoomed;
        rect = it->second.rect;
        if (!iconic) {
            it->second.invalid = Rect{0, 0, rect.Width(), rect.Height()};
        }
    }
    CallProc(hwnd, WM_SIZE,
             iconic   ? SIZE_MINIMIZED
             : zoomed ? SIZE_MAXIMIZED
                      : SIZE_RESTORED,
             SizeParam(rect));
}

Rect WindowSystem::GetWindowRect(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? Rect{} : it->second.rect;
}

Rect WindowSystem::GetClientRect(HWND hwnd) const {
    Rect r = GetWindowRect(hwnd);
    return {0, 0, r.Width(), r.Height()};
}

Point WindowSystem::ClientToScreen(HWND hwnd, Point p) const {
    Rect r = GetWindowRect(hwnd);
    return {p.x + r.left, p.y + r.top};
}

bool WindowSystem::SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return false;
    }
    NativeActivate(hwnd);
    return true;
}

void WindowSystem::NoteActivation(HWND hwnd, bool active) {
    HWND old;
    {
        std::lock_guard guard(m_lock);
        if (!m_windows.count(hwnd)) {
            return;
        }
        old = m_foreground;
        if (active) {
            m_foreground = hwnd;
        } else if (m_foreground == hwnd) {
            m_foreground = kNoWindow;
        } else {
            return;
        }
    }
    if (active && old == hwnd) {
        return;
    }
    if (active && old != kNoWindow && IsWindow(old)) {
        CallProc(old, WM_NCACTIVATE, 0, 0);
    }
    CallProc(hwnd, WM_NCACTIVATE, active ? 1 : 0, 0);
    if (!active) {
        ResetKeyState();
    }
}

HWND WindowSystem::GetForegroundWindow() const {
    std::lock_guard guard(m_lock);
    return m_foreground;
}

HWND WindowSystem::GetFocus() const {
    return GetForegroundWindow();
}

bool WindowSystem::SetFocus(HWND hwnd) {
    return SetForegroundWindow(hwnd);
}

HWND WindowSystem::SetCapture(HWND hwnd) {
    HWND old;
    {
        std::lock_guard guard(m_lock);
        if (!m_windows.count(hwnd)) {
            return kNoWindow;
        }
        old = m_capture;
        m_capture = hwnd;
    }
    if (old != hwnd) {
        if (old != kNoWindow) {
            NativeCapture(old, false);
            CallProc(old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(hwnd));
        }
        NativeCapture(hwnd, true);
    }
    return old;
}

bool WindowSystem::ReleaseCapture() {
    HWND old;
    {
        std::lock_guard guard(m_lock);
        old = m_capture;
        m_capture = kNoWindow;
    }
    if (old != kNoWindow) {
        NativeCapture(old, false);
        CallProc(old, WM_CAPTURECHANGED, 0, 0);
    }
    return true;
}

HWND WindowSystem::GetCapture() const {
    std::lock_guard guard(m_lock);
    return m_capture;
}

bool WindowSystem::TrackMouseEvent(HWND hwnd, bool hover, bool leave, unsigned hoverMs) {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end()) {
        return false;
    }
    Window& w = it->second;
    w.trackLeave = leave;
    w.trackHover = hover;
    w.hoverTime = std::chrono::milliseconds(hoverMs);
    if (hover) {
        w.hoverDue = Now() + w.hoverTime;
    } else {
        w.hoverDue.reset();
    }
    return true;
}

bool WindowSystem::GetKeyState(UINT virtualKey) const {
    return virtualKey < m_keys.size() && m_keys[virtualKey].load();
}

void WindowSystem::ResetKeyState() {
    for (auto& k : m_keys) {
        k = false;
    }
}

void WindowSystem::SetKeyState(UINT virtualKey, bool down) {
    if (virtualKey < m_keys.size()) {
        m_keys[virtualKey] = down;
    }
}

void WindowSystem::ApplyKeyState(const Msg& msg) {
    // The state a handler reads is that of the message it handles, as keys
    // and buttons are taken from the queue.
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        SetKeyState(static_cast<UINT>(msg.wParam), true);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        SetKeyState(static_cast<UINT>(msg.wParam), false);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetKeyState(VK_LBUTTON, true);
        break;
    case WM_LBUTTONUP:
        SetKeyState(VK_LBUTTON, false);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        SetKeyState(VK_RBUTTON, true);
        break;
    case WM_RBUTTONUP:
        SetKeyState(VK_RBUTTON, false);
        break;
    case WM_MBUTTONDOWN:
        SetKeyState(VK_MBUTTON, true);
        break;
    case WM_MBUTTONUP:
        SetKeyState(VK_MBUTTON, false);
        break;
    default:
        break;
    }
}

void WindowSystem::PostInput(const Msg& msg) {
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(msg.hwnd);
        if (it == m_windows.end()) {
            return;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
            // Resting restarts: hover means no movement for the hover time.
            if (it->second.trackHover) {
                it->second.hoverDue = Now() + it->second.hoverTime;
            }
            break;
        default:
            break;
        }
        if (!it->second.enabled) {
            return;
        }
        m_posted.push_back(msg);
    }
    Wake();
}

void WindowSystem::NoteMouseLeave(HWND hwnd) {
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end() || !it->second.trackLeave) {
            return;
        }
        it->second.trackLeave = false;
        it->second.trackHover = false;
        it->second.hoverDue.reset();
        m_posted.push_back({hwnd, WM_MOUSELEAVE, 0, 0});
    }
    Wake();
}

} // namespace VellumUI
