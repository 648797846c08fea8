// The message queue of the window system: posts and cross-thread sends,
// the quit message, window timers, hover requests, update regions and the
// pacing of WM_PAINT, dispatch and the default window procedure.
#include "toolkit/platform/WindowSystem.h"

#include "toolkit/platform/Messages.h"

#include <algorithm>

namespace VellumUI {

namespace {

// No timer has id 0.
constexpr WPARAM kNoTimer = 0;

} // namespace

bool WindowSystem::PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard guard(m_lock);
        if (hwnd != kNoWindow && !m_windows.count(hwnd)) {
            return false;
        }
        m_posted.push_back({hwnd, msg, wParam, lParam});
    }
    Wake();
    return true;
}

LRESULT WindowSystem::SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (IsUiThread()) {
        return CallProc(hwnd, msg, wParam, lParam);
    }
    auto sent = std::make_shared<Sent>();
    sent->msg = {hwnd, msg, wParam, lParam};
    {
        std::unique_lock guard(m_lock);
        if (!m_windows.count(hwnd)) {
            return 0;
        }
        m_sent.push_back(sent);
        Wake();
        m_sendDone.wait(guard, [&] { return sent->done; });
    }
    return sent->result;
}

void WindowSystem::PostQuitMessage(int exitCode) {
    {
        std::lock_guard guard(m_lock);
        m_quit = true;
        m_quitCode = exitCode;
    }
    Wake();
}

bool WindowSystem::TakeNext(Msg& msg, std::optional<TimePoint>& deadline) {
    for (;;) {
        std::shared_ptr<Sent> sent;
        {
            std::lock_guard guard(m_lock);
            if (!m_sent.empty()) {
                sent = m_sent.front();
                m_sent.pop_front();
            }
        }
        if (!sent) {
            break;
        }
        if (sent->task) {
            sent->task();
            continue;
        }
        LRESULT result =
            CallProc(sent->msg.hwnd, sent->msg.message, sent->msg.wParam, sent->msg.lParam);
        std::lock_guard guard(m_lock);
        sent->result = result;
        sent->done = true;
        m_sendDone.notify_all();
    }

    std::lock_guard guard(m_lock);
    if (!m_posted.empty()) {
        msg = m_posted.front();
        m_posted.pop_front();
        ApplyKeyState(msg);
        return true;
    }
    if (m_quit) {
        m_quit = false;
        msg = {kNoWindow, WM_QUIT, static_cast<WPARAM>(m_quitCode), 0};
        return true;
    }
    const TimePoint now = Now();
    // Hover requests, then window timers, earliest first.
    for (auto& [h, w] : m_windows) {
        if (w.hoverDue && *w.hoverDue <= now) {
            w.hoverDue.reset();
            w.trackHover = false;
            msg = {h, WM_MOUSEHOVER, 0, 0};
            return true;
        }
    }
    auto due = std::min_element(m_timers.begin(), m_timers.end(),
                                [](const Timer& a, const Timer& b) { return a.due < b.due; });
    if (due != m_timers.end() && due->due <= now) {
        // A late timer fires once, not once per missed interval.
        due->due = now + due->interval;
        msg = {due->hwnd, WM_TIMER, due->id, 0};
        return true;
    }
    for (auto& [h, w] : m_windows) {
        if (w.visible && !w.iconic && !w.destroying && !w.invalid.IsEmpty() &&
            now >= w.lastPaint + kFrameInterval) {
            w.lastPaint = now;
            msg = {h, WM_PAINT, 0, 0};
            return true;
        }
    }
    deadline = NextDeadlineLocked(now);
    return false;
}

std::optional<WindowSystem::TimePoint> WindowSystem::NextDeadline() const {
    std::lock_guard guard(m_lock);
    if (!m_posted.empty() || !m_sent.empty() || m_quit) {
        return Now();
    }
    return NextDeadlineLocked(Now());
}

std::optional<WindowSystem::TimePoint> WindowSystem::NextDeadlineLocked(TimePoint now) const {
    std::optional<TimePoint> next;
    auto consider = [&](TimePoint t) {
        if (!next || t < *next) {
            next = t;
        }
    };
    for (const auto& t : m_timers) {
        consider(t.due);
    }
    for (const auto& [h, w] : m_windows) {
        if (w.hoverDue) {
            consider(*w.hoverDue);
        }
        if (w.visible && !w.iconic && !w.destroying && !w.invalid.IsEmpty()) {
            consider(std::max(now, w.lastPaint + kFrameInterval));
        }
    }
    return next;
}

bool WindowSystem::GetMessage(Msg& msg) {
    DispatchNativeEvents();
    for (;;) {
        std::optional<TimePoint> deadline;
        if (TakeNext(msg, deadline)) {
            return msg.message != WM_QUIT;
        }
        WaitForWork(deadline);
    }
}

bool WindowSystem::PeekMessage(Msg& msg) {
    DispatchNativeEvents();
    std::optional<TimePoint> deadline;
    return TakeNext(msg, deadline);
}

LRESULT WindowSystem::DispatchMessage(const Msg& msg) {
    if (msg.hwnd == kNoWindow || !IsWindow(msg.hwnd)) {
        return 0;
    }
    if (msg.message != WM_PAINT) {
        return CallProc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    }
    {
        std::lock_guard guard(m_lock);
        m_windows[msg.hwnd].paintBegun = false;
    }
    LRESULT result = CallProc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(msg.hwnd);
    if (it != m_windows.end() && !it->second.paintBegun) {
        // Nobody painted: drop the region rather than ask again every frame.
        it->second.invalid = Rect{};
    }
    return result;
}

LRESULT WindowSystem::CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowProc* proc = nullptr;
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(hwnd);
        if (it != m_windows.end()) {
            proc = it->second.proc;
        }
    }
    return proc ? proc->WindowProcedure(hwnd, msg, wParam, lParam) : 0;
}

LRESULT WindowSystem::DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            SendMessage(hwnd, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_PAINT:
        BeginPaint(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return 0;
    }
}

bool WindowSystem::InvalidateRect(HWND hwnd, const Rect* rect, bool) {
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(hwnd);
        if (it == m_windows.end()) {
            return false;
        }
        Window& w = it->second;
        const Rect client{0, 0, w.rect.Width(), w.rect.Height()};
        const Rect add = rect ? rect->Intersect(client) : client;
        if (add.IsEmpty() || w.invalid.ContainsRect(add)) {
            return true;
        }
        w.invalid = w.invalid.Union(add);
    }
    Wake();
    return true;
}

Rect WindowSystem::BeginPaint(HWND hwnd) {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end()) {
        return {};
    }
    it->second.paintBegun = true;
    Rect r = it->second.invalid;
    it->second.invalid = Rect{};
    return r;
}

Rect WindowSystem::GetUpdateRect(HWND hwnd) const {
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? Rect{} : it->second.invalid;
}

bool WindowSystem::SetTimer(HWND hwnd, WPARAM id, unsigned intervalMs) {
    if (id == kNoTimer) {
        return false;
    }
    {
        std::lock_guard guard(m_lock);
        if (!m_windows.count(hwnd)) {
            return false;
        }
        const std::chrono::milliseconds interval{std::max(1u, intervalMs)};
        auto it = std::find_if(m_timers.begin(), m_timers.end(),
                               [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
        if (it != m_timers.end()) {
            it->interval = interval;
            it->due = Now() + interval;
        } else {
            m_timers.push_back({hwnd, id, interval, Now() + interval});
        }
    }
    Wake();
    return true;
}

bool WindowSystem::KillTimer(HWND hwnd, WPARAM id) {
    std::lock_guard guard(m_lock);
    auto before = m_timers.size();
    std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    // A WM_TIMER already queued is not recalled; timers are generated only
    // when taken, so nothing of this one is pending.
    return m_timers.size() != before;
}

} // namespace VellumUI
