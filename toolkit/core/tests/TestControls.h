// Small controls and a dialog for the toolkit's tests: a block that paints
// one colour through its cache and counts its redraws, reports presses and
// clicks like a button and records what reached it; a page panel; a dialog
// that records every notification. Plus a fixture running the headless
// platform.
#pragma once

#include "toolkit/core/ControlFactory.h"
#include "toolkit/core/MDialog.h"
#include "toolkit/core/MPanel.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/headless/HeadlessPlatform.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <vector>

namespace VellumUI::Testing {

// A button-like block of one colour.
class TestBlock : public MControlFont {
public:
    std::uint32_t colour = 0xFF3070C0;
    int draws = 0;
    int presses = 0;
    int releases = 0;
    int doubleClicks = 0;
    int scrolls = 0;
    int lastDirection = -1;
    int timerTicks = 0;
    int focusGained = 0;
    int focusLost = 0;
    bool consumeScroll = true;
    std::vector<UINT> keys;
    std::vector<UINT> keyModifiers;

    void DrawControl(cairo_t* dc, const Rect&) override {
        if (!GetUpdate()) {
            if (cairo_t* cr = UpdateMemDC(dc, m_rect.Width(), m_rect.Height())) {
                MRender::DrawColor(cr, m_rect, colour);
                ++draws;
            }
        }
        DrawMemDC(dc);
    }
    bool OnControlLButtonDown(WPARAM, Point p) override {
        ++presses;
        SendMessageW(kNotifyButtonDown, 0, MakePointParam(p.x, p.y));
        return true;
    }
    bool OnControlLButtonUp(WPARAM, Point p) override {
        ++releases;
        if (m_rect.Contains(p)) {
            SendMessageW(kNotifyClick, 0, 0);
        }
        return true;
    }
    bool OnControlLButtonDblClk(WPARAM, Point) override {
        ++doubleClicks;
        return true;
    }
    bool OnControlScroll(int, int direction, Point) override {
        ++scrolls;
        lastDirection = direction;
        return consumeScroll;
    }
    bool OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override {
        keys.push_back(key);
        keyModifiers.push_back(modifiers);
        return MControlFont::OnControlKeyDown(key, repeat, modifiers);
    }
    void OnControlTimer() override { ++timerTicks; }
    void SetControlFocus(bool focus) override {
        MControlFont::SetControlFocus(focus);
        if (focus) {
            m_focused = true;
            ++focusGained;
        } else {
            ++focusLost;
        }
    }
};

class TestPage : public MPanel {};

struct Notification {
    unsigned id;
    unsigned code;
    WPARAM wParam;
    LPARAM lParam;
};

class TestDialog : public MDialog {
public:
    std::vector<Notification> notifications;
    int closes = 0;

    LRESULT OnMessage(unsigned id, unsigned code, WPARAM wParam, LPARAM lParam) override {
        notifications.push_back({id, code, wParam, lParam});
        return 0;
    }
    LRESULT OnClose() override {
        ++closes;
        return 1;
    }
    std::vector<Notification> With(unsigned code) const {
        std::vector<Notification> out;
        for (const auto& n : notifications) {
            if (n.code == code) {
                out.push_back(n);
            }
        }
        return out;
    }
    TestBlock* Block(unsigned id) { return static_cast<TestBlock*>(GetControl(id)); }
};

inline void RegisterTestControls() {
    ControlFactory::Register<TestBlock>(L"TestBlock", ControlFactory::kDialogAndPanel,
                                        ControlFactory::Args::TextVisibleEnabled);
    ControlFactory::Register<TestPage>(L"TestPage", ControlFactory::kDialogAndPanel,
                                       ControlFactory::Args::Visible);
    ControlFactory::Register<TestBlock>(L"PanelOnlyBlock", ControlFactory::kPanel,
                                        ControlFactory::Args::VisibleEnabled);
    ControlFactory::Register<TestBlock>(L"DialogOnlyBlock", ControlFactory::kDialog,
                                        ControlFactory::Args::VisibleFixedEnabled);
}

// Runs each test on a fresh headless platform with a shown 400 × 300 dialog.
class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto platform = std::make_unique<HeadlessPlatform>();
        headless = platform.get();
        Platform::Install(std::move(platform));
        RegisterTestControls();
        dialog = std::make_unique<TestDialog>();
        hwnd = dialog->Create(kNoWindow, L"Test", 0, 0, {100, 100, 500, 400});
        ASSERT_NE(hwnd, kNoWindow);
        dialog->ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        dialog.reset();
        Platform::Install(nullptr);
    }
    // Dispatches what is ready, through the dialog's pre-translation as its
    // modal loop would.
    void Pump() {
        headless->Pump([this](const Msg& m) { return dialog && dialog->PreTranslateMessage(m); });
    }
    void Run(int ms) {
        headless->RunFor(ms,
                         [this](const Msg& m) { return dialog && dialog->PreTranslateMessage(m); });
    }
    // Enough virtual time for one frame to be painted.
    void Frame() { Run(20); }
    TestBlock* AddBlock(unsigned id, const Rect& r) {
        return static_cast<TestBlock*>(dialog->CreateControl(L"TestBlock", id, r, L"", 1, 1));
    }

    HeadlessPlatform* headless = nullptr;
    std::unique_ptr<TestDialog> dialog;
    HWND hwnd = kNoWindow;
};

} // namespace VellumUI::Testing
