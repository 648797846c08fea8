// Base of every light-weight control: a rectangle in window coordinates,
// state flags, two ordered lists of owned children (areas, drawn first, and
// controls), the mouse and keyboard routing down to the children, update
// requests up to the parent and a cached picture of itself.
//
// Ownership: a control is owned by the list it was put in (its parent's or
// the window manager's) and owns its children. `m_parent` and `m_manager`
// are plain links to objects that outlive it. `m_hover` is a plain link to
// one of its own children, cleared when that child goes.
//
// Threads: everything runs on the window's UI thread except OnTimer() for
// controls registered with AddMTimer, which runs on the window's tick thread;
// each child list is guarded by its own re-entrant lock for that reason.
// Locks are taken from the owner inwards.
#pragma once

#include "toolkit/core/MObject.h"
#include "toolkit/core/Surface.h"
#include "toolkit/platform/Platform.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace VellumUI {

class PaintManager;

// Which list of its owner a created control goes to.
enum ControlListKind { kAreaList = 0, kControlList = 1 };

// Notification codes a control reports with SendMessageW.
enum NotifyCode : unsigned {
    kNotifyButtonDown = 1,
    kNotifyClick = 2,
    kNotifyDblClk = 3,
    kNotifyRightUp = 5,
    kNotifyKeyCheck = 7,
    kNotifyScrollPos = 8,
    kNotifyKey = 14,
};

// Control ids of the two scroll bars a panel owns; routing hands them
// unscrolled points.
constexpr unsigned kVerticalScrollId = 1;
constexpr unsigned kHorizontalScrollId = 2;

class MControl : public MObject {
public:
    MControl();
    ~MControl() override;

    // The one class name every control shares unless it names itself.
    static constexpr const wchar_t* kGenericClassName = L"MControl";
    std::wstring GetClassNameW() const override { return kGenericClassName; }
    LRESULT OnControlUpdate(const Rect& rect, bool redraw, MControl* control) override;

    virtual void InitControl(PaintManager* manager);
    virtual bool PtInRect(Point p) const;
    virtual void DrawControl(cairo_t* dc, const Rect& rect) = 0;
    virtual void DrawSubControls(cairo_t* dc, const Rect& rect);
    virtual bool IsDraw(Point p) const { return PtInRect(p); }
    virtual void SetUpdate(bool clean, std::uint32_t colour);
    virtual void SetControlFocus(bool focus);
    virtual void InitUI(const Rect&) {}
    // Lets a control translate the point it hands its children (a scroll
    // offset); true when it changed it.
    virtual bool OnMousePointChange(Point&) { return false; }
    virtual bool OnCheckMouseResponse(WPARAM, Point) { return true; }
    virtual LRESULT OnWindowMessage(UINT, WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnMessage(unsigned, unsigned, WPARAM, LPARAM) { return 0; }
    virtual void SetControlRect(const Rect& rect);
    virtual void SetControlVisible(bool visible);
    virtual void SetControlWndVisible(bool) {}
    virtual void SetControlEnabled(bool enabled);
    virtual void OnControlTimer() {}
    virtual cairo_surface_t* GetControlDropBitmap() { return nullptr; }
    virtual bool OnControlMouseMove(WPARAM, Point) { return false; }
    virtual bool OnControlSetCursor(WPARAM flags, Point p);
    virtual bool OnControlLButtonDown(WPARAM, Point) { return false; }
    virtual bool OnControlLButtonUp(WPARAM, Point) { return false; }
    virtual bool OnControlLButtonDblClk(WPARAM, Point) { return false; }
    // kind is 1 (the wheel); direction 1 toward the user, 0 away.
    virtual bool OnControlScroll(int, int, Point) { return false; }
    virtual bool OnControlRButtonDown(WPARAM, Point) { return false; }
    virtual bool OnControlRButtonUp(WPARAM, Point) { return false; }
    virtual bool OnControlRButtonDblClk(WPARAM, Point) { return false; }
    virtual bool OnControlKeyDown(UINT key, UINT repeat, UINT modifiers);
    virtual void OnPositionChange() {}
    // Repaints the control's whole rect, whatever rect is passed.
    virtual void InvalidateRect(const Rect& rect, bool erase);

    // A mouse handler, for routing left and right buttons alike.
    using Handler = bool (MControl::*)(WPARAM, Point);

    // Routing, called by the owner.
    bool OnMouseMove(WPARAM flags, Point p);
    bool OnLButtonDown(WPARAM flags, Point p);
    bool OnLButtonUp(WPARAM flags, Point p);
    bool OnLButtonDblClk(WPARAM flags, Point p);
    bool OnRButtonDown(WPARAM flags, Point p);
    bool OnRButtonUp(WPARAM flags, Point p);
    bool OnRButtonDblClk(WPARAM flags, Point p);
    bool OnScroll(int kind, int direction, Point p);
    bool OnKeyDown(UINT key, UINT repeat, UINT modifiers);
    void OnTimer();
    // Draws the areas under it, itself and its children when visible and
    // inside `rect`.
    void Draw(cairo_t* dc, const Rect& rect);

    // Identity and links.
    unsigned GetID() const { return m_id; }
    void SetID(unsigned id) { m_id = id; }
    MObject* GetParent() const { return m_parent; }
    void SetParent(MObject* parent) { m_parent = parent; }
    PaintManager* GetManager() const { return m_manager; }

    // Geometry and state.
    void SetRect(const Rect& rect);
    void SetRect(int x, int y, int width, int height) { SetRect({x, y, x + width, y + height}); }
    const Rect& GetRect() const { return m_rect; }
    void SetVisible(bool visible);
    void SetVisible(bool visible, bool repaint);
    bool IsVisible() const { return m_visible; }
    bool IsParentVisible() const;
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return m_enabled; }
    void SetDragDrop(bool on) { m_dragDrop = on; }
    bool IsDragDrop() const { return m_dragDrop; }
    void SetRresponse(bool on) { m_response = on; }
    bool IsResponse() const { return m_response; }
    void SetTabStop(bool on) { m_tabStop = on; }
    bool IsTabStop() const { return m_tabStop; }
    void SetDblClk(bool on) { m_dblClk = on; }
    bool GetDblClk() const { return m_dblClk; }
    bool IsKeyDown() const { return m_keyDown; }
    bool IsFocused() const { return m_focused; }
    void SetHotKey(UINT key, UINT modifiers) {
        m_hotKey = key;
        m_hotKeyModifiers = modifiers;
    }
    bool GetUpdate() const { return m_clean; }
    void SetRunTimer(bool on) { m_runTimer = on; }
    bool IsRunTimer() const { return m_runTimer; }
    void SetRunning(bool on) { m_running = on; }
    bool IsRunning() const { return m_running; }
    void UseImageECM(bool on) { m_imageECM = on; }
    void SetNotifyDblClk(bool on) { m_notifyDblClk = on; }
    void SetNotifyKey(bool on) { m_notifyKey = on; }
    void SetMouseOutside(bool on) { m_mouseOutside = on; }

    // Tooltip: SetTooltip(text, rect) shows the text now and makes this
    // control the tip's owner; SetTooltip(text) keeps it for hovering.
    void SetTooltip(const std::wstring& text, const Rect& rect);
    void SetTooltip(const std::wstring& text) { m_tooltip = text; }
    const std::wstring& GetTooltip() const { return m_tooltip; }
    void ClearTooltip();
    // "arrow", "wait", "cross", "sizewe", "sizens", "hand", "help"; any other
    // name changes nothing.
    void SetCursorEx(const std::wstring& name);

    // Repaint requests to the parent.
    void UpdateControl(bool redraw, bool force = false);
    void UpdateControl(const Rect& rect, bool force, bool redraw);
    void UpdateAControl(bool animate, bool force = false);
    void AddMTimer();

    // Children.
    MControl* AddChild(ControlListKind kind, std::unique_ptr<MControl> child);
    MControl* GetControl(unsigned id) const;
    std::vector<MControl*> GetControls() const;
    std::vector<MControl*> GetAreas() const;
    bool RemoveControl(MControl* child);
    void RemoveAllControl();
    // The hover child (a plain link into the controls list).
    MControl* GetHoverChild() const { return m_hover; }
    // Called by the manager when `control` goes, to drop links to it.
    void ForgetControl(MControl* control);

    // Reports `code` to the parent with this control's id.
    LRESULT SendMessageW(unsigned code, WPARAM wParam, LPARAM lParam);

    // The cached picture. UpdateMemDC marks the control clean, (re)creates
    // the cache when the size changed, copies what lies under the control in
    // `dc` into each control-wide cell of the cache and returns a context on
    // it whose origin is the control's rect, so drawing uses window
    // coordinates for cell 0. DrawMemDC copies cell `cell` to `dc`.
    cairo_t* UpdateMemDC(cairo_t* dc, int width, int height);
    void DrawMemDC(cairo_t* dc, int cell = 0);
    cairo_t* UpdateAnimateDC(cairo_t* dc, int width, int height);
    void DrawAnimateDC(cairo_t* dc);
    cairo_surface_t* GetMemSurface() const { return m_cache.Get(); }

protected:
    // Where a child's point comes from: the scroll bars of a panel keep the
    // point before OnMousePointChange.
    static Point PointFor(const MControl* child, Point outer, Point inner);
    MControl* HitChild(Point outer, Point inner, bool needEnabled) const;
    void RouteMoveToChildren(WPARAM flags, Point outer, Point inner, bool& anyTrue);
    bool TakeFocus();
    bool RouteButtonDown(WPARAM flags, Point p, Handler route, Handler own);
    bool RouteButtonUp(WPARAM flags, Point p, Handler route, Handler own);
    // A double-click for a child (the hover child, else the one hit); none
    // when no child takes it.
    std::optional<bool> RouteDoubleClickToChild(WPARAM flags, Point p, Handler doubleClick,
                                                Handler press);

    MObject* m_parent = nullptr;
    PaintManager* m_manager = nullptr;
    unsigned m_id = 0;
    Rect m_rect;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_dragDrop = false;
    bool m_response = true;
    bool m_tabStop = false;
    bool m_dblClk = false;
    bool m_pressedInside = false;
    bool m_keyDown = false;
    bool m_focused = false;
    UINT m_hotKey = 0;
    UINT m_hotKeyModifiers = 0;
    // Written by update requests from the tick thread, read by painting.
    std::atomic<bool> m_clean{false};
    std::atomic<bool> m_animateClean{false};
    bool m_runTimer = false;
    bool m_running = false;
    bool m_imageECM = false;
    bool m_notifyDblClk = false;
    bool m_notifyKey = false;
    bool m_mouseOutside = true;
    std::wstring m_tooltip;
    std::optional<CursorKind> m_cursor;

    mutable std::recursive_mutex m_areasLock;
    std::vector<std::unique_ptr<MControl>> m_areas;
    mutable std::recursive_mutex m_controlsLock;
    std::vector<std::unique_ptr<MControl>> m_controls;
    MControl* m_hover = nullptr;

private:
    cairo_t* PrepareCache(cairo_t* dc, Surface& cache, Context& cr, int width, int height);

    Surface m_cache;
    Context m_cacheContext;
    Surface m_animate;
    Context m_animateContext;
};

} // namespace VellumUI
