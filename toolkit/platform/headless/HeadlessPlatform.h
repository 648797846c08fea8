// The headless back end: windows are records with an off-screen picture and
// no display is needed. Tests inject input as messages, pump the queue by
// hand, read the pixels the toolkit presented and save them as PNG files.
//
// Provides: every Platform operation; a virtual clock that stands still until
// a test advances it (RunFor) or the UI thread would otherwise sleep with
// only timers or paints pending (then it jumps to the next one, so a modal
// loop with a 3 s timer finishes at once); text entries and tooltips as
// inspectable records; a private clipboard; a configurable work area; file
// choosers answered from a queue the test fills.
// Leaves out: real cursors and caption drags (counted, nothing moves),
// window icons (only remembered), file-type icons (none).
//
// Threads: as Platform; the inspection and injection helpers are UI-thread
// only except Inject*, which may come from any thread.
#pragma once

#include "toolkit/platform/WindowSystem.h"

#include <map>
#include <string>

namespace VellumUI {

class HeadlessTextEntry;
class HeadlessTooltip;

class HeadlessPlatform : public WindowSystem {
public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    const char* Name() const override { return "headless"; }

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
    // No desktop, no file icons: always empty.
    IconPixels GetFileIcon(const std::wstring&, int) override { return {}; }
    // Answers from the queue the test filled (empty = cancelled).
    std::wstring ShowFileDialog(HWND owner, const FileDialogRequest& request) override;
    bool SetClipboardText(const std::wstring& text) override;
    std::wstring GetClipboardText() override;

    // Test driving. A filter, when given, sees each message before dispatch
    // and swallows it by returning true (a window's PreTranslateMessage).
    using Filter = std::function<bool(const Msg&)>;
    // Dispatches everything ready now, without moving the clock. Returns
    // false when it met the quit message (which it consumes).
    bool Pump(const Filter& filter = {});
    // Moves the clock forward by `ms` in steps, dispatching every timer and
    // paint on the way.
    bool RunFor(int ms, const Filter& filter = {});
    TimePoint GetTime() const { return Now(); }

    // Input, in client coordinates of `hwnd`. Queued as the system would.
    void MouseMove(HWND hwnd, int x, int y, WPARAM keys = 0);
    void LButtonDown(HWND hwnd, int x, int y);
    void LButtonUp(HWND hwnd, int x, int y);
    void LButtonDblClk(HWND hwnd, int x, int y);
    void RButtonDown(HWND hwnd, int x, int y);
    void RButtonUp(HWND hwnd, int x, int y);
    // A whole click: move, press, release.
    void Click(HWND hwnd, int x, int y);
    void Wheel(HWND hwnd, int delta, int x, int y);
    // Key down and up; the modifier keys already held stay held.
    void KeyDown(HWND hwnd, UINT vk);
    void KeyUp(HWND hwnd, UINT vk);
    void MouseLeave(HWND hwnd);
    // The frame's close button: the system close command.
    void PressCloseButton(HWND hwnd);
    void InjectMessage(const Msg& msg) { PostInput(msg); }

    // Inspection.
    cairo_surface_t* GetPicture(HWND hwnd) const;
    // ARGB of a presented pixel (premultiplied as stored); 0 outside.
    std::uint32_t PixelAt(HWND hwnd, int x, int y) const;
    bool SavePng(HWND hwnd, const std::string& path) const;
    int GetCaptionDragCount(HWND hwnd) const;
    CursorKind GetCursor(HWND hwnd) const;
    bool HasIcon(HWND hwnd) const;
    int GetPresentCount(HWND hwnd) const;
    void SetWorkArea(const Rect& area) { m_workArea = area; }
    // The next file chooser answers `path` (empty: the user cancels).
    void QueueFileDialogAnswer(const std::wstring& path) { m_fileAnswers.push_back(path); }
    const std::vector<FileDialogRequest>& FileDialogRequests() const { return m_fileRequests; }
    // The entries and tooltips alive now, newest last.
    std::vector<HeadlessTextEntry*> TextEntries() const;
    std::vector<HeadlessTooltip*> Tooltips() const;

    // Bookkeeping of the records (called by their destructors).
    void Forget(HeadlessTextEntry* entry);
    void Forget(HeadlessTooltip* tip);

protected:
    TimePoint Now() const override;
    void WaitForWork(std::optional<TimePoint> deadline) override;
    void Wake() override;
    bool NativeCreate(HWND hwnd, const WindowParams& params) override;
    void NativeDestroy(HWND hwnd) override;
    void NativeShow(HWND hwnd, int cmd, bool activate) override;
    void NativeSetRect(HWND hwnd, const Rect& rect) override;
    void NativeSetZOrder(HWND hwnd, ZOrder z) override;
    void NativeSetTitle(HWND hwnd, const std::wstring& title) override;
    void NativeActivate(HWND hwnd) override;
    void NativeCapture(HWND hwnd, bool take) override;

private:
    struct Native {
        cairo_surface_t* picture = nullptr;
        int drags = 0;
        int presents = 0;
        CursorKind cursor = CursorKind::Arrow;
        bool icon = false;
    };
    void PostMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys);
    WPARAM MouseKeys() const;
    bool Dispatch(const Msg& msg, const Filter& filter);

    mutable std::mutex m_clockLock;
    TimePoint m_now;
    std::mutex m_wakeLock;
    std::condition_variable m_wakeSignal;
    bool m_woken = false;
    std::map<HWND, Native> m_native;
    Rect m_workArea{0, 0, 1920, 1040};
    Point m_cursor;
    std::wstring m_clipboard;
    std::deque<std::wstring> m_fileAnswers;
    std::vector<FileDialogRequest> m_fileRequests;
    std::vector<HeadlessTextEntry*> m_entries;
    std::vector<HeadlessTooltip*> m_tooltips;
    // Keys and buttons as injected, ahead of the queue.
    std::array<bool, 256> m_held{};
};

// A hosted text entry without a screen: tests type into it and read what the
// toolkit set.
class HeadlessTextEntry : public TextEntry {
public:
    explicit HeadlessTextEntry(HeadlessPlatform& platform, HWND hwnd);
    ~HeadlessTextEntry() override;

    void SetStyle(const Style& style) override { m_style = style; }
    void SetRect(const Rect& clientRect) override { m_rect = clientRect; }
    void SetText(const std::wstring& text) override;
    std::wstring GetText() const override { return m_text; }
    void Show(bool show) override;
    bool IsVisible() const override { return m_visible; }
    void SetEnabled(bool enabled) override { m_enabled = enabled; }
    void Focus() override { m_focused = m_visible && m_enabled; }
    bool HasFocus() const override { return m_focused; }
    void SetListener(Listener listener) override { m_listener = std::move(listener); }

    // What the user does.
    void Type(const std::wstring& text);
    void LoseFocus();
    void PressEnter();
    const Style& GetStyle() const { return m_style; }
    const Rect& GetRect() const { return m_rect; }
    HWND GetWindow() const { return m_hwnd; }

private:
    HeadlessPlatform& m_platform;
    HWND m_hwnd;
    Style m_style;
    Rect m_rect;
    std::wstring m_text;
    bool m_visible = false;
    bool m_enabled = true;
    bool m_focused = false;
    Listener m_listener;
};

class HeadlessTooltip : public TooltipWindow {
public:
    HeadlessTooltip(HeadlessPlatform& platform, HWND owner);
    ~HeadlessTooltip() override;

    void SetText(const std::wstring& text) override { m_text = text; }
    std::wstring GetText() const override { return m_text; }
    void Activate(bool active) override { m_active = active; }
    bool IsActive() const override { return m_active; }
    void RelayEvent(const Msg& msg) override;
    void SetMaxWidth(int pixels) override { m_maxWidth = pixels; }
    int GetMaxWidth() const { return m_maxWidth; }
    int GetRelayedCount() const { return m_relayed; }
    HWND GetOwner() const { return m_owner; }

private:
    HeadlessPlatform& m_platform;
    HWND m_owner;
    std::wstring m_text;
    bool m_active = false;
    int m_maxWidth = 0;
    int m_relayed = 0;
};

} // namespace VellumUI
