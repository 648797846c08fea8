// A top-level toolkit window: a native window with one PaintManager that
// draws and routes input to its light-weight controls. The program's windows
// derive from it and override InitUI (build the controls), UISize (lay them
// out), OnMessage (control notifications) and OnWindowMessage (their own
// window messages). The program owns its dialogs; the dialog owns its
// manager and, through it, its controls. UI thread only, except what
// MWindow allows from any thread.
#pragma once

#include "toolkit/core/MObject.h"
#include "toolkit/core/MWindow.h"
#include "toolkit/core/PaintManager.h"

namespace VellumUI {

// The close request a dialog posts to itself (DoOK, DoCancel, ...).
constexpr UINT WM_USERCLOSE = 1090;

// Close results of ShowModal.
constexpr WPARAM IDOK = 1;
constexpr WPARAM IDCANCEL = 2;
constexpr WPARAM IDYES = 6;
constexpr WPARAM IDNO = 7;

class MDialog : public MWindow, public MObject {
public:
    MDialog();
    ~MDialog() override;

    // MObject.
    std::wstring GetClassNameW() const override { return L"MDialog"; }
    LRESULT OnBaseMessage(unsigned id, unsigned code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlUpdate(const Rect& rect, bool redraw, MControl* control) override;

    // MWindow.
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(const Msg& msg) override;
    bool OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    // The point on the control's bottom edge (type 0 left, 1 centre, 2
    // right) in screen coordinates; (0, 0) without a control.
    virtual Point GetAirBladderPoint(MControl* control, int type);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(const Rect&) {}
    virtual void UISize(const Rect&) {}
    virtual LRESULT OnMessage(unsigned, unsigned, WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCreate(LPARAM) { return 0; }
    virtual LRESULT OnSize(WPARAM type, int cx, int cy);
    virtual LRESULT OnMouseMove(WPARAM, Point) { return 0; }
    virtual LRESULT OnMouseLeave() { return 0; }
    virtual LRESULT OnMouseHover(WPARAM, Point) { return 0; }
    virtual LRESULT OnMouseWheel(WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnLButtonDown(WPARAM, Point) { return 0; }
    virtual LRESULT OnLButtonUp(WPARAM, Point) { return 0; }
    virtual LRESULT OnLButtonDblClk(WPARAM, Point) { return 0; }
    virtual LRESULT OnRButtonDown(WPARAM, Point) { return 0; }
    virtual LRESULT OnRButtonUp(WPARAM, Point) { return 0; }
    virtual LRESULT OnRButtonDblClk(WPARAM, Point) { return 0; }
    virtual LRESULT OnKeyDown(WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnNcHitTest(LPARAM) { return 0; }
    virtual LRESULT OnGetMinMaxInfo(LPARAM) { return 0; }
    virtual LRESULT OnNcCalcSize(WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnNcActivate(bool) { return 0; }
    virtual LRESULT OnWindowPosChanging(LPARAM) { return 1; }
    virtual LRESULT OnWindowPosChanged(LPARAM) { return 1; }
    virtual LRESULT OnPaint() { return 0; }
    virtual LRESULT OnTimer(WPARAM) { return 0; }
    virtual LRESULT OnNcPaint() { return 0; }
    virtual LRESULT OnClose() { return 1; }
    virtual LRESULT OnDestroy() { return 0; }
    virtual void PostNcDestroy() {}

    // Close requests: post WM_USERCLOSE with the result.
    void DoOK() { PostCloseRequest(IDOK); }
    void DoCancel() { PostCloseRequest(IDCANCEL); }
    void DoClose() { PostCloseRequest(IDCANCEL); }
    void DoYes() { PostCloseRequest(IDYES); }
    void DoNo() { PostCloseRequest(IDNO); }

    // Controls.
    MControl* CreateControl(const std::wstring& className, unsigned id, const Rect& rect,
                            const std::wstring& text, int a, int b);
    MControl* CreateArea(const std::wstring& className, unsigned id, const Rect& rect,
                         const std::wstring& text, int a, int b);
    MControl* GetControl(unsigned id) const { return m_manager.GetControl(id); }
    std::vector<MControl*> GetControls() const { return m_manager.GetControls(); }
    void SetFocusControl(MControl* control) { m_manager.SetFocusControl(control); }
    PaintManager& GetManager() { return m_manager; }
    const PaintManager& GetManager() const { return m_manager; }

    // Look and behaviour, forwarded to the manager.
    unsigned SetMTimer(unsigned intervalMs) { return m_manager.SetMTimer(intervalMs); }
    void KillMTimer() { m_manager.KillMTimer(); }
    bool KillMTimer(unsigned id) { return m_manager.KillMTimer(id); }
    bool LoadBKImage(const std::wstring& file) { return m_manager.LoadBKImage(file); }
    bool LoadBKImage(unsigned id, const std::wstring& type) {
        return m_manager.LoadBKImage(id, type);
    }
    void SetBackMode(int mode, int value) { m_manager.SetBackMode(mode, value); }
    void SetLayeredWindow(bool on) { m_manager.SetLayeredWindow(on); }
    void EnableWndDrag(bool on) { m_manager.EnableWndDrag(on); }
    // An empty rect means a 200-pixel box centred near the bottom.
    void SetMessage(const std::wstring& text, const Rect& rect = {}, int level = 0);
    void SetProgress(int percent, const std::wstring& text, const Rect& rect = {});
    void SetMessageOffset(int offset) { m_messageOffset = offset; }
    // Layered attributes: constant alpha (255 = none) or colour key
    // (0xFFFFFF = none).
    void SetLayeredAttributes(std::uint32_t colourKey, int alpha);
    const Rect& GetCachedClientRect() const { return m_clientRect; }

protected:
    void PostCloseRequest(WPARAM result);

    PaintManager m_manager;
    Rect m_clientRect;
    std::uint32_t m_colourKey = 0xFFFFFF;
    int m_alpha = 255;
    int m_messageOffset = 0;
};

} // namespace VellumUI
