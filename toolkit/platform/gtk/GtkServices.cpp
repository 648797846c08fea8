#include "toolkit/platform/gtk/GtkServices.h"

#include "toolkit/platform/Messages.h"
#include "toolkit/platform/Utf.h"

#include <cstdio>
#include <cstring>
#include <gtk/gtk.h>

namespace VellumUI {

namespace {

// Before the tip appears, the pointer rests this long.
constexpr guint kTipDelayMs = 500;
// The tip sits below the pointer.
constexpr int kTipOffsetY = 20;

std::string CssColour(std::uint32_t argb) {
    char text[64];
    std::snprintf(text, sizeof text, "rgba(%u,%u,%u,%.3f)", (argb >> 16) & 0xFF, (argb >> 8) & 0xFF,
                  argb & 0xFF, ((argb >> 24) & 0xFF) / 255.0);
    return text;
}

// A GtkEntry placed in the window's GtkFixed over the control.
class GtkTextEntry : public TextEntry {
public:
    explicit GtkTextEntry(GtkWidget* fixed) : m_fixed(fixed) {
        m_entry = gtk_entry_new();
        // The window may go first; then the widget is gone with it.
        g_object_add_weak_pointer(G_OBJECT(m_entry), reinterpret_cast<gpointer*>(&m_entry));
        m_css = gtk_css_provider_new();
        gtk_style_context_add_provider(gtk_widget_get_style_context(m_entry),
                                       GTK_STYLE_PROVIDER(m_css),
                                       GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        gtk_fixed_put(GTK_FIXED(m_fixed), m_entry, 0, 0);
        gtk_widget_set_no_show_all(m_entry, TRUE);
        g_signal_connect(m_entry, "changed", G_CALLBACK(OnChanged), this);
        g_signal_connect(m_entry, "focus-out-event", G_CALLBACK(OnFocusOut), this);
        g_signal_connect(m_entry, "activate", G_CALLBACK(OnActivate), this);
        g_signal_connect(m_entry, "insert-text", G_CALLBACK(OnInsert), this);
    }

    ~GtkTextEntry() override {
        if (m_entry) {
            g_signal_handlers_disconnect_matched(m_entry, G_SIGNAL_MATCH_DATA, 0, 0, nullptr,
                                                 nullptr, this);
            g_object_remove_weak_pointer(G_OBJECT(m_entry), reinterpret_cast<gpointer*>(&m_entry));
            gtk_widget_destroy(m_entry);
        }
        g_object_unref(m_css);
    }

    void SetStyle(const Style& style) override {
        m_style = style;
        if (!m_entry) {
            return;
        }
        GtkEntry* entry = GTK_ENTRY(m_entry);
        gtk_entry_set_visibility(entry, !style.password);
        if (style.password) {
            gtk_entry_set_invisible_char(entry, static_cast<gunichar>(style.passwordChar));
        }
        gtk_entry_set_max_length(entry, std::max(0, style.limit));
        gtk_editable_set_editable(GTK_EDITABLE(entry), !style.readOnly);
        gtk_entry_set_alignment(entry, style.alignment == 1   ? 0.5f
                                       : style.alignment == 2 ? 1.0f
                                                              : 0.0f);
        gtk_entry_set_has_frame(entry, FALSE);
        std::string css = "entry { border: none; box-shadow: none; padding: 0; min-height: 0;";
        if (!style.fontFace.empty()) {
            css += " font-family: \"" + WideToUtf8(style.fontFace) + "\";";
        }
        css += " font-size: " + std::to_string(std::max(1, style.fontPixels)) + "px;";
        css += style.bold ? " font-weight: bold;" : "";
        css += style.italic ? " font-style: italic;" : "";
        css += style.underline ? " text-decoration: underline;" : "";
        css += " color: " + CssColour(style.textColor) + ";";
        if (style.backColor >> 24) {
            css += " background: " + CssColour(style.backColor) + ";";
        }
        css += " }";
        gtk_css_provider_load_from_data(m_css, css.c_str(), -1, nullptr);
    }

    void SetRect(const Rect& r) override {
        if (!m_entry) {
            return;
        }
        gtk_fixed_move(GTK_FIXED(m_fixed), m_entry, r.left, r.top);
        gtk_widget_set_size_request(m_entry, std::max(1, r.Width()), std::max(1, r.Height()));
    }

    void SetText(const std::wstring& text) override {
        if (m_entry) {
            gtk_entry_set_text(GTK_ENTRY(m_entry), WideToUtf8(text).c_str());
        }
    }

    std::wstring GetText() const override {
        return m_entry ? Utf8ToWide(gtk_entry_get_text(GTK_ENTRY(m_entry))) : std::wstring();
    }

    void Show(bool show) override {
        if (!m_entry) {
            return;
        }
        if (show) {
            gtk_widget_show(m_entry);
        } else {
            gtk_widget_hide(m_entry);
        }
    }

    bool IsVisible() const override { return m_entry && gtk_widget_get_visible(m_entry); }

    void SetEnabled(bool enabled) override {
        if (m_entry) {
            gtk_widget_set_sensitive(m_entry, enabled);
        }
    }

    void Focus() override {
        if (!m_entry) {
            return;
        }
        gtk_widget_grab_focus(m_entry);
        gtk_editable_set_position(GTK_EDITABLE(m_entry), -1);
    }

    bool HasFocus() const override { return m_entry && gtk_widget_has_focus(m_entry); }

    void SetListener(Listener listener) override { m_listener = std::move(listener); }

private:
    static void OnChanged(GtkEditable*, gpointer data) {
        auto* self = static_cast<GtkTextEntry*>(data);
        if (self->m_listener.changed) {
            self->m_listener.changed();
        }
    }
    static gboolean OnFocusOut(GtkWidget*, GdkEvent*, gpointer data) {
        auto* self = static_cast<GtkTextEntry*>(data);
        if (self->m_listener.focusLost) {
            self->m_listener.focusLost();
        }
        return FALSE;
    }
    static void OnActivate(GtkEntry*, gpointer data) {
        auto* self = static_cast<GtkTextEntry*>(data);
        if (self->m_listener.activated) {
            self->m_listener.activated();
        }
    }
    static void OnInsert(GtkEditable* editable, const gchar* text, gint length, gint*,
                         gpointer data) {
        auto* self = static_cast<GtkTextEntry*>(data);
        if (!self->m_style.digitsOnly) {
            return;
        }
        const std::string_view inserted(text, length < 0 ? std::strlen(text) : size_t(length));
        for (char c : inserted) {
            if (c < '0' || c > '9') {
                g_signal_stop_emission_by_name(editable, "insert-text");
                return;
            }
        }
    }

    GtkWidget* m_fixed;
    GtkWidget* m_entry = nullptr;
    GtkCssProvider* m_css = nullptr;
    Style m_style;
    Listener m_listener;
};

// A popup with a label, shown after the pointer rests over the owner.
class GtkTooltip : public TooltipWindow {
public:
    GtkTooltip(GtkWidget* owner, Platform& platform) : m_platform(platform) {
        m_window = gtk_window_new(GTK_WINDOW_POPUP);
        gtk_window_set_transient_for(GTK_WINDOW(m_window), GTK_WINDOW(owner));
        gtk_window_set_type_hint(GTK_WINDOW(m_window), GDK_WINDOW_TYPE_HINT_TOOLTIP);
        m_label = gtk_label_new("");
        gtk_label_set_line_wrap(GTK_LABEL(m_label), TRUE);
        gtk_container_add(GTK_CONTAINER(m_window), m_label);
        gtk_widget_show(m_label);
        GtkCssProvider* css = gtk_css_provider_new();
        gtk_css_provider_load_from_data(css,
                                        "window { background: white; border: 1px solid #767676; } "
                                        "label { padding: 2px 4px; color: black; }",
                                        -1, nullptr);
        for (GtkWidget* w : {m_window, m_label}) {
            gtk_style_context_add_provider(gtk_widget_get_style_context(w), GTK_STYLE_PROVIDER(css),
                                           GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        }
        g_object_unref(css);
    }

    ~GtkTooltip() override {
        Cancel();
        gtk_widget_destroy(m_window);
    }

    void SetText(const std::wstring& text) override {
        m_text = text;
        gtk_label_set_text(GTK_LABEL(m_label), WideToUtf8(text).c_str());
        if (text.empty()) {
            Hide();
        }
    }
    std::wstring GetText() const override { return m_text; }
    void Activate(bool active) override {
        m_active = active;
        if (!active) {
            Hide();
        }
    }
    bool IsActive() const override { return m_active; }
    void SetMaxWidth(int pixels) override {
        // Characters of about 7 pixels.
        gtk_label_set_max_width_chars(GTK_LABEL(m_label), std::max(1, pixels / 7));
    }

    void RelayEvent(const Msg& msg) override {
        if (msg.message != WM_MOUSEMOVE) {
            Hide();
            return;
        }
        if (!m_active || m_text.empty() || gtk_widget_get_visible(m_window)) {
            return;
        }
        Cancel();
        m_timer = g_timeout_add(kTipDelayMs, &GtkTooltip::OnDelay, this);
    }

private:
    static gboolean OnDelay(gpointer data) {
        auto* self = static_cast<GtkTooltip*>(data);
        self->m_timer = 0;
        if (self->m_active && !self->m_text.empty()) {
            const Point p = self->m_platform.GetCursorPos();
            gtk_window_move(GTK_WINDOW(self->m_window), p.x, p.y + kTipOffsetY);
            gtk_widget_show(self->m_window);
        }
        return G_SOURCE_REMOVE;
    }
    void Cancel() {
        if (m_timer) {
            g_source_remove(m_timer);
            m_timer = 0;
        }
    }
    void Hide() {
        Cancel();
        gtk_widget_hide(m_window);
    }

    Platform& m_platform;
    GtkWidget* m_window;
    GtkWidget* m_label;
    std::wstring m_text;
    bool m_active = false;
    guint m_timer = 0;
};

} // namespace

std::unique_ptr<TextEntry> MakeGtkTextEntry(void* fixed) {
    return std::make_unique<GtkTextEntry>(static_cast<GtkWidget*>(fixed));
}

std::unique_ptr<TooltipWindow> MakeGtkTooltip(void* owner, Platform& platform) {
    return std::make_unique<GtkTooltip>(static_cast<GtkWidget*>(owner), platform);
}

} // namespace VellumUI
