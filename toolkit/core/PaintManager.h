// Per-window painting and input routing. Every toolkit window owns exactly
// one PaintManager: it routes the window's mouse and keyboard messages to the
// top-level controls, paints the window into an off-screen ARGB picture
// (background, controls, caret, overlay box) and presents it, and keeps the
// window's skin image cache, per-control timers, high-resolution tick,
// tooltip and caret.
//
// Ownership: the manager owns the window's top-level controls (areas list
// and controls list). Hover, focus, tooltip owner and caret object are plain
// links cleared when their control goes (ForgetControl).
//
// Threads: UI thread, except the tick (OnMTimer, on the RKTimer thread),
// which calls registered controls' OnTimer under the tick list's lock, and
// OnControlUpdate/InvalidateRect, which those controls may call from there.
// Off the UI thread OnControlUpdate takes none of the list locks: it marks
// the control and leaves the rest of the request to the next paint.
#pragma once

#include "toolkit/core/MControl.h"
#include "toolkit/core/RKTimer.h"
#include "toolkit/core/Surface.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace VellumUI {

class MWindow;

// One loaded skin image, shared by all controls of the window that name it.
// An image of N frames is a horizontal strip of N equal cells.
struct ImgResInfo {
    ImagePtr image;
    int frameWidth = 0;
    int frameHeight = 0;
    int frames = 1;
    std::wstring name;
    unsigned resourceId = 0;
};

enum enumBackMode { BACK_MODE_NORMAL = 0, BACK_MODE_NINEGRID = 1 };

class PaintManager : public RKTimer {
public:
    // Timer ids the manager keeps for itself.
    static constexpr WPARAM kCaretTimerId = 6553;
    static constexpr WPARAM kMessageHoldTimerId = 66;
    static constexpr WPARAM kOverlayFadeTimerId = 88;
    static constexpr WPARAM kProgressStepTimerId = 99;
    // The scroll-bar strips of the toolkit's own resources.
    static constexpr unsigned kScrollVerticalResId = 102;
    static constexpr unsigned kScrollHorizontalResId = 101;
    // The embedded face registered at Init.
    static constexpr unsigned kEmbeddedFontResId = 106;
    static constexpr unsigned kHoverTimeMs = 400;

    explicit PaintManager(MWindow* window);
    ~PaintManager() override;

    // Set-up and teardown.
    void Init(HWND hwnd, MObject* dialog);
    void DestroyData();
    bool IsInitialized() const { return m_initialized; }
    HWND GetPaintWnd() const { return m_hwnd; }
    MWindow* GetWindowObject() const { return m_window; }
    MObject* GetDialog() const { return m_dialog; }

    // The window procedure's share of a message; true when handled, with
    // the answer in `result`.
    bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Before dispatch: Tab moves the focus (true: swallowed); mouse messages
    // go to the tooltip.
    bool PreTranslateMessage(const Msg& msg);

    // Controls.
    MControl* CreateControl(ControlListKind kind, MObject* parent, const std::wstring& className,
                            unsigned id, const Rect& rect, const std::wstring& text, int a, int b);
    MControl* AddControl(ControlListKind kind, std::unique_ptr<MControl> control);
    MControl* GetControl(unsigned id) const;
    std::vector<MControl*> GetControls() const;
    std::vector<MControl*> GetAreas() const;
    bool RemoveControl(MControl* control);
    void RemoveAllControl();
    // Drops every plain link to `control` (hover, focus, tooltip owner,
    // caret object, tick list, timers). Called by its destructor.
    void ForgetControl(MControl* control);
    // Takes `root` and everything inside it off the tick list, waiting for
    // a tick under way to end. Owners call it before destroying a control,
    // so that no tick reaches one whose destruction has begun.
    void ReleaseTicks(MControl* root);

    // Focus and hover.
    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const { return m_focus; }
    void SetFocusControlQuiet(MControl* control) { m_focus = control; }
    MControl* GetHoverControl() const { return m_hover; }
    void EnableWndDrag(bool on) { m_wndDrag = on; }
    bool IsWndDragEnabled() const { return m_wndDrag; }

    // Invalidation.
    void Invalidate();
    void InvalidateRect(const Rect& rect, bool erase);
    LRESULT OnControlUpdate(const Rect& rect, bool redraw, MControl* control);
    Rect GetClientRect() const;
    Rect GetWindowRect() const;
    void GetClientSize(int& width, int& height) const;
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const;
    LRESULT SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam);
    bool PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam);

    // Window shape and look.
    void SetCaptionRect(const Rect& rect) { m_captionRect = rect; }
    const Rect& GetCaptionRect() const { return m_captionRect; }
    void SetWindowMaxSize(int cx, int cy) { m_maxSize = {cx, cy}; }
    void SetWindowMixSize(int cx, int cy) { m_minSize = {cx, cy}; }
    Size GetWindowMaxSize() const { return m_maxSize; }
    Size GetWindowMixSize() const { return m_minSize; }
    void SetLayeredWindow(bool on) { m_layered = on; }
    bool IsLayered() const { return m_layered; }
    bool LoadBKImage(const std::wstring& file);
    bool LoadBKImage(unsigned resourceId, const std::wstring& type);
    void SetBackMode(int mode, int value);
    // Colours as 0x00BBGGRR values.
    void SetBackColor(std::uint32_t inner, std::uint32_t border);
    void SetDefaultEnabledColor(std::uint32_t colour) { m_disabledColour = colour; }
    std::uint32_t GetDefaultEnabledColor() const { return m_disabledColour; }
    void SetScrollResID(unsigned vertical, unsigned horizontal);
    unsigned GetScrollVID() const { return m_scrollVId; }
    unsigned GetScrollHID() const { return m_scrollHId; }

    // Skin images: cached by name (or id) for the window; null when the
    // image cannot be loaded. The frame count of the first request stays.
    const ImgResInfo* AddImgResInfo(const std::wstring& name, int frames);
    const ImgResInfo* AddImgResInfo(unsigned resourceId, const std::wstring& type, int frames,
                                    bool fromProgram);
    void ClearImgResInfo();

    // Fonts: the family every control's text is drawn with.
    std::wstring FindTempFont(const std::wstring& face);
    bool AddTempFont(const std::wstring& face, const std::wstring& file);
    bool AddGDITempFont(unsigned resourceId);
    void ClearTempFont();

    // Per-control timers (window-message timers keyed by control and key).
    bool SetTimer(MControl* control, unsigned key, unsigned intervalMs);
    bool KillTimer(MControl* control, unsigned key);
    void KillTimer(MControl* control);
    void ClearTimers();
    // The platform timer id of the control's entry for `key`; 0 when none.
    WPARAM GetTimerId(MControl* control, unsigned key) const;
    // High-resolution tick.
    unsigned SetMTimer(unsigned intervalMs);
    bool KillMTimer(unsigned id) { return RKTimer::KillMTimer(id); }
    void KillMTimer() { RKTimer::KillMTimer(); }
    void AddMTimer(MControl* control);

    // Overlay message and progress.
    void SetMessage(const std::wstring& text, const Rect& rect, int level);
    void SetProgress(int percent, const std::wstring& text, const Rect& rect);
    int GetOverlayAlpha() const { return m_overlayAlpha; }
    int GetProgressShown() const { return m_progressShown; }
    const Rect& GetOverlayRect() const { return m_overlayRect; }

    // Tooltip.
    void SetTooltip(const std::wstring& text, const Rect& rect);
    void ClearTooltip();
    TooltipWindow* GetToolTipWnd();
    unsigned GetTooltipCtrlID() const { return m_tooltipOwnerId; }
    void SetTooltipCtrlID(unsigned id) { m_tooltipOwnerId = id; }
    MControl* GetTooltipOwner() const { return m_tooltipOwner; }
    void SetTooltipOwner(MControl* control) { m_tooltipOwner = control; }

    // Caret.
    void CreateCaret(int width, int height);
    void SetCaretPos(MControl* edit, int x, int y);
    void ShowCaret(bool show);
    void DrawCaret(cairo_t* dc, const Rect& rect);
    MControl* GetCurrentCaretObject() const { return m_caretObject; }
    bool IsCaretVisible() const { return m_caretShown && m_caretPhase; }

    void SetCursor(CursorKind cursor);
    // Counts the pictures painted, for tests and diagnostics.
    int GetPaintCount() const { return m_paintCount; }

protected:
    void OnMTimer(unsigned id) override;

private:
    struct TimerEntry {
        HWND hwnd;
        unsigned key;
        WPARAM platformId;
        bool stopped;
        MControl* control;
    };
    using ControlList = std::vector<std::unique_ptr<MControl>>;

    // Input routing (PaintManagerInput.cpp).
    void OnMouseMove(WPARAM flags, Point p);
    void OnMouseLeave();
    void OnDeactivate();
    void OnLButtonDown(WPARAM flags, Point p);
    void OnLButtonUp(WPARAM flags, Point p);
    void OnLButtonDblClk(WPARAM flags, Point p);
    void OnRButtonDown(WPARAM flags, Point p);
    void OnRButtonUp(WPARAM flags, Point p);
    void OnRButtonDblClk(WPARAM flags, Point p);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    // The shared shape of left and right presses: true when the hover
    // control took the press.
    bool PressHover(WPARAM flags, Point p, bool& pressed, MControl::Handler press);
    void ReleaseHover(WPARAM flags, Point p, bool& pressed, MControl::Handler release);
    void DoubleClickHover(WPARAM flags, Point p, MControl::Handler doubleClick);
    void OnKeyDown(UINT key, UINT repeat);
    bool MoveTabFocus(bool backward);
    Platform* GetPlatform() const;
    static UINT ModifierValue();

    // Marks dirty the visible controls after `control` that overlap
    // `rect`; returns `rect` joined with their rects.
    Rect MarkControlsAbove(const Rect& rect, MControl* control);
    // The update requests made off the UI thread since the last paint,
    // resolved into the rect they add to this one.
    Rect TakePendingUpdates();

    // Painting (PaintManager.cpp).
    void OnPaint();
    void DrawBackground(cairo_t* cr, const Rect& client);
    void DrawOverlay(cairo_t* cr);
    void OnTimerMessage(WPARAM id);
    void OnFadeTick();
    void OnProgressTick();

    MWindow* m_window; // the window object that owns this manager
    bool m_initialized = false;
    HWND m_hwnd = kNoWindow;
    MObject* m_dialog = nullptr;
    Rect m_captionRect;
    Size m_maxSize;
    Size m_minSize;
    bool m_layered = false;
    ImagePtr m_backImage;
    std::uint32_t m_innerColour = 0x130D09;
    std::uint32_t m_borderColour = 0x555028;
    int m_backMode = BACK_MODE_NORMAL;
    int m_backModeValue = 4;
    std::uint32_t m_disabledColour = 0x808080;
    unsigned m_scrollVId = 0;
    unsigned m_scrollHId = 0;

    // Overlay.
    std::wstring m_overlayText;
    int m_overlayLevel = 0;
    int m_overlayAlpha = 0;
    int m_progressShown = 0;
    int m_progressTarget = 0;
    Rect m_overlayRect;
    std::wstring m_overlayFont;

    // Input state.
    bool m_tracking = false;
    bool m_leftPressed = false;
    bool m_rightPressed = false;
    bool m_dblClk = false;
    bool m_rightDblClk = false;
    bool m_captured = false;
    bool m_wndDrag = true;
    MControl* m_hover = nullptr;
    MControl* m_focus = nullptr;
    MControl* m_dragPending = nullptr;

    // Tooltip.
    std::unique_ptr<TooltipWindow> m_tooltip;
    unsigned m_tooltipOwnerId = 0;
    MControl* m_tooltipOwner = nullptr;

    // Caret.
    Rect m_caretRect;
    bool m_caretPhase = false;
    bool m_caretShown = false;
    MControl* m_caretObject = nullptr;

    // Lists, each under its own re-entrant lock.
    mutable std::recursive_mutex m_areasLock;
    ControlList m_areas;
    mutable std::recursive_mutex m_controlsLock;
    ControlList m_controls;
    mutable std::recursive_mutex m_tickLock;
    std::vector<MControl*> m_tickControls;
    std::atomic<unsigned> m_tickId{0}; // read by the tick thread
    mutable std::recursive_mutex m_timerLock;
    std::vector<TimerEntry> m_timers;
    unsigned m_timerCounter = 4096;
    mutable std::recursive_mutex m_imageLock;
    std::map<std::wstring, ImgResInfo> m_fileImages;
    std::map<unsigned, ImgResInfo> m_programImages;
    std::map<unsigned, ImgResInfo> m_toolkitImages;
    mutable std::recursive_mutex m_fontLock;
    std::map<std::wstring, std::wstring> m_fonts;
    // Update requests from other threads (the tick): resolved by the next
    // paint, so that those threads never wait for the list locks the UI
    // thread holds while it routes input. The control is only compared.
    struct PendingUpdate {
        Rect rect;
        MControl* control;
    };
    std::mutex m_pendingLock;
    std::vector<PendingUpdate> m_pendingUpdates;

    int m_paintCount = 0;
};

} // namespace VellumUI
