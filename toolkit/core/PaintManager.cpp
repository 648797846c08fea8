#include "toolkit/core/PaintManager.h"

#include "toolkit/core/ChildList.h"

#include "toolkit/core/ControlFactory.h"
#include "toolkit/core/Fonts.h"
#include "toolkit/core/MControlFont.h"
#include "toolkit/core/MRender.h"
#include "toolkit/core/Manager.h"
#include "toolkit/core/Resources.h"
#include "toolkit/platform/Messages.h"

#include <algorithm>
#include <cairo.h>
#include <cstring>
#include <filesystem>

namespace VellumUI {

namespace {

// Backgrounds are filled with alpha 0xFE, not 0xFF.
constexpr std::uint8_t kBackgroundAlpha = 0xFE;
constexpr int kOverlayMinAlpha = 10;
constexpr int kOverlayFontPixels = 12;
constexpr int kProgressFull = 100;

std::uint32_t WithAlpha(int alpha, std::uint32_t rgb) {
    return (static_cast<std::uint32_t>(alpha & 0xFF) << 24) | (rgb & 0xFFFFFF);
}

} // namespace

PaintManager::PaintManager(MWindow* window)
    : m_window(window), m_overlayFont(Manager::GetFontName()) {}

PaintManager::~PaintManager() {
    StopTicks();
    DestroyData();
    m_tooltip.reset();
}

Platform* PaintManager::GetPlatform() const {
    return Manager::GetPlatform();
}

void PaintManager::Init(HWND hwnd, MObject* dialog) {
    if (!GetPlatform()->IsWindow(hwnd)) {
        return;
    }
    m_hwnd = hwnd;
    m_dialog = dialog;
    const std::wstring arial = Manager::GetFontPath(L"Arial.ttf");
    std::error_code error;
    if (std::filesystem::is_regular_file(std::filesystem::path(arial), error)) {
        AddTempFont(L"Arial", arial);
    }
    m_initialized = true;
    m_scrollVId = kScrollVerticalResId;
    m_scrollHId = kScrollHorizontalResId;
    AddGDITempFont(kEmbeddedFontResId);
}

void PaintManager::DestroyData() {
    if (!m_initialized) {
        return;
    }
    // The tick thread must be gone before the controls it calls.
    KillMTimer();
    m_backImage.reset();
    ClearTimers();
    ControlList areas;
    ControlList controls;
    {
        std::lock_guard guard(m_areasLock);
        areas.swap(m_areas);
    }
    {
        std::lock_guard guard(m_controlsLock);
        controls.swap(m_controls);
    }
    areas.clear();
    controls.clear();
    ClearImgResInfo();
    ClearTempFont();
    m_hover = m_focus = m_dragPending = m_tooltipOwner = m_caretObject = nullptr;
    {
        std::lock_guard guard(m_tickLock);
        m_tickControls.clear();
    }
    {
        std::lock_guard guard(m_pendingLock);
        m_pendingUpdates.clear();
    }
    m_initialized = false;
}

bool PaintManager::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    {
        std::lock_guard guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            if (m_controls[i]->OnWindowMessage(msg, wParam, lParam) != 0) {
                return true;
            }
        }
    }
    const Point p = PointFromParam(lParam);
    switch (msg) {
    case WM_PAINT:
        OnPaint();
        return true;
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        result = 1;
        return true;
    case WM_NCDESTROY:
        DestroyData();
        result = 1;
        return true;
    case WM_NCACTIVATE:
        if (wParam == 0) {
            OnDeactivate();
        }
        return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), static_cast<UINT>(lParam & 0xFFFF));
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, p);
        return true;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return true;
    case WM_LBUTTONDOWN:
        OnLButtonDown(wParam, p);
        return true;
    case WM_LBUTTONUP:
        OnLButtonUp(wParam, p);
        return true;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(wParam, p);
        return true;
    case WM_RBUTTONDOWN:
        OnRButtonDown(wParam, p);
        return true;
    case WM_RBUTTONUP:
        OnRButtonUp(wParam, p);
        return true;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(wParam, p);
        return true;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam, lParam);
        return true;
    case WM_TIMER:
        OnTimerMessage(wParam);
        return true;
    default:
        return false;
    }
}

// Controls.

MControl* PaintManager::CreateControl(ControlListKind kind, MObject* parent,
                                      const std::wstring& className, unsigned id, const Rect& rect,
                                      const std::wstring& text, int a, int b) {
    std::unique_ptr<MControl> control =
        ControlFactory::Create(ControlFactory::kDialog, className, {parent, id, rect, text, a, b});
    if (!control) {
        return nullptr;
    }
    control->InitControl(this);
    return AddControl(kind, std::move(control));
}

MControl* PaintManager::AddControl(ControlListKind kind, std::unique_ptr<MControl> control) {
    if (!control) {
        return nullptr;
    }
    MControl* raw = control.get();
    if (kind == kAreaList) {
        std::lock_guard guard(m_areasLock);
        m_areas.push_back(std::move(control));
    } else {
        std::lock_guard guard(m_controlsLock);
        m_controls.push_back(std::move(control));
    }
    return raw;
}

MControl* PaintManager::GetControl(unsigned id) const {
    if (MControl* found = FindChildById(m_controls, m_controlsLock, id)) {
        return found;
    }
    return FindChildById(m_areas, m_areasLock, id);
}

std::vector<MControl*> PaintManager::GetControls() const {
    return SnapshotChildren(m_controls, m_controlsLock);
}

std::vector<MControl*> PaintManager::GetAreas() const {
    return SnapshotChildren(m_areas, m_areasLock);
}

bool PaintManager::RemoveControl(MControl* control) {
    if (!control) {
        return false;
    }
    if (m_focus == control) {
        control->SetControlFocus(false);
        m_focus = nullptr;
    }
    std::unique_ptr<MControl> doomed;
    for (auto* list : {&m_controls, &m_areas}) {
        std::lock_guard guard(list == &m_controls ? m_controlsLock : m_areasLock);
        auto it = std::find_if(list->begin(), list->end(),
                               [control](const auto& c) { return c.get() == control; });
        if (it != list->end()) {
            doomed = std::move(*it);
            list->erase(it);
            break;
        }
    }
    if (!doomed) {
        return false;
    }
    ReleaseTicks(doomed.get());
    return true;
}

void PaintManager::RemoveAllControl() {
    ControlList areas;
    ControlList controls;
    {
        std::lock_guard guard(m_areasLock);
        areas.swap(m_areas);
    }
    {
        std::lock_guard guard(m_controlsLock);
        controls.swap(m_controls);
    }
    for (auto* list : {&areas, &controls}) {
        for (const auto& c : *list) {
            ReleaseTicks(c.get());
        }
    }
}

namespace {

void CollectTree(MControl* root, std::vector<MControl*>& out) {
    out.push_back(root);
    for (MControl* child : root->GetAreas()) {
        CollectTree(child, out);
    }
    for (MControl* child : root->GetControls()) {
        CollectTree(child, out);
    }
}

} // namespace

void PaintManager::ReleaseTicks(MControl* root) {
    if (!root) {
        return;
    }
    std::vector<MControl*> tree;
    CollectTree(root, tree);
    std::lock_guard guard(m_tickLock);
    std::erase_if(m_tickControls, [&](MControl* c) {
        return std::find(tree.begin(), tree.end(), c) != tree.end();
    });
}

void PaintManager::ForgetControl(MControl* control) {
    if (m_hover == control) {
        m_hover = nullptr;
    }
    if (m_focus == control) {
        m_focus = nullptr;
    }
    if (m_dragPending == control) {
        m_dragPending = nullptr;
    }
    if (m_tooltipOwner == control) {
        m_tooltipOwner = nullptr;
    }
    if (m_caretObject == control) {
        m_caretObject = nullptr;
    }
    {
        std::lock_guard guard(m_tickLock);
        std::erase(m_tickControls, control);
    }
    KillTimer(control);
}

// Invalidation.

void PaintManager::Invalidate() {
    GetPlatform()->InvalidateRect(m_hwnd, nullptr, false);
}

void PaintManager::InvalidateRect(const Rect& rect, bool erase) {
    GetPlatform()->InvalidateRect(m_hwnd, m_layered ? nullptr : &rect, erase);
}

LRESULT PaintManager::OnControlUpdate(const Rect& rect, bool redraw, MControl* control) {
    if (redraw && control) {
        control->SetUpdate(false, 0);
    }
    if (!GetPlatform()->IsUiThread()) {
        {
            std::lock_guard guard(m_pendingLock);
            m_pendingUpdates.push_back({rect, control});
        }
        InvalidateRect(rect, m_layered);
        return 0;
    }
    InvalidateRect(MarkControlsAbove(rect, control), m_layered);
    return 0;
}

Rect PaintManager::MarkControlsAbove(const Rect& rect, MControl* control) {
    Rect area = rect;
    bool found = false;
    auto walk = [&](ControlList& list) {
        for (size_t i = 0; i < list.size(); ++i) {
            MControl* c = list[i].get();
            if (c == control) {
                found = true;
                continue;
            }
            if (found && c->IsVisible() && c->GetRect().Intersects(rect)) {
                c->SetUpdate(false, 0);
                area = area.Union(c->GetRect());
            }
        }
    };
    {
        std::lock_guard guard(m_areasLock);
        walk(m_areas);
    }
    {
        // Found among the areas: every control lies above it.
        std::lock_guard guard(m_controlsLock);
        walk(m_controls);
    }
    return area;
}

Rect PaintManager::TakePendingUpdates() {
    std::vector<PendingUpdate> pending;
    {
        std::lock_guard guard(m_pendingLock);
        pending.swap(m_pendingUpdates);
    }
    Rect area;
    for (const auto& update : pending) {
        area = area.Union(MarkControlsAbove(update.rect, update.control));
    }
    return area;
}

Rect PaintManager::GetClientRect() const {
    return GetPlatform()->GetClientRect(m_hwnd);
}

Rect PaintManager::GetWindowRect() const {
    return GetPlatform()->GetWindowRect(m_hwnd);
}

void PaintManager::GetClientSize(int& width, int& height) const {
    const Rect r = GetClientRect();
    width = r.Width();
    height = r.Height();
}

void PaintManager::SetCapture() {
    GetPlatform()->SetCapture(m_hwnd);
    m_captured = true;
}

void PaintManager::ReleaseCapture() {
    if (GetPlatform()->GetCapture() == m_hwnd) {
        GetPlatform()->ReleaseCapture();
    }
    m_captured = false;
}

bool PaintManager::IsCaptured() const {
    return m_captured;
}

LRESULT PaintManager::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return GetPlatform()->SendMessage(m_hwnd, msg, wParam, lParam);
}

bool PaintManager::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return GetPlatform()->PostMessage(m_hwnd, msg, wParam, lParam);
}

void PaintManager::SetCursor(CursorKind cursor) {
    GetPlatform()->SetCursor(m_hwnd, cursor);
}

// Background.

bool PaintManager::LoadBKImage(const std::wstring& file) {
    m_backImage = MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    Invalidate();
    return m_backImage != nullptr;
}

bool PaintManager::LoadBKImage(unsigned resourceId, const std::wstring& type) {
    m_backImage = MRender::LoadImageFromIDResource(resourceId, type, true);
    Invalidate();
    return m_backImage != nullptr;
}

void PaintManager::SetBackMode(int mode, int value) {
    m_backMode = mode;
    m_backModeValue = value;
    Invalidate();
}

void PaintManager::SetBackColor(std::uint32_t inner, std::uint32_t border) {
    m_innerColour = inner;
    m_borderColour = border;
    Invalidate();
}

void PaintManager::SetScrollResID(unsigned vertical, unsigned horizontal) {
    m_scrollVId = vertical;
    m_scrollHId = horizontal;
}

void PaintManager::DrawBackground(cairo_t* cr, const Rect& client) {
    if (m_backImage) {
        cairo_surface_t* image = m_backImage.get();
        const int w = cairo_image_surface_get_width(image);
        const int h = cairo_image_surface_get_height(image);
        if (m_backMode == BACK_MODE_NORMAL) {
            MRender::DrawImage(cr, image, {0, 0, w, h}, 0, 0, w, h);
        } else if (m_backMode == BACK_MODE_NINEGRID) {
            MRender::DrawImageFrame(cr, image, client, 0, 0, w, h, m_backModeValue);
        }
        return;
    }
    MRender::DrawColor(cr, client, MRender::ArgbFromColorref(m_borderColour, kBackgroundAlpha));
    MRender::DrawColor(cr, client.Inflate(-1, -1),
                       MRender::ArgbFromColorref(m_innerColour, kBackgroundAlpha));
}

// Painting.

void PaintManager::OnPaint() {
    Platform* platform = GetPlatform();
    Rect update = platform->BeginPaint(m_hwnd);
    if (platform->IsIconic(m_hwnd) || update.IsEmpty()) {
        return;
    }
    const Rect client = GetClientRect();
    // Controls above those that asked for a repaint from another thread
    // are redrawn with them.
    const Rect pending = TakePendingUpdates();
    if (!pending.IsEmpty()) {
        update = update.Union(pending).Intersect(client);
    }
    if (m_layered) {
        update = client;
    }
    Surface picture = Surface::CreateARGB32(client.Width(), client.Height());
    if (!picture) {
        return;
    }
    Context context(picture.Get());
    cairo_t* cr = context.Get();
    DrawBackground(cr, client);
    const Rect drawRect = m_layered ? client : update;
    {
        std::lock_guard areasGuard(m_areasLock);
        std::lock_guard controlsGuard(m_controlsLock);
        for (size_t i = 0; i < m_areas.size(); ++i) {
            m_areas[i]->Draw(cr, drawRect);
        }
        for (size_t i = 0; i < m_controls.size(); ++i) {
            m_controls[i]->Draw(cr, drawRect);
        }
    }
    DrawCaret(cr, drawRect);
    if (m_layered) {
        // What was drawn without alpha (alpha 0, colour not black) is
        // meant to be opaque.
        cairo_surface_flush(picture.Get());
        unsigned char* data = cairo_image_surface_get_data(picture.Get());
        const int stride = cairo_image_surface_get_stride(picture.Get());
        for (int y = update.top; y < update.bottom; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride);
            for (int x = update.left; x < update.right; ++x) {
                if ((row[x] >> 24) == 0 && (row[x] & 0xFFFFFF) != 0) {
                    row[x] |= 0xFF000000;
                }
            }
        }
        cairo_surface_mark_dirty(picture.Get());
    }
    if (m_overlayAlpha > kOverlayMinAlpha && !m_overlayText.empty()) {
        DrawOverlay(cr);
    }
    cairo_surface_flush(picture.Get());
    platform->PresentPicture(m_hwnd, picture.Get(), update, m_layered);
    ++m_paintCount;
}

void PaintManager::DrawOverlay(cairo_t* cr) {
    const int a = m_overlayAlpha;
    const Rect& r = m_overlayRect;
    MRender::DrawColor(cr, r, WithAlpha(a, 0xE6E6E6));
    MRender::DrawColor(cr, r.Inflate(-2, -2), WithAlpha(a, 0xFEFEFE));
    MFont font{FindTempFont(m_overlayFont), kOverlayFontPixels, 0};
    const std::uint32_t textColour = WithAlpha(a, 0x050505);
    if (m_progressShown <= 0) {
        MRender::DrawTextW(cr, {r.left + 5, r.top + 5, r.left + 5 + 190, r.top + 5 + 50},
                           m_overlayText, textColour, font, DT_LEFT | DT_VCENTER | DT_WORDBREAK);
        return;
    }
    MRender::DrawTextW(cr, {r.left + 5, r.top + 5, r.right - 5, r.top + 5 + 30}, m_overlayText,
                       textColour, font, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    MRender::DrawLine(cr, {r.left + 10, r.bottom - 15}, {r.right - 20, r.bottom - 15}, 0xC8C8C8C8);
    const int width = std::min(m_progressShown, kProgressFull) * (r.Width() - 20) / kProgressFull;
    MRender::DrawColor(cr, {r.left + 10, r.bottom - 16, r.left + 10 + width, r.bottom - 13},
                       0xFEFFE100);
}

// Skin images.

const ImgResInfo* PaintManager::AddImgResInfo(const std::wstring& name, int frames) {
    const std::wstring key = Manager::NormalizePath(name);
    std::lock_guard guard(m_imageLock);
    if (auto it = m_fileImages.find(key); it != m_fileImages.end()) {
        return &it->second;
    }
    ImagePtr image = MRender::LoadImageFromFile(Manager::GetSkinPath(key));
    if (!image) {
        return nullptr;
    }
    ImgResInfo info;
    info.frames = std::max(1, frames);
    info.frameWidth = cairo_image_surface_get_width(image.get()) / info.frames;
    info.frameHeight = cairo_image_surface_get_height(image.get());
    info.image = std::move(image);
    info.name = key;
    return &(m_fileImages[key] = std::move(info));
}

const ImgResInfo* PaintManager::AddImgResInfo(unsigned resourceId, const std::wstring& type,
                                              int frames, bool fromProgram) {
    std::lock_guard guard(m_imageLock);
    auto& cache = fromProgram ? m_programImages : m_toolkitImages;
    if (auto it = cache.find(resourceId); it != cache.end()) {
        return &it->second;
    }
    ImagePtr image = MRender::LoadImageFromIDResource(resourceId, type, fromProgram);
    if (!image) {
        return nullptr;
    }
    ImgResInfo info;
    info.frames = std::max(1, frames);
    info.frameWidth = cairo_image_surface_get_width(image.get()) / info.frames;
    info.frameHeight = cairo_image_surface_get_height(image.get());
    info.image = std::move(image);
    info.resourceId = resourceId;
    return &(cache[resourceId] = std::move(info));
}

void PaintManager::ClearImgResInfo() {
    std::lock_guard guard(m_imageLock);
    m_fileImages.clear();
    m_programImages.clear();
    m_toolkitImages.clear();
}

// Fonts.

std::wstring PaintManager::FindTempFont(const std::wstring&) {
    // Every control draws with the toolkit's face, whatever it stores.
    const std::wstring face = Manager::GetFontName();
    std::lock_guard guard(m_fontLock);
    if (auto it = m_fonts.find(face); it != m_fonts.end()) {
        return it->second;
    }
    if (!Fonts::HasFamily(face)) {
        return {};
    }
    m_fonts[face] = face;
    return face;
}

bool PaintManager::AddTempFont(const std::wstring& face, const std::wstring& file) {
    if (!Fonts::AddFile(face, file)) {
        return false;
    }
    std::lock_guard guard(m_fontLock);
    m_fonts[face] = face;
    return true;
}

bool PaintManager::AddGDITempFont(unsigned resourceId) {
    return !Fonts::AddMemory(Resources::Find(false, resourceId, L"ttf")).empty();
}

void PaintManager::ClearTempFont() {
    std::lock_guard guard(m_fontLock);
    m_fonts.clear();
}

} // namespace VellumUI
