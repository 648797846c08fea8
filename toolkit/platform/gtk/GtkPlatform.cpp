#include "toolkit/platform/gtk/GtkPlatform.h"

#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Utf.h"
#include "toolkit/platform/gtk/GtkServices.h"

#include <cairo.h>
#include <cmath>
#include <cstdlib>
#include <gtk/gtk.h>

namespace VellumUI {

UINT VirtualKeyFromKeyval(unsigned keyval);

// One native window: the GtkWindow, the GtkFixed that holds hosted
// entries, and the picture last presented.
struct GtkNativeWindow {
    GtkPlatform* platform = nullptr;
    HWND hwnd = kNoWindow;
    GtkWidget* window = nullptr;
    GtkWidget* fixed = nullptr;
    cairo_surface_t* front = nullptr;
    // The last press, for double-clicks and the caption drag.
    guint lastButton = 0;
    guint32 lastTime = 0;
    double lastX = 0;
    double lastY = 0;
    double lastRootX = 0;
    double lastRootY = 0;
    bool lastWasDouble = false;
    double wheelRest = 0;
    // Whether the last picture carried per-pixel alpha.
    bool layered = false;
};

struct GtkPlatform::Access {
    static void Post(GtkNativeWindow* n, UINT msg, WPARAM wParam, LPARAM lParam) {
        n->platform->PostInput({n->hwnd, msg, wParam, lParam});
    }
    static void Leave(GtkNativeWindow* n) { n->platform->NoteMouseLeave(n->hwnd); }
    static void Geometry(GtkNativeWindow* n, const Rect& r) {
        n->platform->NoteGeometry(n->hwnd, r);
    }
    static void Iconic(GtkNativeWindow* n, bool iconic, bool zoomed) {
        n->platform->NoteIconic(n->hwnd, iconic, zoomed);
    }
    static void Activation(GtkNativeWindow* n, bool active) {
        n->platform->NoteActivation(n->hwnd, active);
    }
    static void Close(GtkNativeWindow* n) {
        n->platform->PostMessage(n->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    static void Modifiers(GtkNativeWindow* n, guint state) {
        n->platform->SetKeyState(VK_SHIFT, state & GDK_SHIFT_MASK);
        n->platform->SetKeyState(VK_CONTROL, state & GDK_CONTROL_MASK);
        n->platform->SetKeyState(VK_MENU, state & GDK_MOD1_MASK);
    }
    static void Key(GtkNativeWindow* n, UINT vk, bool down) { n->platform->SetKeyState(vk, down); }
};

namespace {

using Access = GtkPlatform::Access;

WPARAM MouseKeys(guint state) {
    WPARAM keys = 0;
    if (state & GDK_BUTTON1_MASK) {
        keys |= MK_LBUTTON;
    }
    if (state & GDK_BUTTON3_MASK) {
        keys |= MK_RBUTTON;
    }
    if (state & GDK_BUTTON2_MASK) {
        keys |= MK_MBUTTON;
    }
    if (state & GDK_SHIFT_MASK) {
        keys |= MK_SHIFT;
    }
    if (state & GDK_CONTROL_MASK) {
        keys |= MK_CONTROL;
    }
    return keys;
}

bool OwnEvent(GtkNativeWindow* n, GdkWindow* window) {
    return window == gtk_widget_get_window(n->window);
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    auto* n = static_cast<GtkNativeWindow*>(data);
    if (n->front) {
        cairo_save(cr);
        if (n->layered) {
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        } else {
            // An ordinary window is opaque whatever alpha its picture has.
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_paint(cr);
        }
        cairo_set_source_surface(cr, n->front, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    // The hosted entries draw after us.
    return FALSE;
}

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* n = static_cast<GtkNativeWindow*>(data);
    if (event->type != GDK_BUTTON_PRESS || !OwnEvent(n, event->window)) {
        // GDK's own double and triple presses: we time presses ourselves.
        return TRUE;
    }
    Access::Modifiers(n, event->state);
    GtkSettings* settings = gtk_settings_get_default();
    gint doubleTime = 400;
    gint doubleDistance = 5;
    g_object_get(settings, "gtk-double-click-time", &doubleTime, "gtk-double-click-distance",
                 &doubleDistance, nullptr);
    const bool isDouble = !n->lastWasDouble && event->button == n->lastButton &&
                          event->time - n->lastTime <= static_cast<guint32>(doubleTime) &&
                          std::abs(event->x - n->lastX) <= doubleDistance &&
                          std::abs(event->y - n->lastY) <= doubleDistance;
    n->lastWasDouble = isDouble;
    n->lastButton = event->button;
    n->lastTime = event->time;
    n->lastX = event->x;
    n->lastY = event->y;
    n->lastRootX = event->x_root;
    n->lastRootY = event->y_root;
    UINT msg;
    WPARAM keys = MouseKeys(event->state);
    switch (event->button) {
    case 1:
        msg = isDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
        keys |= MK_LBUTTON;
        break;
    case 3:
        msg = isDouble ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
        keys |= MK_RBUTTON;
        break;
    case 2:
        msg = WM_MBUTTONDOWN;
        keys |= MK_MBUTTON;
        break;
    default:
        return TRUE;
    }
    Access::Post(n, msg, keys,
                 MakePointParam(static_cast<int>(event->x), static_cast<int>(event->y)));
    return TRUE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* n = static_cast<GtkNativeWindow*>(data);
    if (!OwnEvent(n, event->window)) {
        return FALSE;
    }
    Access::Modifiers(n, event->state);
    WPARAM keys = MouseKeys(event->state);
    UINT msg;
    switch (event->button) {
    case 1:
        msg = WM_LBUTTONUP;
        keys &= ~MK_LBUTTON;
        break;
    case 3:
        msg = WM_RBUTTONUP;
        keys &= ~MK_RBUTTON;
        break;
    case 2:
        msg = WM_MBUTTONUP;
        keys &= ~MK_MBUTTON;
        break;
    default:
        return TRUE;
    }
    Access::Post(n, msg, keys,
                 MakePointParam(static_cast<int>(event->x), static_cast<int>(event->y)));
    return TRUE;
}

gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
    auto* n = static_cast<GtkNativeWindow*>(data);
    if (!OwnEvent(n, event->window)) {
        return FALSE;
    }
    Access::Modifiers(n, event->state);
    Access::Post(n, WM_MOUSEMOVE, MouseKeys(event->state),
                 MakePointParam(static_cast<int>(std::floor(event->x)),
                                static_cast<int>(std::floor(event->y))));
    return TRUE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
    auto* n = static_cast<GtkNativeWindow*>(data);
    double notches = 0;
    switch (event->direction) {
    case GDK_SCROLL_UP:
        notches = 1;
        break;
    case GDK_SCROLL_DOWN:
        notches = -1;
        break;
    case GDK_SCROLL_SMOOTH: {
        double dx = 0, dy = 0;
        gdk_event_get_scroll_deltas(reinterpret_cast<GdkEvent*>(event), &dx, &dy);
        notches = -dy;
        break;
    }
    default:
        return TRUE;
    }
    // Smooth scrolling arrives in fractions of a notch: they are summed and
    // sent on as whole notches, so that slow scrolling still scrolls.
    const int delta = TakeWholeNotches(n->wheelRest, notches);
    if (delta != 0) {
        Access::Post(
            n, WM_MOUSEWHEEL, MakeWheelParam(delta, MouseKeys(event->state)),
            MakePointParam(static_cast<int>(event->x_root), static_cast<int>(event->y_root)));
    }
    return TRUE;
}

bool EntryHasFocus(GtkNativeWindow* n) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(n->window));
    return focus && GTK_IS_ENTRY(focus) && gtk_widget_get_visible(focus);
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* n = static_cast<GtkNativeWindow*>(data);
    if (EntryHasFocus(n)) {
        // The hosted entry gets its keys the GTK way.
        return FALSE;
    }
    const bool down = event->type == GDK_KEY_PRESS;
    Access::Modifiers(n, event->state);
    // The key as on an unshifted keyboard, so Shift+1 is still the 1 key.
    guint base = event->keyval;
    gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(gdk_display_get_default()),
                                        event->hardware_keycode, static_cast<GdkModifierType>(0),
                                        event->group, &base, nullptr, nullptr, nullptr);
    UINT vk = VirtualKeyFromKeyval(base);
    if (vk == 0) {
        vk = VirtualKeyFromKeyval(event->keyval);
    }
    if (vk == 0) {
        return TRUE;
    }
    const bool alt = (event->state & GDK_MOD1_MASK) || vk == VK_MENU;
    const UINT msg = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    Access::Post(n, msg, vk, 1);
    Access::Key(n, vk, down);
    if (down && !(event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK))) {
        const gunichar c = gdk_keyval_to_unicode(event->keyval);
        if (c >= 0x20) {
            Access::Post(n, WM_CHAR, c, 1);
        }
    }
    return TRUE;
}

gboolean OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer data) {
    auto* n = static_cast<GtkNativeWindow*>(data);
    if (event->mode == GDK_CROSSING_NORMAL && event->detail != GDK_NOTIFY_INFERIOR &&
        OwnEvent(n, event->window)) {
        Access::Leave(n);
    }
    return FALSE;
}

gboolean OnFocus(GtkWidget*, GdkEventFocus* event, gpointer data) {
    Access::Activation(static_cast<GtkNativeWindow*>(data), event->in != 0);
    return FALSE;
}

gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer data) {
    auto* n = static_cast<GtkNativeWindow*>(data);
    gint x = event->x, y = event->y;
    gtk_window_get_position(GTK_WINDOW(widget), &x, &y);
    Access::Geometry(n, {x, y, x + event->width, y + event->height});
    return FALSE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
    const auto state = event->new_window_state;
    Access::Iconic(static_cast<GtkNativeWindow*>(data), state & GDK_WINDOW_STATE_ICONIFIED,
                   state & GDK_WINDOW_STATE_MAXIMIZED);
    return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    // The system close command; the window decides.
    Access::Close(static_cast<GtkNativeWindow*>(data));
    return TRUE;
}

} // namespace

std::unique_ptr<Platform> GtkPlatform::Create() {
    if (!gtk_init_check(nullptr, nullptr)) {
        return nullptr;
    }
    return std::unique_ptr<Platform>(new GtkPlatform());
}

GtkPlatform::~GtkPlatform() {
    for (auto& [hwnd, n] : m_native) {
        if (n->front) {
            cairo_surface_destroy(n->front);
        }
        gtk_widget_destroy(n->window);
    }
}

GtkNativeWindow* GtkPlatform::Find(HWND hwnd) const {
    auto it = m_native.find(hwnd);
    return it == m_native.end() ? nullptr : it->second.get();
}

void GtkPlatform::WaitForWork(std::optional<TimePoint> deadline) {
    struct Alarm {
        bool fired = false;
    } alarm;
    guint source = 0;
    if (deadline) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Now());
        if (wait.count() <= 0) {
            return;
        }
        source = g_timeout_add(
            static_cast<guint>(wait.count()),
            [](gpointer data) -> gboolean {
                static_cast<Alarm*>(data)->fired = true;
                return G_SOURCE_REMOVE;
            },
            &alarm);
    }
    g_main_context_iteration(nullptr, TRUE);
    if (source && !alarm.fired) {
        g_source_remove(source);
    }
}

void GtkPlatform::DispatchNativeEvents() {
    // Bounded, so that a flood of native events cannot starve the queue
    // either.
    constexpr int kMaxEventsAtOnce = 64;
    for (int i = 0; i < kMaxEventsAtOnce && g_main_context_pending(nullptr); ++i) {
        g_main_context_iteration(nullptr, FALSE);
    }
}

void GtkPlatform::Wake() {
    g_main_context_wakeup(nullptr);
}

bool GtkPlatform::NativeCreate(HWND hwnd, const WindowParams& params) {
    auto n = std::make_unique<GtkNativeWindow>();
    n->platform = this;
    n->hwnd = hwnd;
    n->window =
        gtk_window_new(params.kind == WindowKind::Popup ? GTK_WINDOW_POPUP : GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(n->window);
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_title(window, WideToUtf8(params.title).c_str());
    gtk_widget_set_app_paintable(n->window, TRUE);
    if (params.kind == WindowKind::Tool) {
        gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_UTILITY);
        gtk_window_set_skip_taskbar_hint(window, TRUE);
    }
    if (GtkNativeWindow* owner = Find(params.owner)) {
        gtk_window_set_transient_for(window, GTK_WINDOW(owner->window));
    }
    if (params.topmost) {
        gtk_window_set_keep_above(window, TRUE);
    }
    // Every window gets the RGBA visual where a compositor runs, since a
    // window may become layered after it is made; ordinary windows are
    // drawn opaque.
    GdkScreen* screen = gtk_widget_get_screen(n->window);
    GdkVisual* visual = gdk_screen_get_rgba_visual(screen);
    if (visual && gdk_screen_is_composited(screen)) {
        gtk_widget_set_visual(n->window, visual);
    }
    n->layered = params.layered;
    gtk_window_move(window, params.rect.left, params.rect.top);
    gtk_window_set_default_size(window, std::max(1, params.rect.Width()),
                                std::max(1, params.rect.Height()));
    gtk_window_resize(window, std::max(1, params.rect.Width()), std::max(1, params.rect.Height()));
    n->fixed = gtk_fixed_new();
    gtk_widget_set_app_paintable(n->fixed, TRUE);
    gtk_container_add(GTK_CONTAINER(n->window), n->fixed);
    gtk_widget_show(n->fixed);
    gtk_widget_add_events(n->window,
                          GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                              GDK_BUTTON_RELEASE_MASK | GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK |
                              GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK | GDK_ENTER_NOTIFY_MASK |
                              GDK_LEAVE_NOTIFY_MASK | GDK_FOCUS_CHANGE_MASK | GDK_STRUCTURE_MASK);
    GtkNativeWindow* data = n.get();
    g_signal_connect(n->fixed, "draw", G_CALLBACK(OnDraw), data);
    g_signal_connect(n->window, "button-press-event", G_CALLBACK(OnButtonPress), data);
    g_signal_connect(n->window, "button-release-event", G_CALLBACK(OnButtonRelease), data);
    g_signal_connect(n->window, "motion-notify-event", G_CALLBACK(OnMotion), data);
    g_signal_connect(n->window, "scroll-event", G_CALLBACK(OnScroll), data);
    g_signal_connect(n->window, "key-press-event", G_CALLBACK(OnKey), data);
    g_signal_connect(n->window, "key-release-event", G_CALLBACK(OnKey), data);
    g_signal_connect(n->window, "leave-notify-event", G_CALLBACK(OnLeave), data);
    g_signal_connect(n->window, "focus-in-event", G_CALLBACK(OnFocus), data);
    g_signal_connect(n->window, "focus-out-event", G_CALLBACK(OnFocus), data);
    g_signal_connect(n->window, "configure-event", G_CALLBACK(OnConfigure), data);
    g_signal_connect(n->window, "window-state-event", G_CALLBACK(OnWindowState), data);
    g_signal_connect(n->window, "delete-event", G_CALLBACK(OnDelete), data);
    gtk_widget_realize(n->window);
    m_native[hwnd] = std::move(n);
    return true;
}

void GtkPlatform::NativeDestroy(HWND hwnd) {
    auto it = m_native.find(hwnd);
    if (it == m_native.end()) {
        return;
    }
    GtkNativeWindow* n = it->second.get();
    g_signal_handlers_disconnect_matched(n->window, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, n);
    g_signal_handlers_disconnect_matched(n->fixed, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, n);
    gtk_widget_destroy(n->window);
    if (n->front) {
        cairo_surface_destroy(n->front);
    }
    m_native.erase(it);
}

void GtkPlatform::NativeShow(HWND hwnd, int cmd, bool activate) {
    GtkNativeWindow* n = Find(hwnd);
    if (!n) {
        return;
    }
    GtkWindow* window = GTK_WINDOW(n->window);
    switch (cmd) {
    case SW_HIDE:
        gtk_widget_hide(n->window);
        return;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        gtk_widget_show(n->window);
        gtk_window_iconify(window);
        return;
    case SW_MAXIMIZE:
        gtk_widget_show(n->window);
        gtk_window_maximize(window);
        return;
    case SW_RESTORE:
        gtk_window_deiconify(window);
        gtk_window_unmaximize(window);
        gtk_widget_show(n->window);
        return;
    default:
        gtk_window_set_focus_on_map(window, activate);
        gtk_widget_show(n->window);
        return;
    }
}

void GtkPlatform::NativeSetRect(HWND hwnd, const Rect& rect) {
    if (GtkNativeWindow* n = Find(hwnd)) {
        gtk_window_move(GTK_WINDOW(n->window), rect.left, rect.top);
        gtk_window_resize(GTK_WINDOW(n->window), std::max(1, rect.Width()),
                          std::max(1, rect.Height()));
    }
}

void GtkPlatform::NativeSetZOrder(HWND hwnd, ZOrder z) {
    GtkNativeWindow* n = Find(hwnd);
    if (!n) {
        return;
    }
    GdkWindow* window = gtk_widget_get_window(n->window);
    switch (z) {
    case ZOrder::Top:
        if (window) {
            gdk_window_raise(window);
        }
        break;
    case ZOrder::Bottom:
        if (window) {
            gdk_window_lower(window);
        }
        break;
    case ZOrder::TopMost:
        gtk_window_set_keep_above(GTK_WINDOW(n->window), TRUE);
        break;
    case ZOrder::NoTopMost:
        gtk_window_set_keep_above(GTK_WINDOW(n->window), FALSE);
        break;
    case ZOrder::Keep:
        break;
    }
}

void GtkPlatform::NativeSetTitle(HWND hwnd, const std::wstring& title) {
    if (GtkNativeWindow* n = Find(hwnd)) {
        gtk_window_set_title(GTK_WINDOW(n->window), WideToUtf8(title).c_str());
    }
}

void GtkPlatform::NativeActivate(HWND hwnd) {
    GtkNativeWindow* n = Find(hwnd);
    if (!n) {
        return;
    }
    gtk_window_present(GTK_WINDOW(n->window));
    // Without a window manager no focus event may follow.
    NoteActivation(hwnd, true);
}

void GtkPlatform::NativeCapture(HWND hwnd, bool take) {
    GtkNativeWindow* n = Find(hwnd);
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    if (!n || !seat) {
        return;
    }
    GdkWindow* window = gtk_widget_get_window(n->window);
    if (take && window && gdk_window_is_viewable(window)) {
        gdk_seat_grab(seat, window, GDK_SEAT_CAPABILITY_ALL_POINTING, TRUE, nullptr, nullptr,
                      nullptr, nullptr);
    } else if (!take) {
        gdk_seat_ungrab(seat);
    }
}

void GtkPlatform::PresentPicture(HWND hwnd, cairo_surface_t* picture, const Rect& rect,
                                 bool layered) {
    GtkNativeWindow* n = Find(hwnd);
    if (!n || !picture) {
        return;
    }
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    if (!n->front || cairo_image_surface_get_width(n->front) != width ||
        cairo_image_surface_get_height(n->front) != height) {
        if (n->front) {
            cairo_surface_destroy(n->front);
        }
        n->front = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    }
    const Rect area = layered ? Rect{0, 0, width, height} : rect.Intersect({0, 0, width, height});
    n->layered = layered;
    cairo_t* cr = cairo_create(n->front);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    gtk_widget_queue_draw_area(n->fixed, area.left, area.top, area.Width(), area.Height());
}

Rect GtkPlatform::GetWorkArea(HWND hwnd) const {
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = nullptr;
    if (GtkNativeWindow* n = Find(hwnd); n && gtk_widget_get_window(n->window)) {
        monitor = gdk_display_get_monitor_at_window(display, gtk_widget_get_window(n->window));
    }
    if (!monitor) {
        monitor = gdk_display_get_primary_monitor(display);
    }
    if (!monitor) {
        monitor = gdk_display_get_monitor(display, 0);
    }
    if (!monitor) {
        return {};
    }
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    return {area.x, area.y, area.x + area.width, area.y + area.height};
}

bool GtkPlatform::SetWindowIcon(HWND hwnd, const std::uint8_t* argb, int width, int height,
                                int stride) {
    GtkNativeWindow* n = Find(hwnd);
    if (!n || !argb || width <= 0 || height <= 0 || stride < width * 4) {
        return false;
    }
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    if (!pixbuf) {
        return false;
    }
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < height; ++y) {
        const auto* src =
            reinterpret_cast<const std::uint32_t*>(argb + static_cast<size_t>(y) * stride);
        guchar* dst = pixels + static_cast<size_t>(y) * rowstride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = src[x];
            const unsigned a = p >> 24;
            // Undo the premultiplication.
            auto channel = [a](unsigned c) {
                return a ? static_cast<guchar>(std::min(255u, c * 255 / a)) : 0;
            };
            dst[x * 4 + 0] = channel((p >> 16) & 0xFF);
            dst[x * 4 + 1] = channel((p >> 8) & 0xFF);
            dst[x * 4 + 2] = channel(p & 0xFF);
            dst[x * 4 + 3] = static_cast<guchar>(a);
        }
    }
    gtk_window_set_icon(GTK_WINDOW(n->window), pixbuf);
    g_object_unref(pixbuf);
    return true;
}

void GtkPlatform::SetCursor(HWND hwnd, CursorKind cursor) {
    GtkNativeWindow* n = Find(hwnd);
    if (!n || !gtk_widget_get_window(n->window)) {
        return;
    }
    static const char* const kNames[] = {"default",   "wait",    "crosshair", "ew-resize",
                                         "ns-resize", "pointer", "help"};
    GdkCursor* c =
        gdk_cursor_new_from_name(gdk_display_get_default(), kNames[static_cast<int>(cursor)]);
    gdk_window_set_cursor(gtk_widget_get_window(n->window), c);
    if (c) {
        g_object_unref(c);
    }
}

void GtkPlatform::BeginCaptionDrag(HWND hwnd) {
    GtkNativeWindow* n = Find(hwnd);
    if (!n || n->lastButton == 0) {
        return;
    }
    gtk_window_begin_move_drag(GTK_WINDOW(n->window), static_cast<gint>(n->lastButton),
                               static_cast<gint>(n->lastRootX), static_cast<gint>(n->lastRootY),
                               n->lastTime);
}

Point GtkPlatform::GetCursorPos() const {
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    if (!pointer) {
        return {};
    }
    gint x = 0, y = 0;
    gdk_device_get_position(pointer, nullptr, &x, &y);
    return {x, y};
}

std::unique_ptr<TextEntry> GtkPlatform::CreateTextEntry(HWND hwnd) {
    GtkNativeWindow* n = Find(hwnd);
    return n ? MakeGtkTextEntry(n->fixed) : nullptr;
}

std::unique_ptr<TooltipWindow> GtkPlatform::CreateTooltip(HWND owner) {
    GtkNativeWindow* n = Find(owner);
    return n ? MakeGtkTooltip(n->window, *this) : nullptr;
}

unsigned GtkPlatform::GetCaretBlinkTime() const {
    // GTK gives the whole on-off cycle; the caret's timer runs per half.
    gint cycle = 1200;
    g_object_get(gtk_settings_get_default(), "gtk-cursor-blink-time", &cycle, nullptr);
    return static_cast<unsigned>(std::max(2, cycle / 2));
}

IconPixels GtkPlatform::GetFileIcon(const std::wstring& path, int size) {
    IconPixels out;
    GFile* file = g_file_new_for_path(WideToUtf8(path).c_str());
    GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_ICON,
                                        G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    GIcon* icon = info ? g_file_info_get_icon(info) : nullptr;
    GtkIconInfo* found = icon ? gtk_icon_theme_lookup_by_gicon(gtk_icon_theme_get_default(), icon,
                                                               size, GTK_ICON_LOOKUP_FORCE_SIZE)
                              : nullptr;
    GdkPixbuf* pixbuf = found ? gtk_icon_info_load_icon(found, nullptr) : nullptr;
    if (pixbuf && gdk_pixbuf_get_bits_per_sample(pixbuf) == 8 &&
        gdk_pixbuf_get_n_channels(pixbuf) >= 3) {
        out.width = gdk_pixbuf_get_width(pixbuf);
        out.height = gdk_pixbuf_get_height(pixbuf);
        const int channels = gdk_pixbuf_get_n_channels(pixbuf);
        const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
        const int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
        const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
        out.argb.reserve(static_cast<size_t>(out.width) * out.height);
        for (int y = 0; y < out.height; ++y) {
            const guchar* p = pixels + static_cast<size_t>(y) * rowstride;
            for (int x = 0; x < out.width; ++x, p += channels) {
                const unsigned a = alpha ? p[3] : 255;
                out.argb.push_back((a << 24) | ((p[0] * a / 255) << 16) | ((p[1] * a / 255) << 8) |
                                   (p[2] * a / 255));
            }
        }
    }
    if (pixbuf) {
        g_object_unref(pixbuf);
    }
    if (found) {
        g_object_unref(found);
    }
    if (info) {
        g_object_unref(info);
    }
    g_object_unref(file);
    return out;
}

std::wstring GtkPlatform::ShowFileDialog(HWND owner, const FileDialogRequest& request) {
    GtkNativeWindow* parent = Find(owner);
    GtkFileChooserNative* chooser = gtk_file_chooser_native_new(
        WideToUtf8(request.title).c_str(), parent ? GTK_WINDOW(parent->window) : nullptr,
        request.save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
        request.save ? "_Save" : "_Open", "_Cancel");
    GtkFileChooser* files = GTK_FILE_CHOOSER(chooser);
    for (const auto& [label, pattern] : request.filters) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, WideToUtf8(label).c_str());
        gtk_file_filter_add_pattern(filter, WideToUtf8(pattern).c_str());
        gtk_file_chooser_add_filter(files, filter);
    }
    if (request.save) {
        gtk_file_chooser_set_do_overwrite_confirmation(files, TRUE);
        if (!request.fileName.empty()) {
            gtk_file_chooser_set_current_name(files, WideToUtf8(request.fileName).c_str());
        }
    }
    std::wstring chosen;
    if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        if (gchar* name = gtk_file_chooser_get_filename(files)) {
            chosen = Utf8ToWide(name);
            g_free(name);
        }
    }
    g_object_unref(chooser);
    if (request.save && !chosen.empty() && !request.defaultExtension.empty()) {
        const size_t slash = chosen.rfind(L'/');
        const size_t dot = chosen.rfind(L'.');
        if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) {
            chosen += L"." + request.defaultExtension;
        }
    }
    return chosen;
}

bool GtkPlatform::SetClipboardText(const std::wstring& text) {
    const std::string utf8 = WideToUtf8(text);
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), utf8.c_str(),
                           static_cast<gint>(utf8.size()));
    gtk_clipboard_store(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    return true;
}

bool GtkPlatform::CaptureScreen(const Rect& rect, const std::string& path) const {
    GdkWindow* root = gdk_get_default_root_window();
    if (!root || rect.IsEmpty()) {
        return false;
    }
    GdkPixbuf* shot =
        gdk_pixbuf_get_from_window(root, rect.left, rect.top, rect.Width(), rect.Height());
    if (!shot) {
        return false;
    }
    const gboolean saved = gdk_pixbuf_save(shot, path.c_str(), "png", nullptr, nullptr);
    g_object_unref(shot);
    return saved;
}

std::wstring GtkPlatform::GetClipboardText() {
    gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    if (!text) {
        return {};
    }
    std::wstring wide = Utf8ToWide(text);
    g_free(text);
    return wide;
}

} // namespace VellumUI
