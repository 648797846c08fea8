// The GTK 3 back end: each toolkit window is a GtkWindow (popup type for
// menus, drop-downs and tips) whose content shows the picture the toolkit
// presented; GDK events become Win32-numbered messages in the shared queue;
// the message loop sleeps in the GLib main loop.
//
// Provides: top-level, popup and tool windows (undecorated; owner →
// transient-for; topmost → keep-above; layered → RGBA visual where a
// compositor runs, opaque otherwise), show/hide/minimise/maximise, moves,
// z-order, activation, mouse capture (a pointer grab), hover and leave
// tracking, double-clicks from press timing, the wheel (smooth scrolling
// summed into notches), keys as virtual-key codes, cursors, the caption drag
// (the window manager's move, or GTK's own without one), work areas, window
// icons, a hosted GtkEntry, a tooltip popup, the caret blink time, the
// clipboard and file choosers (GtkFileChooserNative).
// Leaves out: multi-line text entries (the entry stays single-line) and
// drag-and-drop, which nothing here uses.
//
// Threads: GTK is called on the UI thread only (the thread that created the
// platform); other threads reach it through the queue and g_main_context_
// wakeup.
#pragma once

#include "toolkit/platform/WindowSystem.h"

#include <map>
#include <memory>

namespace VellumUI {

struct GtkNativeWindow;

class GtkPlatform : public WindowSystem {
public:
    // Null when GTK cannot open a display.
    static std::unique_ptr<Platform> Create();
    ~GtkPlatform() override;

    const char* Name() const override { return "gtk"; }

    void PresentPicture(HWND hwnd, cairo_surface_t* picture, const Rect& rect,
                        bool layered) override;
    Rect GetWorkArea(HWND hwnd) const override;
    bool SetWindowIcon(HWND hwnd, const std::uint8_t* argb, int width, int height,
                       int stride) override;
    void SetCursor(HWND hwnd, CursorKind cursor) override;
    void BeginCaptionDrag(HWND hwnd) override;
    Point GetCursorPos() const override;
    std::unique_ptr<TextEntry> CreateTextEntry(HWND hwnd) override;
    std::unique_ptr<TooltipWindow> CreateTooltip(HWND owner) override;
    unsigned GetCaretBlinkTime() const override;
    IconPixels GetFileIcon(const std::wstring& path, int size) override;
    std::wstring ShowFileDialog(HWND owner, const FileDialogRequest& request) override;
    bool SetClipboardText(const std::wstring& text) override;
    std::wstring GetClipboardText() override;

    // Saves what the screen shows in `rect` (screen pixels) as a PNG: a
    // real screenshot, for tests and bug reports.
    bool CaptureScreen(const Rect& rect, const std::string& path) const;

    // Event plumbing for the .cpp's signal handlers.
    struct Access;

protected:
    void WaitForWork(std::optional<TimePoint> deadline) override;
    void Wake() override;
    void DispatchNativeEvents() override;
    bool NativeCreate(HWND hwnd, const WindowParams& params) override;
    void NativeDestroy(HWND hwnd) override;
    void NativeShow(HWND hwnd, int cmd, bool activate) override;
    void NativeSetRect(HWND hwnd, const Rect& rect) override;
    void NativeSetZOrder(HWND hwnd, ZOrder z) override;
    void NativeSetTitle(HWND hwnd, const std::wstring& title) override;
    void NativeActivate(HWND hwnd) override;
    void NativeCapture(HWND hwnd, bool take) override;

private:
    GtkPlatform() = default;
    GtkNativeWindow* Find(HWND hwnd) const;

    std::map<HWND, std::unique_ptr<GtkNativeWindow>> m_native;
};

} // namespace VellumUI
