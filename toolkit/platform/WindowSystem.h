// The part of the platform both back ends share: the window table, the
// message queue with cross-thread posts and sends, window timers, the update
// regions and the frame pacing of WM_PAINT, hover and leave tracking, key
// state, capture bookkeeping and the default window procedure. A back end
// derives from it and supplies the native side (NativeXxx hooks), its clock
// and the way the UI thread sleeps until there is work.
//
// Threads: the table and the queue live under one mutex; window procedures
// are always called with it released, on the UI thread.
#pragma once

#include "toolkit/platform/Platform.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace VellumUI {

class WindowSystem : public Platform {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;

    // WM_PAINT comes at most once per this interval per window, so repaint
    // storms are merged into about 60 frames a second.
    static constexpr std::chrono::milliseconds kFrameInterval{15};

    WindowSystem();
    ~WindowSystem() override;

    bool IsUiThread() const override;
    bool RegisterClass(const std::wstring& className) override;
    bool IsClassRegistered(const std::wstring& className) const override;
    HWND CreateWindow(const WindowParams& params, WindowProc* proc) override;
    bool DestroyWindow(HWND hwnd) override;
    bool IsWindow(HWND hwnd) const override;
    HWND FindWindow(const std::wstring& className, const std::wstring& title) const override;
    std::wstring GetClassName(HWND hwnd) const override;
    HWND GetOwner(HWND hwnd) const override;
    bool SetWindowText(HWND hwnd, const std::wstring& title) override;
    std::wstring GetWindowText(HWND hwnd) const override;
    bool ShowWindow(HWND hwnd, int cmd) override;
    bool IsWindowVisible(HWND hwnd) const override;
    bool IsIconic(HWND hwnd) const override;
    bool IsZoomed(HWND hwnd) const override;
    bool EnableWindow(HWND hwnd, bool enable) override;
    bool IsWindowEnabled(HWND hwnd) const override;
    bool SetWindowPos(HWND hwnd, ZOrder z, const Rect* rect) override;
    Rect GetWindowRect(HWND hwnd) const override;
    Rect GetClientRect(HWND hwnd) const override;
    Point ClientToScreen(HWND hwnd, Point p) const override;
    bool SetForegroundWindow(HWND hwnd) override;
    HWND GetForegroundWindow() const override;
    HWND GetFocus() const override;
    bool SetFocus(HWND hwnd) override;

    bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostQuitMessage(int exitCode) override;
    bool GetMessage(Msg& msg) override;
    bool PeekMessage(Msg& msg) override;
    LRESULT DispatchMessage(const Msg& msg) override;
    LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

    bool InvalidateRect(HWND hwnd, const Rect* rect, bool erase) override;
    Rect BeginPaint(HWND hwnd) override;

    bool SetTimer(HWND hwnd, WPARAM id, unsigned intervalMs) override;
    bool KillTimer(HWND hwnd, WPARAM id) override;

    HWND SetCapture(HWND hwnd) override;
    bool ReleaseCapture() override;
    HWND GetCapture() const override;
    bool TrackMouseEvent(HWND hwnd, bool hover, bool leave, unsigned hoverMs) override;
    bool GetKeyState(UINT virtualKey) const override;

    // The pending update rect of a window (empty when none), for tests and
    // the back ends.
    Rect GetUpdateRect(HWND hwnd) const;

protected:
    // The back end's clock (the headless one runs a virtual clock).
    virtual TimePoint Now() const { return Clock::now(); }
    // Sleeps on the UI thread until new work may have arrived (a post, a
    // send, native events) or until `deadline`. Must not miss a Wake() that
    // came after the caller last looked at the queue.
    virtual void WaitForWork(std::optional<TimePoint> deadline) = 0;
    // Any thread: ends a WaitForWork.
    virtual void Wake() = 0;
    // UI thread: handles native events already waiting, without blocking,
    // so that a queue that never runs dry does not starve the system's
    // input.
    virtual void DispatchNativeEvents() {}

    // Native side, UI thread. Creation may fail (false).
    virtual bool NativeCreate(HWND hwnd, const WindowParams& params) = 0;
    virtual void NativeDestroy(HWND hwnd) = 0;
    virtual void NativeShow(HWND hwnd, int cmd, bool activate) = 0;
    virtual void NativeSetRect(HWND hwnd, const Rect& rect) = 0;
    virtual void NativeSetZOrder(HWND hwnd, ZOrder z) = 0;
    virtual void NativeSetTitle(HWND hwnd, const std::wstring& title) = 0;
    virtual void NativeActivate(HWND hwnd) = 0;
    virtual void NativeCapture(HWND hwnd, bool take) = 0;

    // Called by the back end when input arrives: queues the message,
    // updating key and button state, hover tracking and the input window
    // (disabled windows get no input).
    void PostInput(const Msg& msg);
    // The pointer left the window (outside any grab).
    void NoteMouseLeave(HWND hwnd);
    // The system moved, resized, minimised or restored the window.
    void NoteGeometry(HWND hwnd, const Rect& rect);
    void NoteIconic(HWND hwnd, bool iconic, bool zoomed);
    // The window gained or lost the keyboard focus.
    void NoteActivation(HWND hwnd, bool active);
    // Earliest time something becomes due (timers, paints), for back ends
    // that drive their own waiting.
    std::optional<TimePoint> NextDeadline() const;
    // Forgets every held key (focus changes lose key-ups).
    void ResetKeyState();
    // Sets one key's state, for modifiers read off native events.
    void SetKeyState(UINT virtualKey, bool down);

private:
    struct Timer {
        HWND hwnd;
        WPARAM id;
        std::chrono::milliseconds interval;
        TimePoint due;
    };
    struct Window {
        std::wstring className;
        std::wstring title;
        HWND owner = kNoWindow;
        WindowKind kind = WindowKind::TopLevel;
        WindowProc* proc = nullptr;
        Rect rect;
        bool visible = false;
        bool enabled = true;
        bool iconic = false;
        bool zoomed = false;
        bool layered = false;
        bool destroying = false;
        Rect invalid;
        TimePoint lastPaint{};
        bool paintBegun = false;
        bool trackHover = false;
        bool trackLeave = false;
        std::chrono::milliseconds hoverTime{400};
        std::optional<TimePoint> hoverDue;
    };
    // A cross-thread send waits on its item; other items run a function on
    // the UI thread.
    struct Sent {
        Msg msg;
        std::function<void()> task;
        bool done = false;
        LRESULT result = 0;
    };

    // Takes the next ready message; runs sent items on the way. False when
    // nothing is ready, with `deadline` the next time something will be.
    bool TakeNext(Msg& msg, std::optional<TimePoint>& deadline);
    void ApplyKeyState(const Msg& msg);
    std::optional<TimePoint> NextDeadlineLocked(TimePoint now) const;
    LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Runs `task` on the UI thread: now when called there, else queued.
    void RunOnUiThread(std::function<void()> task);
    bool ShowWindowNow(HWND hwnd, int cmd);
    bool EnableWindowNow(HWND hwnd, bool enable);
    void DestroyOne(HWND hwnd);
    void CompleteSendsTo(HWND hwnd);

    std::thread::id m_uiThread;
    mutable std::recursive_mutex m_lock;
    std::condition_variable_any m_sendDone;
    std::map<HWND, Window> m_windows;
    std::vector<std::wstring> m_classes;
    std::deque<Msg> m_posted;
    std::deque<std::shared_ptr<Sent>> m_sent;
    std::vector<Timer> m_timers;
    bool m_quit = false;
    int m_quitCode = 0;
    HWND m_nextHandle = 1;
    HWND m_capture = kNoWindow;
    HWND m_foreground = kNoWindow;
    std::array<std::atomic<bool>, 256> m_keys{};
};

} // namespace VellumUI
