// Painting: background, caches and update requests, visibility repaints,
// image cache, timers, the tick, the overlay.
#include "toolkit/core/tests/TestControls.h"

#include "toolkit/platform/Utf.h"
#include "tools/testing/TestEnvironment.h"

#include <atomic>
#include <functional>
#include <thread>

namespace VellumUI::Testing {
namespace {

using PaintTest = HeadlessTest;

// The background is filled with alpha 254: compare colours within a step of
// rounding and alpha at least 254.
::testing::AssertionResult IsColour(std::uint32_t pixel, int r, int g, int b) {
    auto near = [](std::uint32_t value, int want) {
        return std::abs(int(value & 0xFF) - want) <= 1;
    };
    if ((pixel >> 24) >= 0xFE && near(pixel >> 16, r) && near(pixel >> 8, g) && near(pixel, b)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::hex << "pixel 0x" << pixel;
}
bool IsBody(std::uint32_t pixel) {
    return IsColour(pixel, 9, 13, 19);
}

TEST_F(PaintTest, DefaultBackgroundIsABorderAroundTheBody) {
    Frame();
    EXPECT_TRUE(IsColour(headless->PixelAt(hwnd, 0, 0), 40, 80, 85));
    EXPECT_TRUE(IsColour(headless->PixelAt(hwnd, 399, 299), 40, 80, 85));
    EXPECT_TRUE(IsColour(headless->PixelAt(hwnd, 1, 1), 9, 13, 19));
    EXPECT_TRUE(IsColour(headless->PixelAt(hwnd, 200, 150), 9, 13, 19));
}

TEST_F(PaintTest, OnlyTheDirtyControlAndThoseAboveItThatOverlapRedraw) {
    TestBlock* bottom = AddBlock(1, {10, 10, 110, 110});
    TestBlock* middle = AddBlock(2, {50, 50, 150, 150});
    TestBlock* top = AddBlock(3, {100, 100, 200, 200});
    TestBlock* apart = AddBlock(4, {300, 10, 350, 60});
    TestBlock* aboveButApart = AddBlock(5, {300, 200, 350, 250});
    top->colour = 0xFF20C040;
    Frame();
    for (TestBlock* b : {bottom, middle, top, apart, aboveButApart}) {
        EXPECT_EQ(b->draws, 1);
    }
    middle->colour = 0xFFC02020;
    middle->UpdateControl(true);
    Frame();
    EXPECT_EQ(bottom->draws, 1);
    EXPECT_EQ(middle->draws, 2);
    EXPECT_EQ(top->draws, 2);
    EXPECT_EQ(apart->draws, 1);
    EXPECT_EQ(aboveButApart->draws, 1);
    // The cached bottom control still shows where the middle one is not.
    EXPECT_EQ(headless->PixelAt(hwnd, 20, 20), 0xFF3070C0u);
    EXPECT_EQ(headless->PixelAt(hwnd, 60, 60), 0xFFC02020u);
    EXPECT_EQ(headless->PixelAt(hwnd, 120, 120), 0xFF20C040u);
}

TEST_F(PaintTest, RepaintsAreMergedIntoOneFrame) {
    TestBlock* block = AddBlock(1, {10, 10, 60, 60});
    Frame();
    const int paints = dialog->GetManager().GetPaintCount();
    for (int i = 0; i < 10; ++i) {
        block->UpdateControl(true);
    }
    Frame();
    EXPECT_EQ(dialog->GetManager().GetPaintCount(), paints + 1);
    EXPECT_EQ(block->draws, 2);
}

TEST_F(PaintTest, HidingRepaintsButShowingWithoutRepaintDoesNot) {
    TestBlock* block = AddBlock(1, {10, 10, 60, 60});
    Frame();
    EXPECT_EQ(headless->PixelAt(hwnd, 20, 20), 0xFF3070C0u);
    block->SetVisible(false);
    EXPECT_EQ(headless->GetUpdateRect(hwnd), (Rect{10, 10, 60, 60}));
    Frame();
    EXPECT_TRUE(IsBody(headless->PixelAt(hwnd, 20, 20)));

    block->SetVisible(true, false);
    EXPECT_TRUE(headless->GetUpdateRect(hwnd).IsEmpty());
    Frame();
    EXPECT_TRUE(IsBody(headless->PixelAt(hwnd, 20, 20)));
    block->SetVisible(false, false);
    block->SetVisible(true);
    EXPECT_FALSE(headless->GetUpdateRect(hwnd).IsEmpty());
}

TEST_F(PaintTest, ControlTimersAreReusedAfterKill) {
    TestBlock* a = AddBlock(1, {0, 0, 10, 10});
    TestBlock* b = AddBlock(2, {20, 0, 30, 10});
    PaintManager& manager = dialog->GetManager();
    EXPECT_TRUE(manager.SetTimer(a, 7, 100));
    EXPECT_FALSE(manager.SetTimer(a, 7, 100)); // running
    const WPARAM id = manager.GetTimerId(a, 7);
    EXPECT_NE(id, 0u);
    Run(350);
    EXPECT_EQ(a->timerTicks, 3);
    EXPECT_TRUE(manager.KillTimer(a, 7));
    EXPECT_FALSE(manager.KillTimer(a, 7));
    Run(300);
    EXPECT_EQ(a->timerTicks, 3);
    EXPECT_TRUE(manager.SetTimer(b, 7, 100)); // another control, another id
    EXPECT_NE(manager.GetTimerId(b, 7), id);
    EXPECT_TRUE(manager.SetTimer(a, 7, 50)); // stopped entry: same id again
    EXPECT_EQ(manager.GetTimerId(a, 7), id);
    Run(120);
    EXPECT_EQ(a->timerTicks, 5);
    manager.KillTimer(a);
    EXPECT_EQ(manager.GetTimerId(a, 7), 0u);
}

// A stopped entry keeps its id for its restart: no other entry may take it
// meanwhile, or both would run on one platform timer.
TEST_F(PaintTest, ControlTimerIdsNeverTakeTheOverlaysIdsNorAStoppedEntrysId) {
    PaintManager& manager = dialog->GetManager();
    TestBlock* block = AddBlock(1, {0, 0, 10, 10});
    TestBlock* stopped = AddBlock(2, {20, 0, 30, 10});
    ASSERT_TRUE(manager.SetTimer(stopped, 1, 1000));
    const WPARAM kept = manager.GetTimerId(stopped, 1);
    ASSERT_TRUE(manager.KillTimer(stopped, 1));
    for (unsigned key = 0; key < 300; ++key) {
        if (!manager.SetTimer(block, key, 1000)) {
            break;
        }
        const WPARAM id = manager.GetTimerId(block, key);
        EXPECT_TRUE(id != 0 && id != PaintManager::kMessageHoldTimerId &&
                    id != PaintManager::kOverlayFadeTimerId &&
                    id != PaintManager::kProgressStepTimerId && id != kept)
            << id;
    }
    EXPECT_TRUE(manager.SetTimer(stopped, 1, 1000));
    EXPECT_EQ(manager.GetTimerId(stopped, 1), kept);
}

TEST_F(PaintTest, MessageHoldsThreeSecondsThenFades) {
    dialog->SetMessage(L"Saved");
    PaintManager& manager = dialog->GetManager();
    // 200 wide, centred, from 60 to 2 pixels above the bottom.
    EXPECT_EQ(manager.GetOverlayRect(), (Rect{100, 240, 300, 298}));
    Run(2990);
    EXPECT_EQ(manager.GetOverlayAlpha(), 255);
    EXPECT_EQ(headless->PixelAt(hwnd, 110, 290), 0xFFFEFEFEu);
    // Hold ends at 3000 ms; each 50 ms takes 10 off; below 20 is gone.
    Run(10 + 50);
    EXPECT_EQ(manager.GetOverlayAlpha(), 245);
    Run(23 * 50 - 10);
    EXPECT_EQ(manager.GetOverlayAlpha(), 25);
    Run(50);
    EXPECT_EQ(manager.GetOverlayAlpha(), 0);
    Frame();
    EXPECT_TRUE(IsBody(headless->PixelAt(hwnd, 110, 290)));
    // A new message restarts the hold.
    dialog->SetMessage(L"Again");
    Run(4000);
    EXPECT_GT(manager.GetOverlayAlpha(), 0);
}

TEST_F(PaintTest, ProgressStepsByTwoThenFadesAndIgnoresTheSameTarget) {
    PaintManager& manager = dialog->GetManager();
    dialog->SetProgress(4, L"Downloading");
    EXPECT_EQ(manager.GetProgressShown(), 4); // less than 6 ahead: jumps
    dialog->SetProgress(10, L"Downloading");
    Run(30);
    EXPECT_EQ(manager.GetProgressShown(), 10);
    dialog->SetProgress(100, L"Downloading");
    EXPECT_EQ(manager.GetProgressShown(), 10);
    Run(10);
    EXPECT_EQ(manager.GetProgressShown(), 12);
    Run(100);
    EXPECT_EQ(manager.GetProgressShown(), 32);
    Run(350);
    EXPECT_EQ(manager.GetProgressShown(), 100);
    EXPECT_EQ(manager.GetOverlayAlpha(), 255);
    Run(24 * 50 + 10);
    EXPECT_EQ(manager.GetOverlayAlpha(), 0);

    dialog->SetProgress(50, L"First");
    Run(300);
    EXPECT_EQ(manager.GetProgressShown(), 50);
    dialog->SetProgress(50, L"Second");
    Frame();
    EXPECT_EQ(manager.GetProgressShown(), 50);
}

TEST_F(PaintTest, TickReachesOnlyControlsWhoseAncestorsAreVisible) {
    auto* page =
        static_cast<MPanel*>(dialog->CreateControl(L"TestPage", 100, {0, 0, 200, 200}, L"", 1, 1));
    auto* inPage =
        static_cast<TestBlock*>(page->CreateControl(L"TestBlock", 101, {0, 0, 20, 20}, L"", 1, 1));
    TestBlock* direct = AddBlock(102, {300, 0, 320, 20});
    std::atomic<bool> stop{false};
    for (TestBlock* b : {inPage, direct}) {
        b->SetRunTimer(true);
        b->AddMTimer();
    }
    dialog->SetMTimer(2);
    auto waitTicks = [](TestBlock* b, int atLeast) {
        for (int i = 0; i < 500 && b->timerTicks < atLeast; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return b->timerTicks >= atLeast;
    };
    EXPECT_TRUE(waitTicks(inPage, 3));
    page->SetVisible(false, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a tick under way ends
    const int frozen = inPage->timerTicks;
    const int before = direct->timerTicks;
    EXPECT_TRUE(waitTicks(direct, before + 5));
    EXPECT_EQ(inPage->timerTicks, frozen);
    dialog->KillMTimer();
}

// Another thread (a tick, a worker) asks for a repaint while the window
// is routing input to the controls: the request must not wait for the
// routing to end, and the controls above are still redrawn with it.
class MoveHookBlock : public TestBlock {
public:
    std::function<void()> onMove;
    bool OnControlMouseMove(WPARAM, Point) override {
        if (onMove) {
            onMove();
        }
        return false;
    }
};

TEST_F(PaintTest, UpdatesFromAnotherThreadNeitherWaitForInputNorSkipControlsAbove) {
    ControlFactory::Register<MoveHookBlock>(L"MoveHookBlock", ControlFactory::kDialog,
                                            ControlFactory::Args::TextVisibleEnabled);
    TestBlock* animated = AddBlock(1, {10, 10, 60, 60});
    TestBlock* above = AddBlock(2, {40, 40, 90, 90});
    auto* hook = static_cast<MoveHookBlock*>(
        dialog->CreateControl(L"MoveHookBlock", 3, {200, 200, 250, 250}, L"", 1, 1));
    Frame();
    std::thread worker;
    bool answered = false;
    hook->onMove = [&] {
        auto done = std::make_shared<std::atomic<bool>>(false);
        worker = std::thread([animated, done] {
            animated->UpdateControl(true);
            *done = true;
        });
        for (int i = 0; i < 400 && !*done; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        answered = *done;
    };
    headless->MouseMove(hwnd, 220, 220);
    Pump();
    hook->onMove = nullptr;
    worker.join();
    EXPECT_TRUE(answered);
    Frame();
    EXPECT_EQ(animated->draws, 2);
    EXPECT_EQ(above->draws, 2);
}

// A ticking control removed while its tick runs is destroyed only after
// the tick has left it.
std::atomic<bool> g_tickEntered{false};
std::atomic<bool> g_tickerDestroyed{false};
std::atomic<bool> g_tickSawDestruction{false};

class SlowTicker : public TestBlock {
public:
    ~SlowTicker() override { g_tickerDestroyed = true; }
    void OnControlTimer() override {
        g_tickEntered = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        if (g_tickerDestroyed) {
            g_tickSawDestruction = true;
        }
    }
};

TEST_F(PaintTest, RemovingATickingControlWaitsForItsTickToEnd) {
    ControlFactory::Register<SlowTicker>(L"SlowTicker", ControlFactory::kDialogAndPanel,
                                         ControlFactory::Args::TextVisibleEnabled);
    auto* page =
        static_cast<MPanel*>(dialog->CreateControl(L"TestPage", 100, {0, 0, 200, 200}, L"", 1, 1));
    for (MObject* owner : {static_cast<MObject*>(dialog.get()), static_cast<MObject*>(page)}) {
        g_tickEntered = g_tickerDestroyed = g_tickSawDestruction = false;
        MControl* ticker =
            owner == page ? page->CreateControl(L"SlowTicker", 101, {0, 0, 20, 20}, L"", 1, 1)
                          : dialog->CreateControl(L"SlowTicker", 102, {300, 0, 320, 20}, L"", 1, 1);
        ticker->SetRunTimer(true);
        ticker->AddMTimer();
        dialog->SetMTimer(2);
        for (int i = 0; i < 500 && !g_tickEntered; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_TRUE(g_tickEntered);
        if (owner == page) {
            page->RemoveControl(ticker);
        } else {
            dialog->GetManager().RemoveControl(ticker);
        }
        EXPECT_TRUE(g_tickerDestroyed);
        EXPECT_FALSE(g_tickSawDestruction);
        dialog->KillMTimer();
    }
}

TEST_F(PaintTest, SkinImagesAreCachedByNameWithTheFirstFrameCount) {
    QuillonTesting::TempDir folder;
    std::filesystem::create_directories(folder.Path() / "skins/theme1/icon");
    Surface strip = Surface::CreateARGB32(120, 10);
    ASSERT_EQ(cairo_surface_write_to_png(strip.Get(),
                                         (folder.Path() / "skins/theme1/icon/strip.png").c_str()),
              CAIRO_STATUS_SUCCESS);
    Manager::SetProgramFolder(Utf8ToWide(folder.Path().string()));
    TestBlock* a = AddBlock(1, {0, 0, 10, 10});
    TestBlock* b = AddBlock(2, {0, 0, 10, 10});
    EXPECT_TRUE(a->SetImage(L"icon\\strip.png", 4));
    EXPECT_TRUE(b->SetImage(L"icon//strip.png", 3));
    EXPECT_EQ(a->GetFrameWidth(), 30);
    EXPECT_EQ(b->GetFrameWidth(), 30);
    EXPECT_EQ(a->GetImage(), b->GetImage());
    EXPECT_FALSE(b->SetImage(L"icon/missing.png", 3));
    EXPECT_EQ(b->GetFrameWidth(), 30); // keeps the previous image
    // A picture that exists, but outside the skin folder, is never read.
    std::filesystem::copy_file(folder.Path() / "skins/theme1/icon/strip.png",
                               folder.Path() / "outside.png");
    EXPECT_FALSE(b->SetImage(L"..\\..\\outside.png", 3));
    EXPECT_FALSE(b->SetImage(L"icon/../../../outside.png", 3));
    Manager::SetProgramFolder(L"");
}

TEST_F(PaintTest, ToolkitScrollStripsAreCompiledIn) {
    PaintManager& manager = dialog->GetManager();
    EXPECT_EQ(manager.GetScrollVID(), 102u);
    EXPECT_EQ(manager.GetScrollHID(), 101u);
    const ImgResInfo* vertical = manager.AddImgResInfo(102, L"PNG", 4, false);
    const ImgResInfo* horizontal = manager.AddImgResInfo(101, L"PNG", 4, false);
    ASSERT_NE(vertical, nullptr);
    ASSERT_NE(horizontal, nullptr);
    EXPECT_GT(vertical->frameWidth, 0);
    EXPECT_EQ(manager.AddImgResInfo(9999, L"PNG", 4, false), nullptr);
}

TEST_F(PaintTest, CaretBlinksOnlyForAFocusedEditInTheActiveWindow) {
    TestBlock* edit = AddBlock(1, {20, 20, 120, 50});
    edit->SetTextColor(0xFFFF0000);
    PaintManager& manager = dialog->GetManager();
    manager.SetFocusControl(edit);
    manager.CreateCaret(2, 16);
    manager.SetCaretPos(edit, 30, 25);
    manager.ShowCaret(true);
    Frame();
    auto caretShown = [&] { return (headless->PixelAt(hwnd, 30, 30) & 0xFFFFFF) != 0x3070C0; };
    EXPECT_TRUE(caretShown());
    Run(headless->GetCaretBlinkTime());
    EXPECT_FALSE(caretShown());
    Run(headless->GetCaretBlinkTime());
    EXPECT_TRUE(caretShown());
    // Losing the focus hides it at the next paint.
    manager.SetFocusControl(nullptr);
    manager.InvalidateRect({30, 25, 32, 41}, false);
    Run(2 * headless->GetCaretBlinkTime());
    EXPECT_FALSE(caretShown());
    EXPECT_FALSE(manager.IsCaretVisible());
}

TEST_F(PaintTest, LayeredWindowsRepaintWholeAndKeepAlpha) {
    TestBlock* block = AddBlock(1, {10, 10, 60, 60});
    block->colour = 0x80FF0000; // half transparent
    dialog->SetLayeredWindow(true);
    Frame();
    block->UpdateControl(true);
    EXPECT_EQ(headless->GetUpdateRect(hwnd), (Rect{0, 0, 400, 300}));
    Frame();
    // Over the background the block blends; the picture keeps per-pixel
    // alpha.
    const std::uint32_t pixel = headless->PixelAt(hwnd, 20, 20);
    EXPECT_GE(pixel >> 24, 0xFEu);
    EXPECT_GT((pixel >> 16) & 0xFF, 0x70u);
}

} // namespace
} // namespace VellumUI::Testing
