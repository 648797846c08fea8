// Timers of the paint manager: per-control window timers, the
// high-resolution tick, the overlay's hold, fade and progress steps, the
// tooltip and the caret blink.
#include "toolkit/core/PaintManager.h"

#include "toolkit/core/MControlFont.h"
#include "toolkit/core/MRender.h"
#include "toolkit/platform/Messages.h"

#include <algorithm>

namespace VellumUI {

namespace {

constexpr int kMaxTipWidth = 256;
// Overlay timing and look.
constexpr unsigned kMessageHoldMs = 3000;
constexpr unsigned kFadeStepMs = 50;
constexpr int kFadeStep = 10;
constexpr int kFadeFloor = 20;
constexpr unsigned kProgressStepMs = 10;
constexpr int kProgressStep = 2;
constexpr int kProgressJump = 6;
constexpr int kProgressFull = 100;
constexpr int kProgressStopFade = 5;
// Per-control timer ids run over 0 … 239.
constexpr unsigned kTimerIdSpan = 240;
// The default progress box: from 60 to 2 pixels above the client's bottom.
constexpr int kOverlayTop = 60;
constexpr int kOverlayBottom = 2;
// The caret is filled with alpha 0xFE, like the background.
constexpr std::uint8_t kCaretAlpha = 0xFE;

std::uint32_t WithAlpha(int alpha, std::uint32_t rgb) {
    return (static_cast<std::uint32_t>(alpha & 0xFF) << 24) | (rgb & 0xFFFFFF);
}

} // namespace

// Per-control timers.

bool PaintManager::SetTimer(MControl* control, unsigned key, unsigned intervalMs) {
    std::lock_guard guard(m_timerLock);
    for (auto& entry : m_timers) {
        if (entry.control == control && entry.hwnd == m_hwnd && entry.key == key) {
            if (!entry.stopped) {
                return false;
            }
            if (!GetPlatform()->SetTimer(m_hwnd, entry.platformId, intervalMs)) {
                return false;
            }
            entry.stopped = false;
            return true;
        }
    }
    // The next id of the cycle, skipping 0 (no timer), the manager's own
    // ids and the ids of other entries, which would mix two timers; a
    // stopped entry keeps its id for when it is started again.
    auto taken = [&](WPARAM id) {
        if (id == 0 || id == kMessageHoldTimerId || id == kOverlayFadeTimerId ||
            id == kProgressStepTimerId) {
            return true;
        }
        return std::any_of(m_timers.begin(), m_timers.end(),
                           [&](const TimerEntry& e) { return e.platformId == id; });
    };
    WPARAM id = 0;
    for (unsigned tries = 0; tries < kTimerIdSpan; ++tries) {
        m_timerCounter = (m_timerCounter + 1) % kTimerIdSpan;
        if (!taken(m_timerCounter)) {
            id = m_timerCounter;
            break;
        }
    }
    if (id == 0 || !GetPlatform()->SetTimer(m_hwnd, id, intervalMs)) {
        return false;
    }
    m_timers.push_back({m_hwnd, key, id, false, control});
    return true;
}

bool PaintManager::KillTimer(MControl* control, unsigned key) {
    std::lock_guard guard(m_timerLock);
    for (auto& entry : m_timers) {
        if (entry.control == control && entry.hwnd == m_hwnd && entry.key == key &&
            !entry.stopped) {
            GetPlatform()->KillTimer(m_hwnd, entry.platformId);
            entry.stopped = true;
            return true;
        }
    }
    return false;
}

void PaintManager::KillTimer(MControl* control) {
    std::lock_guard guard(m_timerLock);
    std::erase_if(m_timers, [&](const TimerEntry& entry) {
        if (entry.control != control) {
            return false;
        }
        if (!entry.stopped) {
            GetPlatform()->KillTimer(entry.hwnd, entry.platformId);
        }
        return true;
    });
}

void PaintManager::ClearTimers() {
    std::lock_guard guard(m_timerLock);
    for (const auto& entry : m_timers) {
        if (!entry.stopped) {
            GetPlatform()->KillTimer(entry.hwnd, entry.platformId);
        }
    }
    m_timers.clear();
}

WPARAM PaintManager::GetTimerId(MControl* control, unsigned key) const {
    std::lock_guard guard(m_timerLock);
    for (const auto& entry : m_timers) {
        if (entry.control == control && entry.key == key) {
            return entry.platformId;
        }
    }
    return 0;
}

void PaintManager::OnTimerMessage(WPARAM id) {
    switch (id) {
    case kCaretTimerId:
        m_caretPhase = !m_caretPhase;
        InvalidateRect(m_caretRect, false);
        return;
    case kMessageHoldTimerId:
        GetPlatform()->KillTimer(m_hwnd, kMessageHoldTimerId);
        GetPlatform()->SetTimer(m_hwnd, kOverlayFadeTimerId, kFadeStepMs);
        return;
    case kOverlayFadeTimerId:
        OnFadeTick();
        return;
    case kProgressStepTimerId:
        OnProgressTick();
        return;
    default:
        break;
    }
    std::vector<MControl*> due;
    {
        std::lock_guard guard(m_timerLock);
        for (const auto& entry : m_timers) {
            if (entry.platformId == id && entry.hwnd == m_hwnd && !entry.stopped) {
                due.push_back(entry.control);
            }
        }
    }
    for (MControl* control : due) {
        // An earlier handler may have removed it.
        bool alive;
        {
            std::lock_guard guard(m_timerLock);
            alive = std::any_of(m_timers.begin(), m_timers.end(), [&](const TimerEntry& e) {
                return e.control == control && e.platformId == id && !e.stopped;
            });
        }
        if (alive) {
            control->OnTimer();
        }
    }
}

// High-resolution tick.

unsigned PaintManager::SetMTimer(unsigned intervalMs) {
    m_tickId = RKTimer::SetMTimer(intervalMs);
    return m_tickId;
}

void PaintManager::AddMTimer(MControl* control) {
    std::lock_guard guard(m_tickLock);
    if (std::find(m_tickControls.begin(), m_tickControls.end(), control) == m_tickControls.end()) {
        m_tickControls.push_back(control);
    }
}

void PaintManager::OnMTimer(unsigned id) {
    if (id != m_tickId) {
        return;
    }
    std::lock_guard guard(m_tickLock);
    for (size_t i = 0; i < m_tickControls.size(); ++i) {
        MControl* c = m_tickControls[i];
        if (c->IsRunTimer() && c->IsVisible() && c->IsParentVisible()) {
            c->OnTimer();
        }
    }
}

// Overlay.

void PaintManager::SetMessage(const std::wstring& text, const Rect& rect, int level) {
    Platform* platform = GetPlatform();
    platform->KillTimer(m_hwnd, kMessageHoldTimerId);
    platform->KillTimer(m_hwnd, kOverlayFadeTimerId);
    m_overlayAlpha = 255;
    m_overlayText = text;
    m_overlayLevel = level;
    m_progressShown = 0;
    m_overlayRect = rect;
    InvalidateRect(rect, false);
    platform->SetTimer(m_hwnd, kMessageHoldTimerId, kMessageHoldMs);
}

void PaintManager::OnFadeTick() {
    m_overlayAlpha -= kFadeStep;
    if (m_overlayAlpha < kFadeFloor) {
        m_overlayAlpha = 0;
        m_progressShown = 0;
        m_progressTarget = 0;
        GetPlatform()->KillTimer(m_hwnd, kOverlayFadeTimerId);
    }
    InvalidateRect(m_overlayRect, false);
}

void PaintManager::SetProgress(int percent, const std::wstring& text, const Rect& rect) {
    if (percent == m_progressTarget) {
        return;
    }
    Platform* platform = GetPlatform();
    if (percent < kProgressStopFade) {
        platform->KillTimer(m_hwnd, kOverlayFadeTimerId);
    }
    m_overlayAlpha = 255;
    m_overlayText = text;
    m_progressTarget = percent;
    if (rect.IsEmpty()) {
        const Rect client = GetClientRect();
        m_overlayRect = {0, client.bottom - kOverlayTop, client.Width(),
                         client.bottom - kOverlayBottom};
    } else {
        m_overlayRect = rect;
    }
    if (m_progressTarget - m_progressShown < kProgressJump) {
        m_progressShown = m_progressTarget;
        InvalidateRect(m_overlayRect, false);
        if (m_progressShown >= kProgressFull) {
            platform->SetTimer(m_hwnd, kOverlayFadeTimerId, kFadeStepMs);
        }
        return;
    }
    platform->SetTimer(m_hwnd, kProgressStepTimerId, kProgressStepMs);
}

void PaintManager::OnProgressTick() {
    m_progressShown = std::min(m_progressShown + kProgressStep, m_progressTarget);
    InvalidateRect(m_overlayRect, false);
    if (m_progressShown >= m_progressTarget) {
        GetPlatform()->KillTimer(m_hwnd, kProgressStepTimerId);
    }
    if (m_progressShown >= kProgressFull) {
        GetPlatform()->SetTimer(m_hwnd, kOverlayFadeTimerId, kFadeStepMs);
    }
}

// Tooltip.

TooltipWindow* PaintManager::GetToolTipWnd() {
    if (!m_tooltip && GetPlatform()->IsWindow(m_hwnd)) {
        m_tooltip = GetPlatform()->CreateTooltip(m_hwnd);
        if (m_tooltip) {
            m_tooltip->SetMaxWidth(kMaxTipWidth);
        }
    }
    return m_tooltip.get();
}

void PaintManager::SetTooltip(const std::wstring& text, const Rect&) {
    if (text.empty() && !m_tooltip) {
        return;
    }
    TooltipWindow* tip = GetToolTipWnd();
    if (!tip) {
        return;
    }
    tip->SetText(text);
    tip->Activate(!text.empty());
}

void PaintManager::ClearTooltip() {
    SetTooltip({}, {});
    m_tooltipOwnerId = 0;
    m_tooltipOwner = nullptr;
}

// Caret.

void PaintManager::CreateCaret(int width, int height) {
    m_caretRect.right = m_caretRect.left + width;
    m_caretRect.bottom = m_caretRect.top + height;
}

void PaintManager::SetCaretPos(MControl* edit, int x, int y) {
    const Rect old = m_caretRect;
    m_caretRect = {x, y, x + old.Width(), y + old.Height()};
    m_caretObject = edit;
    InvalidateRect(old, false);
    InvalidateRect(m_caretRect, false);
}

void PaintManager::ShowCaret(bool show) {
    Platform* platform = GetPlatform();
    if (show) {
        platform->SetTimer(m_hwnd, kCaretTimerId, platform->GetCaretBlinkTime());
        m_caretShown = true;
        m_caretPhase = true;
    } else {
        platform->KillTimer(m_hwnd, kCaretTimerId);
        m_caretShown = false;
    }
    InvalidateRect(m_caretRect, false);
}

void PaintManager::DrawCaret(cairo_t* dc, const Rect& rect) {
    if (!m_caretObject || !m_caretObject->IsFocused() || GetPlatform()->GetFocus() != m_hwnd) {
        if (m_caretShown) {
            GetPlatform()->KillTimer(m_hwnd, kCaretTimerId);
            m_caretShown = false;
        }
        return;
    }
    if (!m_caretShown || !m_caretPhase) {
        return;
    }
    std::uint32_t colour = 0xFF000000;
    if (auto* font = dynamic_cast<MControlFont*>(m_caretObject)) {
        colour = font->GetTextColor();
    }
    MRender::DrawColor(dc, m_caretRect.Intersect(rect), WithAlpha(kCaretAlpha, colour));
}

} // namespace VellumUI
