// Dialogs: modal results, close requests, centring, teardown.
#include "toolkit/core/Resources.h"
#include "toolkit/core/tests/TestControls.h"

namespace VellumUI::Testing {
namespace {

using DialogTest = HeadlessTest;

TEST_F(DialogTest, ShowModalReturnsTheCloseRequest) {
    struct Case {
        void (MDialog::*request)();
        unsigned result;
    } cases[] = {{&MDialog::DoOK, 1},
                 {&MDialog::DoCancel, 2},
                 {&MDialog::DoClose, 2},
                 {&MDialog::DoYes, 6},
                 {&MDialog::DoNo, 7}};
    for (const auto& c : cases) {
        TestDialog modal;
        ASSERT_NE(modal.Create(hwnd, L"Modal", 0, 0, {0, 0, 200, 100}), kNoWindow);
        (modal.*c.request)();
        EXPECT_EQ(modal.ShowModal(SW_SHOW), c.result);
        EXPECT_FALSE(modal.IsWindow());
        EXPECT_EQ(modal.closes, 1);
        // The owner is usable again.
        EXPECT_TRUE(headless->IsWindowEnabled(hwnd));
    }
}

TEST_F(DialogTest, SystemCloseEndsShowModalWithZero) {
    TestDialog modal;
    const HWND modalHwnd = modal.Create(hwnd, L"Modal", 0, 0, {0, 0, 200, 100});
    headless->PressCloseButton(modalHwnd);
    EXPECT_EQ(modal.ShowModal(SW_SHOW), 0u);
    EXPECT_FALSE(headless->IsWindow(modalHwnd));
}

TEST_F(DialogTest, ShowModalWithoutAWindowFails) {
    TestDialog never;
    EXPECT_EQ(never.ShowModal(SW_SHOW), 0xFFFFFFFFu);
}

// Looks at its owner from inside its own modal loop, then closes.
struct OwnerWatch : TestDialog {
    bool ownerEnabledInside = true;
    LRESULT OnTimer(WPARAM) override {
        ownerEnabledInside = GetPlatform()->IsWindowEnabled(GetParentHwnd());
        KillTimer(1);
        DoOK();
        return 0;
    }
};

TEST_F(DialogTest, OwnerIsDisabledWhileTheModalLoopRuns) {
    OwnerWatch watch;
    ASSERT_NE(watch.Create(hwnd, L"Watch", 0, 0, {0, 0, 200, 100}), kNoWindow);
    watch.SetTimer(1, 100);
    EXPECT_EQ(watch.ShowModal(SW_SHOW), 1u);
    EXPECT_FALSE(watch.ownerEnabledInside);
    EXPECT_TRUE(headless->IsWindowEnabled(hwnd));
}

TEST_F(DialogTest, QuitInsideAModalLoopIsPassedOn) {
    TestDialog modal;
    modal.Create(hwnd, L"Modal", 0, 0, {0, 0, 200, 100});
    headless->PostQuitMessage(3);
    EXPECT_EQ(modal.ShowModal(SW_SHOW), 0u);
    Msg msg;
    EXPECT_FALSE(headless->GetMessage(msg));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(DialogTest, WindowsAreFoundByClassAndTitle) {
    EXPECT_EQ(headless->FindWindow(L"VellumClient", L"Test"), hwnd);
    EXPECT_EQ(headless->FindWindow(L"VellumClient", L"Other"), kNoWindow);
    EXPECT_EQ(dialog->GetWindowText(), L"Test");
}

TEST_F(DialogTest, CentringStaysInsideTheWorkArea) {
    headless->SetWorkArea({0, 0, 1000, 800});
    struct Case {
        Rect owner;
        bool ownerVisible;
        Rect expected;
    } cases[] = {
        {{100, 100, 500, 400}, true, {200, 200, 400, 300}},    // on the owner
        {{900, 700, 1300, 1000}, true, {800, 700, 1000, 800}}, // pulled back in
        {{100, 100, 500, 400}, false, {400, 350, 600, 450}},   // hidden owner: work area
    };
    for (const auto& c : cases) {
        dialog->MoveWindow(c.owner);
        dialog->ShowWindow(c.ownerVisible ? SW_SHOW : SW_HIDE);
        TestDialog child;
        child.Create(hwnd, L"Child", 0, 0, {0, 0, 200, 100});
        child.CenterWindow();
        EXPECT_EQ(child.GetWindowRect(), c.expected);
    }
}

TEST_F(DialogTest, ResizingLaysOutAgainAndRepaints) {
    struct Sized : TestDialog {
        std::vector<Rect> sizes;
        void UISize(const Rect& r) override { sizes.push_back(r); }
    } sized;
    sized.Create(kNoWindow, L"Sized", 0, 0, {0, 0, 300, 200});
    sized.ShowWindow(SW_SHOW);
    headless->RunFor(20);
    Rect bigger{0, 0, 400, 250};
    sized.MoveWindow(bigger);
    ASSERT_FALSE(sized.sizes.empty());
    EXPECT_EQ(sized.sizes.back(), (Rect{0, 0, 400, 250}));
    EXPECT_EQ(headless->GetUpdateRect(sized.GetSafeHwnd()), (Rect{0, 0, 400, 250}));
}

TEST_F(DialogTest, DestroyingTheWindowReleasesTheControls) {
    TestBlock* block = AddBlock(1, {0, 0, 10, 10});
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(dialog->DestroyWindow());
    EXPECT_FALSE(dialog->IsWindow());
    EXPECT_EQ(dialog->GetControl(1), nullptr);
    EXPECT_FALSE(dialog->DestroyWindow());
    EXPECT_EQ(dialog->GetSafeHwnd(), kNoWindow);
}

TEST_F(DialogTest, IconComesFromTheProgramsResources) {
    Surface icon = Surface::CreateARGB32(16, 16);
    std::vector<std::uint8_t> png;
    cairo_surface_write_to_png_stream(
        icon.Get(),
        [](void* out, const unsigned char* data, unsigned int length) {
            auto* bytes = static_cast<std::vector<std::uint8_t>*>(out);
            bytes->insert(bytes->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    EXPECT_FALSE(dialog->SetIcon(4321));
    Resources::Register(true, 4321, L"PNG", png);
    EXPECT_TRUE(dialog->SetIcon(4321));
    EXPECT_TRUE(headless->HasIcon(hwnd));
}

} // namespace
} // namespace VellumUI::Testing
