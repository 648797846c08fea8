// The shared window system through the headless back end: queue order,
// cross-thread calls, timers, frame pacing, hover and leave, destruction.
#include "toolkit/platform/Messages.h"
#include "toolkit/platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace VellumUI {
namespace {

// Records what its window receives; can answer sends.
struct Recorder : WindowProc {
    HeadlessPlatform* platform = nullptr;
    std::vector<Msg> seen;
    std::thread::id lastThread;
    LRESULT WindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        seen.push_back({hwnd, msg, wParam, lParam});
        lastThread = std::this_thread::get_id();
        if (msg == WM_USER + 1) {
            return static_cast<LRESULT>(wParam * 2);
        }
        return platform->DefWindowProc(hwnd, msg, wParam, lParam);
    }
    int Count(UINT msg) const {
        int n = 0;
        for (const auto& m : seen) {
            n += m.message == msg;
        }
        return n;
    }
};

class WindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        proc.platform = &platform;
        platform.RegisterClass(L"Probe");
        hwnd = Make(L"Probe window", kNoWindow, &proc);
        platform.ShowWindow(hwnd, SW_SHOW);
    }
    HWND Make(const std::wstring& title, HWND owner, WindowProc* p) {
        WindowParams params;
        params.className = L"Probe";
        params.title = title;
        params.owner = owner;
        params.rect = {10, 10, 210, 110};
        return platform.CreateWindow(params, p);
    }

    HeadlessPlatform platform;
    Recorder proc;
    HWND hwnd = kNoWindow;
};

TEST_F(WindowSystemTest, CreationNeedsARegisteredClassAndDeliversCreateFirst) {
    WindowParams params;
    params.className = L"Unregistered";
    EXPECT_EQ(platform.CreateWindow(params, &proc), kNoWindow);
    ASSERT_GE(proc.seen.size(), 3u);
    EXPECT_EQ(proc.seen[0].message, WM_NCCREATE);
    EXPECT_EQ(proc.seen[1].message, WM_CREATE);
    EXPECT_EQ(proc.seen[2].message, WM_SIZE);
    EXPECT_EQ(platform.FindWindow(L"Probe", L"Probe window"), hwnd);
    EXPECT_EQ(platform.FindWindow(L"", L"Probe window"), hwnd);
    EXPECT_EQ(platform.FindWindow(L"Other", L""), kNoWindow);
}

TEST_F(WindowSystemTest, CrossThreadSendBlocksUntilTheUiThreadHandlesIt) {
    std::atomic<LRESULT> result{-1};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        result = platform.SendMessage(hwnd, WM_USER + 1, 21, 0);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned); // nobody pumped yet
    Msg msg;
    while (!returned) {
        platform.PeekMessage(msg);
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(proc.lastThread, std::this_thread::get_id());
}

TEST_F(WindowSystemTest, SendToAWindowDestroyedMeanwhileReturnsZero) {
    std::atomic<LRESULT> result{-1};
    std::thread worker([&] { result = platform.SendMessage(hwnd, WM_USER + 1, 21, 0); });
    while (proc.Count(WM_USER + 1) == 0 && result == -1) {
        // Destroy before the send is taken.
        if (platform.IsWindow(hwnd)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            platform.DestroyWindow(hwnd);
        }
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(result, 0);
}

TEST_F(WindowSystemTest, ShowAndEnableFromAnotherThreadRunOnTheUiThreadInOrder) {
    std::thread([&] {
        platform.EnableWindow(hwnd, false);
        platform.ShowWindow(hwnd, SW_HIDE);
        platform.PostMessage(hwnd, WM_USER + 2, 0, 0);
    }).join();
    EXPECT_TRUE(platform.IsWindowEnabled(hwnd));
    platform.Pump();
    EXPECT_FALSE(platform.IsWindowEnabled(hwnd));
    EXPECT_FALSE(platform.IsWindowVisible(hwnd));
    EXPECT_EQ(proc.lastThread, std::this_thread::get_id());
    EXPECT_EQ(proc.seen.back().message, WM_USER + 2u);
}

TEST_F(WindowSystemTest, PaintsAreMergedAndPacedToFrames) {
    platform.RunFor(20);
    const int paints = proc.Count(WM_PAINT);
    Rect a{0, 0, 10, 10}, b{50, 50, 60, 60};
    platform.InvalidateRect(hwnd, &a, false);
    platform.InvalidateRect(hwnd, &b, false);
    EXPECT_EQ(platform.GetUpdateRect(hwnd), (Rect{0, 0, 60, 60}));
    platform.Pump();
    EXPECT_EQ(proc.Count(WM_PAINT), paints + 1);
    // Another invalidation right after waits for the next frame.
    platform.InvalidateRect(hwnd, &a, false);
    platform.Pump();
    EXPECT_EQ(proc.Count(WM_PAINT), paints + 1);
    platform.RunFor(15);
    EXPECT_EQ(proc.Count(WM_PAINT), paints + 2);
    // Hidden windows are not painted.
    platform.ShowWindow(hwnd, SW_HIDE);
    platform.InvalidateRect(hwnd, nullptr, false);
    platform.RunFor(50);
    EXPECT_EQ(proc.Count(WM_PAINT), paints + 2);
}

TEST_F(WindowSystemTest, TimersRepeatUntilKilled) {
    platform.SetTimer(hwnd, 9, 100);
    platform.RunFor(350);
    EXPECT_EQ(proc.Count(WM_TIMER), 3);
    EXPECT_TRUE(platform.KillTimer(hwnd, 9));
    EXPECT_FALSE(platform.KillTimer(hwnd, 9));
    platform.RunFor(300);
    EXPECT_EQ(proc.Count(WM_TIMER), 3);
}

TEST_F(WindowSystemTest, HoverAfterResting400MsAndLeaveOnce) {
    platform.TrackMouseEvent(hwnd, true, true, 400);
    platform.MouseMove(hwnd, 5, 5);
    platform.RunFor(300);
    platform.MouseMove(hwnd, 6, 5); // moving restarts the wait
    platform.RunFor(300);
    EXPECT_EQ(proc.Count(WM_MOUSEHOVER), 0);
    platform.RunFor(150);
    EXPECT_EQ(proc.Count(WM_MOUSEHOVER), 1);
    platform.MouseLeave(hwnd);
    platform.MouseLeave(hwnd);
    platform.Pump();
    EXPECT_EQ(proc.Count(WM_MOUSELEAVE), 1);
}

TEST_F(WindowSystemTest, DisabledWindowsGetNoInput) {
    platform.EnableWindow(hwnd, false);
    platform.Click(hwnd, 5, 5);
    platform.KeyDown(hwnd, 'A');
    platform.Pump();
    EXPECT_EQ(proc.Count(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(proc.Count(WM_KEYDOWN), 0);
}

TEST_F(WindowSystemTest, DestroyTakesOwnedWindowsAlongAndInvalidatesTheHandle) {
    Recorder ownedProc;
    ownedProc.platform = &platform;
    const HWND owned = Make(L"Owned", hwnd, &ownedProc);
    platform.SetTimer(hwnd, 1, 10);
    EXPECT_TRUE(platform.DestroyWindow(hwnd));
    EXPECT_FALSE(platform.IsWindow(hwnd));
    EXPECT_FALSE(platform.IsWindow(owned));
    EXPECT_EQ(ownedProc.Count(WM_NCDESTROY), 1);
    EXPECT_FALSE(platform.DestroyWindow(hwnd));
    EXPECT_FALSE(platform.PostMessage(hwnd, WM_USER, 0, 0));
    platform.RunFor(50); // its timer went with it
    EXPECT_EQ(proc.Count(WM_TIMER), 0);
}

TEST_F(WindowSystemTest, CloseCommandBecomesACloseThatDestroys) {
    platform.PressCloseButton(hwnd);
    platform.Pump();
    EXPECT_EQ(proc.Count(WM_CLOSE), 1);
    EXPECT_FALSE(platform.IsWindow(hwnd));
}

TEST_F(WindowSystemTest, QuitComesAfterWhatWasPostedBefore) {
    platform.PostMessage(hwnd, WM_USER + 3, 0, 0);
    platform.PostQuitMessage(5);
    Msg msg;
    ASSERT_TRUE(platform.GetMessage(msg));
    EXPECT_EQ(msg.message, WM_USER + 3u);
    EXPECT_FALSE(platform.GetMessage(msg));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(WindowSystemTest, CaptureSendsCaptureChangedToTheLoser) {
    Recorder otherProc;
    otherProc.platform = &platform;
    const HWND other = Make(L"Other", kNoWindow, &otherProc);
    platform.SetCapture(hwnd);
    platform.SetCapture(other);
    EXPECT_EQ(proc.Count(WM_CAPTURECHANGED), 1);
    EXPECT_EQ(platform.GetCapture(), other);
    // Mouse input goes to the capture, in its own coordinates.
    platform.MouseMove(hwnd, 5, 5);
    platform.Pump();
    ASSERT_EQ(otherProc.Count(WM_MOUSEMOVE), 1);
    platform.ReleaseCapture();
    EXPECT_EQ(platform.GetCapture(), kNoWindow);
}

TEST_F(WindowSystemTest, TextEntryRespectsItsStyle) {
    auto entry = platform.CreateTextEntry(hwnd);
    ASSERT_NE(entry, nullptr);
    int changes = 0;
    int lost = 0;
    entry->SetListener({[&] { ++changes; }, [&] { ++lost; }, {}});
    TextEntry::Style style;
    style.digitsOnly = true;
    style.limit = 4;
    entry->SetStyle(style);
    entry->Show(true);
    entry->Focus();
    auto* headlessEntry = platform.TextEntries().back();
    headlessEntry->Type(L"1a23456");
    EXPECT_EQ(entry->GetText(), L"1234");
    EXPECT_EQ(changes, 4);
    headlessEntry->LoseFocus();
    EXPECT_EQ(lost, 1);
    entry.reset();
    EXPECT_TRUE(platform.TextEntries().empty());
}

TEST_F(WindowSystemTest, FileDialogsAnswerFromTheQueueThenCancel) {
    FileDialogRequest request;
    request.save = true;
    request.filters = {{L"XML files", L"*.xml"}};
    platform.QueueFileDialogAnswer(L"/tmp/profile.xml");
    EXPECT_EQ(platform.ShowFileDialog(hwnd, request), L"/tmp/profile.xml");
    EXPECT_EQ(platform.ShowFileDialog(hwnd, request), L"");
    ASSERT_EQ(platform.FileDialogRequests().size(), 2u);
    EXPECT_TRUE(platform.FileDialogRequests()[0].save);
}

} // namespace
} // namespace VellumUI
