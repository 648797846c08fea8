// Wrapper of one native window: its handle, its owner and the messages of
// its window procedure. The object is attached when the native window is
// created and detached at the final WM_NCDESTROY, after which every
// operation does nothing and returns 0 or false. UI thread only, except the
// operations the platform allows from any thread (ShowWindow, EnableWindow,
// PostMessage, SendMessage).
#pragma once

#include "toolkit/platform/Platform.h"

#include <atomic>
#include <string>

namespace VellumUI {

// Window style bits the toolkit reads when creating a window.
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;
constexpr std::uint32_t WS_EX_LAYERED = 0x00080000;

class MWindow : public WindowProc {
public:
    MWindow() = default;
    virtual ~MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    virtual std::wstring GetWindowClassName() const { return L"VellumClient"; }
    virtual std::wstring GetSuperClassName() const { return {}; }
    virtual bool ShowWindow(int cmd);
    // Default: the platform's default processing.
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual bool PreTranslateMessage(const Msg&) { return false; }
    virtual bool OnInitDialog() { return true; }
    virtual void OnDestroyMessage(HWND) {}

    // Creates the native window (title "VellumClient", 800 × 600 at 0, 0 by
    // default) and calls OnInitDialog. A live window's handle is returned as
    // it is. kNoWindow on failure.
    HWND Create(HWND owner);
    HWND Create(HWND owner, const Rect& rect);
    HWND Create(HWND owner, const std::wstring& name, std::uint32_t style, std::uint32_t exStyle,
                const Rect& rect);
    HWND Create(HWND owner, const std::wstring& name, std::uint32_t style, std::uint32_t exStyle,
                const Rect& rect, unsigned menu);

    HWND GetSafeHwnd() const;
    HWND GetParentHwnd() const { return m_owner; }
    bool IsWindow() const;
    // Shows the window, disables the owner and runs a nested loop until the
    // window is gone. Returns the wparam of the close message that ended it
    // (0 when closed without one), 0xFFFFFFFF without a window.
    unsigned ShowModal(int cmd = 5);
    void CenterWindow(HWND other = kNoWindow);
    bool SetWindowPos(ZOrder z, const Rect* rect);
    bool MoveWindow(const Rect& rect);
    bool DestroyWindow();
    bool EnableWindow(bool enable);
    bool ReleaseCapture();
    bool SetTimer(WPARAM id, unsigned intervalMs);
    bool KillTimer(WPARAM id);
    // Big and small icon from the program's image resources.
    bool SetIcon(unsigned resourceId);
    bool PostMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT SendMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool SetWindowText(const std::wstring& text);
    std::wstring GetWindowText() const;
    int GetWindowTextLengthW() const;
    Rect GetWindowRect() const;
    Rect GetClientRect() const;
    // Foreground, then restored when minimised, else shown.
    void BringToTop();

    LRESULT WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    static Platform* GetPlatform();

    // Written on the UI thread at create and destroy, read by any thread that
    // posts or sends to the window.
    std::atomic<HWND> m_hwnd = kNoWindow;
    HWND m_owner = kNoWindow;
};

} // namespace VellumUI
