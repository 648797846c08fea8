// Scroll bars and panel scrolling.
#include "toolkit/core/tests/TestControls.h"

namespace VellumUI::Testing {
namespace {

using ScrollTest = HeadlessTest;

// A bar alone in a page, reporting to the dialog.
CScrollVertical* AddBar(MPanel* page, const Rect& rect) {
    auto bar = std::make_unique<CScrollVertical>();
    bar->SetID(77);
    bar->SetParent(page);
    bar->InitControl(page->GetManager());
    bar->SetControlRect(rect);
    return static_cast<CScrollVertical*>(page->AddChild(kControlList, std::move(bar)));
}

TEST_F(ScrollTest, ThumbLengthFollowsPageAndTrack) {
    auto* page =
        static_cast<MPanel*>(dialog->CreateControl(L"TestPage", 1, {0, 0, 400, 300}, L"", 1, 1));
    CScrollVertical* bar = AddBar(page, {380, 0, 387, 300});
    struct Case {
        int max, page, length, thumb;
        bool visible;
    } cases[] = {
        {1000, 100, 300, 100, true}, // page/max × track is 30: raised to 100
        {1000, 500, 300, 150, true}, // long enough already
        {1000, 100, 140, 90, true},  // short track: track − 50
        {100, 100, 300, 300, false}, // everything fits: no bar
    };
    for (const auto& c : cases) {
        bar->SetControlRect({380, 0, 387, c.length});
        bar->SetScrollInfo(c.max, 0, c.page, 0);
        bar->SetRange();
        EXPECT_EQ(bar->IsBarVisible(), c.visible) << c.max << "/" << c.page;
        if (c.visible) {
            EXPECT_EQ(bar->GetThumbRect().Height(), c.thumb) << c.page << " on " << c.length;
            EXPECT_EQ(bar->GetThumbRect().top, 0);
        }
    }
}

TEST_F(ScrollTest, PositionPlacesTheThumbAndMovingReportsIt) {
    auto* page =
        static_cast<MPanel*>(dialog->CreateControl(L"TestPage", 1, {0, 0, 400, 300}, L"", 1, 1));
    CScrollVertical* bar = AddBar(page, {380, 0, 387, 300});
    bar->SetScrollInfo(1000, 500, 100, 10);
    bar->SetRange();
    // Thumb 100 on a 300 track: 200 pixels of travel for 0 … 1000.
    EXPECT_EQ(bar->GetThumbRect().top, 100);
    EXPECT_EQ(bar->MoveRange(50), 50);
    EXPECT_EQ(bar->GetScrollCurrentPos(), 750);
    EXPECT_EQ(bar->MoveRange(500), 50); // stops at the end
    EXPECT_EQ(bar->GetScrollCurrentPos(), 1000);
    auto moved = dialog->With(kNotifyScrollPos);
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0].id, 77u);
    EXPECT_EQ(moved[0].wParam, 750u);
    EXPECT_TRUE(bar->ScrollRow(-3));
    EXPECT_EQ(bar->GetScrollCurrentPos(), 970);
    bar->SetScrollCurrentPos(0);
    EXPECT_FALSE(bar->ScrollRow(-1));
}

TEST_F(ScrollTest, DraggingTheThumbAndPagingWithTheMouse) {
    auto* page =
        static_cast<MPanel*>(dialog->CreateControl(L"TestPage", 1, {0, 0, 400, 300}, L"", 1, 1));
    CScrollVertical* bar = AddBar(page, {380, 0, 390, 300});
    bar->SetScrollInfo(1000, 0, 100, 10);
    bar->SetRange();
    headless->MouseMove(hwnd, 385, 50);
    headless->LButtonDown(hwnd, 385, 50);
    headless->MouseMove(hwnd, 385, 90, MK_LBUTTON);
    headless->LButtonUp(hwnd, 385, 90);
    Pump();
    EXPECT_EQ(bar->GetThumbRect().top, 40);
    EXPECT_EQ(bar->GetScrollCurrentPos(), 200);
    // A press below the thumb pages down by track × page / max = 30 pixels.
    headless->Click(hwnd, 385, 250);
    Pump();
    EXPECT_EQ(bar->GetThumbRect().top, 70);
}

TEST_F(ScrollTest, PanelScrollsItsContentButNotItsBars) {
    auto* page =
        static_cast<MPanel*>(dialog->CreateControl(L"TestPage", 1, {0, 0, 200, 100}, L"", 1, 1));
    auto* far = static_cast<TestBlock*>(
        page->CreateControl(L"TestBlock", 9, {10, 150, 60, 190}, L"", 1, 1));
    page->SetContentSize(200, 400);
    ASSERT_TRUE(page->GetVerticalScroll()->IsBarVisible());
    page->GetVerticalScroll()->SetScrollCurrentPosEx(100);
    EXPECT_EQ(page->GetScrollOffset().y, 100);
    // On screen the block is at y 50 … 90 now.
    headless->Click(hwnd, 20, 60);
    Pump();
    EXPECT_EQ(far->presses, 1);
    Frame();
    EXPECT_EQ(headless->PixelAt(hwnd, 20, 60), 0xFF3070C0u);
}

TEST_F(ScrollTest, StripsAreDrawnFromTheToolkitResources) {
    auto* page =
        static_cast<MPanel*>(dialog->CreateControl(L"TestPage", 1, {0, 0, 200, 300}, L"", 1, 1));
    page->SetContentSize(200, 3000);
    Frame();
    // The track and thumb cover the bar's column with something opaque.
    const std::uint32_t pixel = headless->PixelAt(hwnd, 196, 10);
    EXPECT_NE(pixel >> 24, 0u);
    EXPECT_NE(pixel, headless->PixelAt(hwnd, 100, 10));
}

} // namespace
} // namespace VellumUI::Testing
