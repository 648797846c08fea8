// Input routing: mouse, wheel, keys, tab order, focus, window drag and
// notifications through panels.
#include "toolkit/core/tests/TestControls.h"

#include <algorithm>

namespace VellumUI::Testing {
namespace {

using RoutingTest = HeadlessTest;

TEST_F(RoutingTest, CreationByNameFollowsTheTableAndTheOwner) {
    EXPECT_EQ(dialog->CreateControl(L"", 1, {0, 0, 10, 10}, L"", 1, 1), nullptr);
    EXPECT_EQ(dialog->CreateControl(L"NoSuchControl", 2, {0, 0, 10, 10}, L"", 1, 1), nullptr);
    // Case matters.
    EXPECT_EQ(dialog->CreateControl(L"testblock", 3, {0, 0, 10, 10}, L"", 1, 1), nullptr);
    EXPECT_EQ(dialog->CreateControl(L"PanelOnlyBlock", 4, {0, 0, 10, 10}, L"", 1, 1), nullptr);
    EXPECT_TRUE(dialog->GetControls().empty());

    auto* page =
        static_cast<MPanel*>(dialog->CreateControl(L"TestPage", 5, {0, 0, 200, 200}, L"", 1, 0));
    ASSERT_NE(page, nullptr);
    EXPECT_NE(page->CreateControl(L"PanelOnlyBlock", 6, {0, 0, 10, 10}, L"", 1, 0), nullptr);
    EXPECT_EQ(page->CreateControl(L"DialogOnlyBlock", 7, {0, 0, 10, 10}, L"", 1, 0), nullptr);
    EXPECT_FALSE(page->GetControl(6)->IsEnabled());

    // Text, visible and enabled flags as the class's arguments say; a fixed
    // enabled flag ignores the caller's.
    auto* block = static_cast<TestBlock*>(
        dialog->CreateControl(L"TestBlock", 8, {0, 0, 10, 10}, L"Hi", 0, 0));
    EXPECT_EQ(block->GetTitle(), L"Hi");
    EXPECT_FALSE(block->IsVisible());
    EXPECT_FALSE(block->IsEnabled());
    EXPECT_TRUE(
        dialog->CreateControl(L"DialogOnlyBlock", 9, {0, 0, 10, 10}, L"", 1, 0)->IsEnabled());
    EXPECT_EQ(block->GetManager(), &dialog->GetManager());
}

TEST_F(RoutingTest, LaterControlInTheListWinsTheMouse) {
    TestBlock* below = AddBlock(10, {10, 10, 110, 110});
    TestBlock* above = AddBlock(11, {60, 60, 160, 160});
    headless->Click(hwnd, 80, 80);
    Pump();
    EXPECT_EQ(below->presses, 0);
    EXPECT_EQ(above->presses, 1);
    ASSERT_EQ(dialog->With(kNotifyClick).size(), 1u);
    EXPECT_EQ(dialog->With(kNotifyClick)[0].id, 11u);

    headless->Click(hwnd, 20, 20);
    Pump();
    EXPECT_EQ(below->presses, 1);
}

TEST_F(RoutingTest, ReleaseOutsideTheControlDoesNotClick) {
    TestBlock* block = AddBlock(10, {10, 10, 110, 110});
    headless->MouseMove(hwnd, 20, 20);
    headless->LButtonDown(hwnd, 20, 20);
    headless->MouseMove(hwnd, 300, 200, MK_LBUTTON);
    headless->LButtonUp(hwnd, 300, 200);
    Pump();
    EXPECT_EQ(block->presses, 1);
    EXPECT_EQ(block->releases, 1);
    EXPECT_TRUE(dialog->With(kNotifyClick).empty());
    EXPECT_EQ(headless->GetCapture(), kNoWindow);
}

TEST_F(RoutingTest, NotificationsFromAButtonInAPageReachTheDialogWithItsId) {
    auto* page =
        static_cast<MPanel*>(dialog->CreateControl(L"TestPage", 500, {0, 0, 300, 300}, L"", 1, 1));
    auto* inner =
        static_cast<MPanel*>(page->CreateControl(L"TestPage", 501, {10, 10, 290, 290}, L"", 1, 1));
    auto* button = static_cast<TestBlock*>(
        inner->CreateControl(L"TestBlock", 1234, {50, 50, 100, 80}, L"", 1, 1));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(dialog->GetControl(1234), button);
    headless->Click(hwnd, 60, 60);
    Pump();
    ASSERT_EQ(dialog->notifications.size(), 2u);
    EXPECT_EQ(dialog->notifications[0].id, 1234u);
    EXPECT_EQ(dialog->notifications[0].code, kNotifyButtonDown);
    EXPECT_EQ(dialog->notifications[1].id, 1234u);
    EXPECT_EQ(dialog->notifications[1].code, kNotifyClick);
}

TEST_F(RoutingTest, WheelScrollsOncePerWholeNotch) {
    TestBlock* block = AddBlock(10, {0, 0, 200, 200});
    struct Case {
        int delta;
        int scrolls;
        int direction;
    } cases[] = {{60, 0, -1}, {-119, 0, -1}, {120, 1, 0}, {360, 3, 0}, {-240, 2, 1}, {250, 2, 0}};
    for (const auto& c : cases) {
        block->scrolls = 0;
        block->lastDirection = -1;
        headless->MouseMove(hwnd, 50, 50);
        headless->Wheel(hwnd, c.delta, 50, 50);
        Pump();
        EXPECT_EQ(block->scrolls, c.scrolls) << c.delta;
        EXPECT_EQ(block->lastDirection, c.direction) << c.delta;
    }
}

TEST_F(RoutingTest, WheelFallsThroughToTheListWhenTheHoverControlRefuses) {
    TestBlock* below = AddBlock(10, {0, 0, 200, 200});
    TestBlock* hovered = AddBlock(11, {50, 50, 150, 150});
    TestBlock* elsewhere = AddBlock(12, {300, 0, 350, 50});
    hovered->consumeScroll = false;
    headless->MouseMove(hwnd, 60, 60);
    headless->Wheel(hwnd, 120, 60, 60);
    Pump();
    EXPECT_GE(hovered->scrolls, 1);
    EXPECT_EQ(below->scrolls, 1);
    EXPECT_EQ(elsewhere->scrolls, 0); // refuses a point outside it
}

TEST_F(RoutingTest, TabMovesTheFocusAndOnlyPlainTabAndShiftTabDo) {
    TestBlock* a = AddBlock(1, {0, 0, 10, 10});
    TestBlock* hidden = AddBlock(2, {20, 0, 30, 10});
    TestBlock* b = AddBlock(3, {40, 0, 50, 10});
    TestBlock* noStop = AddBlock(4, {60, 0, 70, 10});
    TestBlock* c = AddBlock(5, {80, 0, 90, 10});
    for (TestBlock* t : {a, hidden, b, c}) {
        t->SetTabStop(true);
    }
    hidden->SetVisible(false);
    (void)noStop;
    PaintManager& manager = dialog->GetManager();
    auto press = [&](std::vector<UINT> modifiers) {
        for (UINT m : modifiers) {
            headless->KeyDown(hwnd, m);
        }
        headless->KeyDown(hwnd, VK_TAB);
        headless->KeyUp(hwnd, VK_TAB);
        for (UINT m : modifiers) {
            headless->KeyUp(hwnd, m);
        }
        Pump();
    };
    press({});
    EXPECT_EQ(manager.GetFocusControl(), a);
    press({});
    EXPECT_EQ(manager.GetFocusControl(), b);
    press({});
    EXPECT_EQ(manager.GetFocusControl(), c);
    press({}); // wraps
    EXPECT_EQ(manager.GetFocusControl(), a);
    press({VK_SHIFT}); // back, wrapping
    EXPECT_EQ(manager.GetFocusControl(), c);
    press({VK_CONTROL});
    EXPECT_EQ(manager.GetFocusControl(), c);
    press({VK_MENU});
    EXPECT_EQ(manager.GetFocusControl(), c);
    EXPECT_EQ(a->focusGained, 2);
    EXPECT_EQ(a->focusLost, 2);
}

TEST_F(RoutingTest, KeysCarryTheModifierValueAndMatchHotkeys) {
    TestBlock* block = AddBlock(1, {0, 0, 10, 10});
    struct Case {
        std::vector<UINT> held;
        UINT value;
    } cases[] = {{{}, 0},
                 {{VK_SHIFT}, 16},
                 {{VK_CONTROL}, 17},
                 {{VK_CONTROL, VK_SHIFT}, 17},
                 {{VK_MENU}, 18},
                 {{VK_MENU, VK_CONTROL}, 19}};
    for (const auto& c : cases) {
        block->keyModifiers.clear();
        for (UINT k : c.held) {
            headless->KeyDown(hwnd, k);
        }
        headless->KeyDown(hwnd, 'K');
        for (UINT k : c.held) {
            headless->KeyUp(hwnd, k);
        }
        Pump();
        ASSERT_FALSE(block->keyModifiers.empty());
        EXPECT_EQ(block->keyModifiers.back(), c.value);
    }
    // A hotkey consumes the key, so the next control never sees it.
    TestBlock* second = AddBlock(2, {20, 0, 30, 10});
    block->SetHotKey('H', 17);
    headless->KeyDown(hwnd, VK_CONTROL);
    headless->KeyDown(hwnd, 'H');
    headless->KeyUp(hwnd, VK_CONTROL);
    headless->KeyDown(hwnd, 'H');
    Pump();
    EXPECT_EQ(std::count(second->keys.begin(), second->keys.end(), UINT('H')), 1);
}

TEST_F(RoutingTest, PressOnEmptySpaceDragsTheWindowOnlyWhenEnabled) {
    AddBlock(1, {0, 0, 50, 50});
    headless->Click(hwnd, 10, 10);
    Pump();
    EXPECT_EQ(headless->GetCaptionDragCount(hwnd), 0);
    headless->Click(hwnd, 200, 200);
    Pump();
    EXPECT_EQ(headless->GetCaptionDragCount(hwnd), 1);
    dialog->EnableWndDrag(false);
    headless->Click(hwnd, 200, 200);
    Pump();
    EXPECT_EQ(headless->GetCaptionDragCount(hwnd), 1);
    // A right press never drags.
    dialog->EnableWndDrag(true);
    headless->MouseMove(hwnd, 200, 200);
    headless->RButtonDown(hwnd, 200, 200);
    headless->RButtonUp(hwnd, 200, 200);
    Pump();
    EXPECT_EQ(headless->GetCaptionDragCount(hwnd), 1);
}

TEST_F(RoutingTest, DoubleClickActsAsASecondPressUnlessTheControlTakesDoubleClicks) {
    TestBlock* plain = AddBlock(1, {0, 0, 50, 50});
    TestBlock* takesThem = AddBlock(2, {100, 0, 150, 50});
    takesThem->SetDblClk(true);
    takesThem->SetNotifyDblClk(true);
    for (auto [x, y] : {std::pair{10, 10}, std::pair{110, 10}}) {
        headless->Click(hwnd, x, y);
        headless->LButtonDblClk(hwnd, x, y);
        headless->LButtonUp(hwnd, x, y);
    }
    Pump();
    EXPECT_EQ(plain->presses, 2);
    EXPECT_EQ(plain->doubleClicks, 0);
    EXPECT_EQ(takesThem->presses, 1);
    EXPECT_EQ(takesThem->doubleClicks, 1);
    ASSERT_EQ(dialog->With(kNotifyDblClk).size(), 1u);
    EXPECT_EQ(dialog->With(kNotifyDblClk)[0].id, 2u);
}

TEST_F(RoutingTest, LeavingTheWindowClearsTheHoverAndRemovedControlsLeaveNoLinks) {
    TestBlock* block = AddBlock(1, {0, 0, 50, 50});
    PaintManager& manager = dialog->GetManager();
    headless->MouseMove(hwnd, 10, 10);
    Pump();
    EXPECT_EQ(manager.GetHoverControl(), block);
    headless->MouseLeave(hwnd);
    Pump();
    EXPECT_EQ(manager.GetHoverControl(), nullptr);

    headless->MouseMove(hwnd, 10, 10);
    Pump();
    manager.SetFocusControl(block);
    EXPECT_TRUE(manager.RemoveControl(block));
    EXPECT_EQ(manager.GetHoverControl(), nullptr);
    EXPECT_EQ(manager.GetFocusControl(), nullptr);
    headless->Click(hwnd, 10, 10);
    Pump(); // no control left to call into
}

TEST_F(RoutingTest, HoverShowsTheControlsTooltip) {
    TestBlock* block = AddBlock(1, {0, 0, 50, 50});
    block->SetTooltip(L"Profiles");
    headless->MouseMove(hwnd, 10, 10);
    Pump();
    TooltipWindow* tip = dialog->GetManager().GetToolTipWnd();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->GetText(), L"Profiles");
    EXPECT_TRUE(tip->IsActive());
    headless->MouseMove(hwnd, 200, 200);
    Pump();
    EXPECT_FALSE(tip->IsActive());
}

} // namespace
} // namespace VellumUI::Testing
