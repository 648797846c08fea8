// The one seam between the toolkit and the system it runs on. The toolkit
// calls the platform through `Platform`; the platform calls back through each
// window's `WindowProc` with messages numbered as in Messages.h. Two back ends
// implement it: GTK 3 (toolkit/platform/gtk) and headless
// (toolkit/platform/headless). One instance serves the process; it is
// installed once with `Platform::Install` (the toolkit's `Manager` does it on
// first use, choosing the back end at run time).
//
// Threads: the thread that creates the platform is its UI thread. Every
// window procedure runs there. PostMessage, SendMessage, InvalidateRect,
// EnableWindow, ShowWindow and PostQuitMessage may be called from any thread;
// a cross-thread SendMessage blocks until the UI thread has handled it;
// ShowWindow and EnableWindow from another thread are carried out on the UI
// thread in posting order. Every other operation is UI-thread only.
#pragma once

#include "toolkit/platform/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace VellumUI {

struct Msg {
    HWND hwnd = kNoWindow;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Implemented by every toolkit window object; the platform hands it every
// message of its window on the UI thread, from WM_NCCREATE to WM_NCDESTROY.
class WindowProc {
public:
    virtual LRESULT WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~WindowProc() = default;
};

enum class WindowKind {
    TopLevel, // an ordinary top-level window
    Popup,    // menus, drop-downs and tips: no frame, no task-bar entry
    Tool,     // a top-level tool window (popup lists owned by a window)
};

struct WindowParams {
    std::wstring className;
    std::wstring title;
    HWND owner = kNoWindow;
    WindowKind kind = WindowKind::TopLevel;
    Rect rect;            // screen rect of the client area
    bool topmost = false; // stays above ordinary windows
    bool layered = false; // per-pixel alpha where the screen supports it
};

// Z-order anchors for SetWindowPos.
enum class ZOrder { Keep, Top, Bottom, TopMost, NoTopMost };

enum class CursorKind { Arrow, Wait, Cross, SizeWE, SizeNS, Hand, Help };

// A native single-line text entry hosted over a window (the edit box shows it
// while the user types). Owned by the caller; destroying it removes it.
// UI thread only.
class TextEntry {
public:
    struct Style {
        bool password = false;
        wchar_t passwordChar = L'*';
        bool digitsOnly = false;
        bool readOnly = false;
        bool multiLine = false;
        int limit = 0;     // characters; 0 = none
        int alignment = 0; // 0 left, 1 centre, 2 right
        std::wstring fontFace;
        int fontPixels = 14;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        std::uint32_t textColor = 0xFF000000; // ARGB
        std::uint32_t backColor = 0;          // ARGB; alpha 0 = the native default
    };
    // Called on the UI thread.
    struct Listener {
        std::function<void()> changed;   // the text changed (typing or SetText)
        std::function<void()> focusLost; // the entry lost the keyboard focus
        std::function<void()> activated; // Enter was pressed
    };

    virtual ~TextEntry() = default;
    virtual void SetStyle(const Style& style) = 0;
    virtual void SetRect(const Rect& clientRect) = 0;
    virtual void SetText(const std::wstring& text) = 0;
    virtual std::wstring GetText() const = 0;
    virtual void Show(bool show) = 0;
    virtual bool IsVisible() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void Focus() = 0; // takes the keyboard focus, caret at the end
    virtual bool HasFocus() const = 0;
    virtual void SetListener(Listener listener) = 0;
};

// The tooltip window of one toolkit window: one tip for the whole client
// area, shown after the pointer rests and hidden by presses and leaving.
// UI thread only.
class TooltipWindow {
public:
    virtual ~TooltipWindow() = default;
    virtual void SetText(const std::wstring& text) = 0;
    virtual std::wstring GetText() const = 0;
    virtual void Activate(bool active) = 0;
    virtual bool IsActive() const = 0;
    // Mouse messages of the owner window before dispatch (move, button
    // downs and ups, wheel, leave).
    virtual void RelayEvent(const Msg& msg) = 0;
    virtual void SetMaxWidth(int pixels) = 0;
};

// What a file chooser asks for.
struct FileDialogRequest {
    bool save = false;
    std::wstring title;
    // Label and pattern of each filter, for example {"XML files", "*.xml"}.
    std::vector<std::pair<std::wstring, std::wstring>> filters;
    std::wstring fileName;         // suggested name when saving
    std::wstring defaultExtension; // added to a saved name without one ("xml")
};

// Pixels of an icon: premultiplied ARGB32, row after row.
struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

class Platform {
public:
    virtual ~Platform() = default;
    Platform() = default;
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // The process's platform, or null before one is installed.
    static Platform* Current();
    // Installs the process's platform (replacing and destroying any earlier
    // one, which must have no windows left). Called on the UI thread.
    static void Install(std::unique_ptr<Platform> platform);

    // "gtk" or "headless".
    virtual const char* Name() const = 0;
    virtual bool IsUiThread() const = 0;

    // Windows. A class is a name the program's windows are found by; its
    // registration succeeds when new or already present.
    virtual bool RegisterClass(const std::wstring& className) = 0;
    virtual bool IsClassRegistered(const std::wstring& className) const = 0;
    // Creates a window (hidden) and delivers WM_NCCREATE and WM_CREATE to
    // `proc` before it returns. kNoWindow when the class is not registered or
    // the native window cannot be made.
    virtual HWND CreateWindow(const WindowParams& params, WindowProc* proc) = 0;
    // Destroys the window and, first, every window it owns: WM_DESTROY, then
    // WM_NCDESTROY, after which the handle is invalid. Pending cross-thread
    // sends to it return 0.
    virtual bool DestroyWindow(HWND hwnd) = 0;
    virtual bool IsWindow(HWND hwnd) const = 0;
    // The first window whose class and title match; an empty class or title
    // matches any.
    virtual HWND FindWindow(const std::wstring& className, const std::wstring& title) const = 0;
    virtual std::wstring GetClassName(HWND hwnd) const = 0;
    virtual HWND GetOwner(HWND hwnd) const = 0;
    virtual bool SetWindowText(HWND hwnd, const std::wstring& title) = 0;
    virtual std::wstring GetWindowText(HWND hwnd) const = 0;

    // Any thread. Returns whether the window was visible before.
    virtual bool ShowWindow(HWND hwnd, int cmd) = 0;
    virtual bool IsWindowVisible(HWND hwnd) const = 0;
    virtual bool IsIconic(HWND hwnd) const = 0;
    virtual bool IsZoomed(HWND hwnd) const = 0;
    // Any thread. Returns whether the window was disabled before.
    virtual bool EnableWindow(HWND hwnd, bool enable) = 0;
    virtual bool IsWindowEnabled(HWND hwnd) const = 0;

    // Geometry in screen pixels; the client area is the whole window (toolkit
    // windows draw their own frame).
    virtual bool SetWindowPos(HWND hwnd, ZOrder z, const Rect* rect) = 0;
    virtual Rect GetWindowRect(HWND hwnd) const = 0;
    virtual Rect GetClientRect(HWND hwnd) const = 0;
    virtual Point ClientToScreen(HWND hwnd, Point p) const = 0;
    virtual bool SetForegroundWindow(HWND hwnd) = 0;
    virtual HWND GetForegroundWindow() const = 0;
    // The window that has the keyboard focus (the active window).
    virtual HWND GetFocus() const = 0;
    virtual bool SetFocus(HWND hwnd) = 0;
    // The work area of the monitor nearest to the window (or to the primary
    // monitor for kNoWindow).
    virtual Rect GetWorkArea(HWND hwnd) const = 0;
    // Sets the window's icon from 32-bit ARGB pixels (premultiplied, as Cairo
    // stores them), width × height, rows of `stride` bytes.
    virtual bool SetWindowIcon(HWND hwnd, const std::uint8_t* argb, int width, int height,
                               int stride) = 0;

    // Messages.
    virtual bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // Any thread: GetMessage returns false (WM_QUIT) once the queue is empty of
    // what was posted earlier.
    virtual void PostQuitMessage(int exitCode) = 0;
    // Blocks until a message is ready: posted messages in order, then the
    // quit message, then due timers, then paints. Cross-thread sends are
    // handled inside. False for WM_QUIT (its exit code in wParam).
    virtual bool GetMessage(Msg& msg) = 0;
    // As GetMessage, without waiting; false when nothing is ready.
    virtual bool PeekMessage(Msg& msg) = 0;
    virtual LRESULT DispatchMessage(const Msg& msg) = 0;
    // What a window procedure falls back to: WM_CLOSE destroys the window,
    // WM_SYSCOMMAND SC_CLOSE posts WM_CLOSE, WM_PAINT validates.
    virtual LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;

    // Painting. Any thread: adds the rect (client coordinates; null = all)
    // to the window's update region. The window receives WM_PAINT from the
    // message loop, at most once per frame interval.
    virtual bool InvalidateRect(HWND hwnd, const Rect* rect, bool erase) = 0;
    // Inside WM_PAINT: the pending update rect, which is then cleared.
    virtual Rect BeginPaint(HWND hwnd) = 0;
    // Shows `rect` of the picture (an ARGB32 image surface of the client size)
    // on the window. A layered window takes the whole picture with its alpha.
    virtual void PresentPicture(HWND hwnd, cairo_surface_t* picture, const Rect& rect,
                                bool layered) = 0;

    // Window timers: WM_TIMER with the id in wParam. Setting an existing id
    // restarts it with the new interval.
    virtual bool SetTimer(HWND hwnd, WPARAM id, unsigned intervalMs) = 0;
    virtual bool KillTimer(HWND hwnd, WPARAM id) = 0;

    // Mouse.
    virtual HWND SetCapture(HWND hwnd) = 0;
    virtual bool ReleaseCapture() = 0;
    virtual HWND GetCapture() const = 0;
    // Asks for one WM_MOUSEHOVER after the pointer rests `hoverMs` in the
    // window and one WM_MOUSELEAVE when it leaves; each ends its request.
    virtual bool TrackMouseEvent(HWND hwnd, bool hover, bool leave, unsigned hoverMs) = 0;
    virtual bool GetKeyState(UINT virtualKey) const = 0;
    virtual void SetCursor(HWND hwnd, CursorKind cursor) = 0;
    // Moves the window with the pointer as if its caption had been pressed,
    // starting from the button press being handled.
    virtual void BeginCaptionDrag(HWND hwnd) = 0;
    virtual Point GetCursorPos() const = 0;

    // Native children and services.
    virtual std::unique_ptr<TextEntry> CreateTextEntry(HWND hwnd) = 0;
    virtual std::unique_ptr<TooltipWindow> CreateTooltip(HWND owner) = 0;
    // The caret's half period in milliseconds.
    virtual unsigned GetCaretBlinkTime() const = 0;
    // The icon the desktop shows for the file (its type's icon) at about
    // `size` pixels; empty when there is none.
    virtual IconPixels GetFileIcon(const std::wstring& path, int size) = 0;
    // Runs the system's file chooser over `owner` until the user answers;
    // the chosen path, empty when cancelled. Saving asks before replacing
    // an existing file.
    virtual std::wstring ShowFileDialog(HWND owner, const FileDialogRequest& request) = 0;
    virtual bool SetClipboardText(const std::wstring& text) = 0;
    virtual std::wstring GetClipboardText() = 0;
};

} // namespace VellumUI
