#include "toolkit/platform/headless/HeadlessPlatform.h"

#include "toolkit/platform/Messages.h"

#include <algorithm>
#include <cairo.h>
#include <cstring>

namespace VellumUI {

namespace {

// The half period the system reports by default.
constexpr unsigned kDefaultCaretBlinkMs = 530;
// RunFor never jumps further than this in one step, so that work scheduled
// while dispatching is seen in order.
constexpr std::chrono::milliseconds kMaxStep{1};

} // namespace

HeadlessPlatform::HeadlessPlatform() : m_now(Clock::now()) {}

HeadlessPlatform::~HeadlessPlatform() {
    for (auto& [h, n] : m_native) {
        if (n.picture) {
            cairo_surface_destroy(n.picture);
        }
    }
}

WindowSystem::TimePoint HeadlessPlatform::Now() const {
    std::lock_guard guard(m_clockLock);
    return m_now;
}

void HeadlessPlatform::WaitForWork(std::optional<TimePoint> deadline) {
    if (deadline) {
        // Nothing else can happen before the deadline on a virtual clock,
        // except posts from other threads, which are looked at next anyway.
        std::lock_guard guard(m_clockLock);
        m_now = std::max(m_now, *deadline);
        return;
    }
    std::unique_lock guard(m_wakeLock);
    m_wakeSignal.wait(guard, [this] { return m_woken; });
    m_woken = false;
}

void HeadlessPlatform::Wake() {
    {
        std::lock_guard guard(m_wakeLock);
        m_woken = true;
    }
    m_wakeSignal.notify_all();
}

bool HeadlessPlatform::NativeCreate(HWND hwnd, const WindowParams&) {
    m_native[hwnd] = Native{};
    return true;
}

void HeadlessPlatform::NativeDestroy(HWND hwnd) {
    auto it = m_native.find(hwnd);
    if (it != m_native.end()) {
        if (it->second.picture) {
            cairo_surface_destroy(it->second.picture);
        }
        m_native.erase(it);
    }
}

void HeadlessPlatform::NativeShow(HWND, int, bool) {}
void HeadlessPlatform::NativeSetRect(HWND, const Rect&) {}
void HeadlessPlatform::NativeSetZOrder(HWND, ZOrder) {}
void HeadlessPlatform::NativeSetTitle(HWND, const std::wstring&) {}
void HeadlessPlatform::NativeCapture(HWND, bool) {}

void HeadlessPlatform::NativeActivate(HWND hwnd) {
    NoteActivation(hwnd, true);
}

void HeadlessPlatform::PresentPicture(HWND hwnd, cairo_surface_t* picture, const Rect& rect,
                                      bool layered) {
    auto it = m_native.find(hwnd);
    if (it == m_native.end() || !picture ||
        cairo_surface_get_type(picture) != CAIRO_SURFACE_TYPE_IMAGE) {
        return;
    }
    Native& n = it->second;
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    if (!n.picture || cairo_image_surface_get_width(n.picture) != width ||
        cairo_image_surface_get_height(n.picture) != height) {
        if (n.picture) {
            cairo_surface_destroy(n.picture);
        }
        n.picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    }
    const Rect area = layered ? Rect{0, 0, width, height} : rect.Intersect({0, 0, width, height});
    cairo_t* cr = cairo_create(n.picture);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    ++n.presents;
}

Rect HeadlessPlatform::GetWorkArea(HWND) const {
    return m_workArea;
}

bool HeadlessPlatform::SetWindowIcon(HWND hwnd, const std::uint8_t* argb, int width, int height,
                                     int) {
    auto it = m_native.find(hwnd);
    if (it == m_native.end() || !argb || width <= 0 || height <= 0) {
        return false;
    }
    it->second.icon = true;
    return true;
}

void HeadlessPlatform::SetCursor(HWND hwnd, CursorKind cursor) {
    auto it = m_native.find(hwnd);
    if (it != m_native.end()) {
        it->second.cursor = cursor;
    }
}

void HeadlessPlatform::BeginCaptionDrag(HWND hwnd) {
    auto it = m_native.find(hwnd);
    if (it != m_native.end()) {
        ++it->second.drags;
    }
}

Point HeadlessPlatform::GetCursorPos() const {
    return m_cursor;
}

std::unique_ptr<TextEntry> HeadlessPlatform::CreateTextEntry(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    auto entry = std::make_unique<HeadlessTextEntry>(*this, hwnd);
    m_entries.push_back(entry.get());
    return entry;
}

std::unique_ptr<TooltipWindow> HeadlessPlatform::CreateTooltip(HWND owner) {
    if (!IsWindow(owner)) {
        return nullptr;
    }
    auto tip = std::make_unique<HeadlessTooltip>(*this, owner);
    m_tooltips.push_back(tip.get());
    return tip;
}

unsigned HeadlessPlatform::GetCaretBlinkTime() const {
    return kDefaultCaretBlinkMs;
}

std::wstring HeadlessPlatform::ShowFileDialog(HWND, const FileDialogRequest& request) {
    m_fileRequests.push_back(request);
    if (m_fileAnswers.empty()) {
        return {};
    }
    std::wstring answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return answer;
}

bool HeadlessPlatform::SetClipboardText(const std::wstring& text) {
    m_clipboard = text;
    return true;
}

std::wstring HeadlessPlatform::GetClipboardText() {
    return m_clipboard;
}

bool HeadlessPlatform::Dispatch(const Msg& msg, const Filter& filter) {
    if (msg.message == WM_QUIT) {
        return false;
    }
    if (!filter || !filter(msg)) {
        DispatchMessage(msg);
    }
    return true;
}

bool HeadlessPlatform::Pump(const Filter& filter) {
    Msg msg;
    while (PeekMessage(msg)) {
        if (!Dispatch(msg, filter)) {
            return false;
        }
    }
    return true;
}

bool HeadlessPlatform::RunFor(int ms, const Filter& filter) {
    const TimePoint end = Now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (!Pump(filter)) {
            return false;
        }
        const TimePoint now = Now();
        if (now >= end) {
            return true;
        }
        auto next = NextDeadline();
        TimePoint step = std::min(end, now + kMaxStep);
        if (next && *next > now) {
            step = std::min(end, *next);
        }
        std::lock_guard guard(m_clockLock);
        m_now = step;
    }
}

WPARAM HeadlessPlatform::MouseKeys() const {
    WPARAM keys = 0;
    if (m_held[VK_LBUTTON]) {
        keys |= MK_LBUTTON;
    }
    if (m_held[VK_RBUTTON]) {
        keys |= MK_RBUTTON;
    }
    if (m_held[VK_SHIFT]) {
        keys |= MK_SHIFT;
    }
    if (m_held[VK_CONTROL]) {
        keys |= MK_CONTROL;
    }
    return keys;
}

void HeadlessPlatform::PostMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys) {
    m_cursor = ClientToScreen(hwnd, {x, y});
    // While one window holds the capture, the mouse goes to it.
    HWND target = GetCapture() != kNoWindow ? GetCapture() : hwnd;
    Point p{x, y};
    if (target != hwnd) {
        const Rect from = GetWindowRect(hwnd);
        const Rect to = GetWindowRect(target);
        p = {x + from.left - to.left, y + from.top - to.top};
    }
    PostInput({target, msg, keys, MakePointParam(p.x, p.y)});
}

void HeadlessPlatform::MouseMove(HWND hwnd, int x, int y, WPARAM keys) {
    PostMouse(hwnd, WM_MOUSEMOVE, x, y, keys | MouseKeys());
}

void HeadlessPlatform::LButtonDown(HWND hwnd, int x, int y) {
    m_held[VK_LBUTTON] = true;
    PostMouse(hwnd, WM_LBUTTONDOWN, x, y, MouseKeys() | MK_LBUTTON);
}

void HeadlessPlatform::LButtonUp(HWND hwnd, int x, int y) {
    m_held[VK_LBUTTON] = false;
    PostMouse(hwnd, WM_LBUTTONUP, x, y, MouseKeys() & ~MK_LBUTTON);
}

void HeadlessPlatform::LButtonDblClk(HWND hwnd, int x, int y) {
    PostMouse(hwnd, WM_LBUTTONDBLCLK, x, y, MouseKeys() | MK_LBUTTON);
}

void HeadlessPlatform::RButtonDown(HWND hwnd, int x, int y) {
    m_held[VK_RBUTTON] = true;
    PostMouse(hwnd, WM_RBUTTONDOWN, x, y, MouseKeys() | MK_RBUTTON);
}

void HeadlessPlatform::RButtonUp(HWND hwnd, int x, int y) {
    m_held[VK_RBUTTON] = false;
    PostMouse(hwnd, WM_RBUTTONUP, x, y, MouseKeys() & ~MK_RBUTTON);
}

void HeadlessPlatform::Click(HWND hwnd, int x, int y) {
    MouseMove(hwnd, x, y);
    LButtonDown(hwnd, x, y);
    LButtonUp(hwnd, x, y);
}

void HeadlessPlatform::Wheel(HWND hwnd, int delta, int x, int y) {
    // The wheel message carries screen coordinates.
    const Point screen = ClientToScreen(hwnd, {x, y});
    PostInput({hwnd, WM_MOUSEWHEEL, MakeWheelParam(delta, MouseKeys()),
               MakePointParam(screen.x, screen.y)});
}

void HeadlessPlatform::KeyDown(HWND hwnd, UINT vk) {
    if (vk < m_held.size()) {
        m_held[vk] = true;
    }
    const bool alt = m_held[VK_MENU];
    PostInput({hwnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1});
}

void HeadlessPlatform::KeyUp(HWND hwnd, UINT vk) {
    const bool alt = m_held[VK_MENU];
    if (vk < m_held.size()) {
        m_held[vk] = false;
    }
    PostInput({hwnd, alt ? WM_SYSKEYUP : WM_KEYUP, vk, 1});
}

void HeadlessPlatform::MouseLeave(HWND hwnd) {
    NoteMouseLeave(hwnd);
}

void HeadlessPlatform::PressCloseButton(HWND hwnd) {
    PostMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

cairo_surface_t* HeadlessPlatform::GetPicture(HWND hwnd) const {
    auto it = m_native.find(hwnd);
    return it == m_native.end() ? nullptr : it->second.picture;
}

std::uint32_t HeadlessPlatform::PixelAt(HWND hwnd, int x, int y) const {
    cairo_surface_t* picture = GetPicture(hwnd);
    if (!picture || x < 0 || y < 0 || x >= cairo_image_surface_get_width(picture) ||
        y >= cairo_image_surface_get_height(picture)) {
        return 0;
    }
    cairo_surface_flush(picture);
    const unsigned char* row =
        cairo_image_surface_get_data(picture) + y * cairo_image_surface_get_stride(picture);
    std::uint32_t pixel;
    std::memcpy(&pixel, row + x * 4, sizeof pixel);
    return pixel;
}

bool HeadlessPlatform::SavePng(HWND hwnd, const std::string& path) const {
    cairo_surface_t* picture = GetPicture(hwnd);
    return picture && cairo_surface_write_to_png(picture, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

int HeadlessPlatform::GetCaptionDragCount(HWND hwnd) const {
    auto it = m_native.find(hwnd);
    return it == m_native.end() ? 0 : it->second.drags;
}

CursorKind HeadlessPlatform::GetCursor(HWND hwnd) const {
    auto it = m_native.find(hwnd);
    return it == m_native.end() ? CursorKind::Arrow : it->second.cursor;
}

bool HeadlessPlatform::HasIcon(HWND hwnd) const {
    auto it = m_native.find(hwnd);
    return it != m_native.end() && it->second.icon;
}

int HeadlessPlatform::GetPresentCount(HWND hwnd) const {
    auto it = m_native.find(hwnd);
    return it == m_native.end() ? 0 : it->second.presents;
}

std::vector<HeadlessTextEntry*> HeadlessPlatform::TextEntries() const {
    return m_entries;
}

std::vector<HeadlessTooltip*> HeadlessPlatform::Tooltips() const {
    return m_tooltips;
}

void HeadlessPlatform::Forget(HeadlessTextEntry* entry) {
    std::erase(m_entries, entry);
}

void HeadlessPlatform::Forget(HeadlessTooltip* tip) {
    std::erase(m_tooltips, tip);
}

HeadlessTextEntry::HeadlessTextEntry(HeadlessPlatform& platform, HWND hwnd)
    : m_platform(platform), m_hwnd(hwnd) {}

HeadlessTextEntry::~HeadlessTextEntry() {
    m_platform.Forget(this);
}

void HeadlessTextEntry::SetText(const std::wstring& text) {
    m_text = text;
    if (m_style.limit > 0 && m_text.size() > static_cast<size_t>(m_style.limit)) {
        m_text.resize(m_style.limit);
    }
    if (m_listener.changed) {
        m_listener.changed();
    }
}

void HeadlessTextEntry::Show(bool show) {
    m_visible = show;
    if (!show) {
        m_focused = false;
    }
}

void HeadlessTextEntry::Type(const std::wstring& text) {
    if (!m_visible || !m_enabled || m_style.readOnly) {
        return;
    }
    for (wchar_t c : text) {
        if (m_style.digitsOnly && (c < L'0' || c > L'9')) {
            continue;
        }
        if (m_style.limit > 0 && m_text.size() >= static_cast<size_t>(m_style.limit)) {
            break;
        }
        m_text.push_back(c);
        if (m_listener.changed) {
            m_listener.changed();
        }
    }
}

void HeadlessTextEntry::LoseFocus() {
    if (!m_focused) {
        return;
    }
    m_focused = false;
    if (m_listener.focusLost) {
        m_listener.focusLost();
    }
}

void HeadlessTextEntry::PressEnter() {
    if (m_listener.activated) {
        m_listener.activated();
    }
}

HeadlessTooltip::HeadlessTooltip(HeadlessPlatform& platform, HWND owner)
    : m_platform(platform), m_owner(owner) {}

HeadlessTooltip::~HeadlessTooltip() {
    m_platform.Forget(this);
}

void HeadlessTooltip::RelayEvent(const Msg&) {
    ++m_relayed;
}

} // namespace VellumUI
