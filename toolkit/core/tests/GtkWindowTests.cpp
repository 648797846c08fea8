// The GTK back end on a real X server: a private Xvfb started by the test,
// a click sent with xdotool, a screenshot compared with the headless
// rendering of the same window, and the idle cost of a shown window. Exits
// with 77 (skipped) when Xvfb or xdotool is missing.
#include "toolkit/core/tests/TestControls.h"

#include "toolkit/platform/gtk/GtkPlatform.h"
#include "tools/testing/TestEnvironment.h"

#include <cairo.h>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace VellumUI::Testing {
namespace {

constexpr int kSkipped = 77;
const Rect kWindow{100, 100, 420, 300};

bool OnPath(const std::string& tool) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
        if (!dir.empty() && access((dir + "/" + tool).c_str(), X_OK) == 0) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

pid_t Spawn(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

int RunTool(std::vector<std::string> args) {
    const pid_t pid = Spawn(std::move(args));
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A private X server on a display number it picks itself (-displayfd tells
// us which once it accepts connections), one per test process: GTK keeps its
// display open until the process ends. The server dies with the process,
// even when the process crashes.
class Xvfb {
public:
    static bool Ensure() {
        static Xvfb server;
        return server.m_ready;
    }

private:
    Xvfb() { m_ready = Start(); }
    ~Xvfb() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool Start() {
        int fds[2];
        if (pipe(fds) != 0) {
            return false;
        }
        const pid_t parent = getpid();
        m_pid = fork();
        if (m_pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) {
                _exit(1);
            }
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        while (m_pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n') {
            number.push_back(c);
        }
        close(fds[0]);
        if (number.empty()) {
            return false;
        }
        setenv("DISPLAY", (":" + number).c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        return true;
    }

    pid_t m_pid = -1;
    bool m_ready = false;
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Runs the message loop for `ms` (a timer ends it) or until `done`.
template <typename Done> void RunLoop(Platform& platform, MDialog& dialog, unsigned ms, Done done) {
    constexpr WPARAM kStopTimer = 4000;
    platform.SetTimer(dialog.GetSafeHwnd(), kStopTimer, ms);
    Msg msg;
    while (!done() && platform.GetMessage(msg)) {
        if (msg.message == WM_TIMER && msg.wParam == kStopTimer) {
            break;
        }
        if (!dialog.PreTranslateMessage(msg)) {
            platform.DispatchMessage(msg);
        }
    }
    platform.KillTimer(dialog.GetSafeHwnd(), kStopTimer);
}

void BuildWindow(TestDialog& dialog) {
    ASSERT_NE(dialog.Create(kNoWindow, L"Smoke", 0, 0, kWindow), kNoWindow);
    const std::uint32_t colours[] = {0xFFC03030, 0xFF30C030, 0xFF3030C0};
    for (unsigned i = 0; i < 3; ++i) {
        const int left = 20 + static_cast<int>(i) * 100;
        auto* block = static_cast<TestBlock*>(
            dialog.CreateControl(L"TestBlock", 10 + i, {left, 60, left + 80, 120}, L"", 1, 1));
        ASSERT_NE(block, nullptr);
        block->colour = colours[i];
    }
    dialog.ShowWindow(SW_SHOW);
}

// Skips the test (exit 77) without the X tools; else installs the GTK
// platform on the private server.
void StartGtk(GtkPlatform*& gtk) {
    if (!OnPath("Xvfb") || !OnPath("xdotool")) {
        std::fprintf(stderr, "Xvfb or xdotool missing: skipped\n");
        std::fflush(stderr);
        _exit(kSkipped);
    }
    ASSERT_TRUE(Xvfb::Ensure());
    RegisterTestControls();
    std::unique_ptr<Platform> created = Manager::CreatePlatform("gtk");
    ASSERT_NE(created, nullptr);
    gtk = dynamic_cast<GtkPlatform*>(created.get());
    ASSERT_NE(gtk, nullptr);
    Platform::Install(std::move(created));
}

TEST(GtkWindow, ClickReachesTheDialogAndTheScreenMatchesTheHeadlessPicture) {
    GtkPlatform* gtk = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartGtk(gtk));

    const std::filesystem::path shotPath = std::filesystem::current_path() / "gtk_window.png";
    {
        TestDialog dialog;
        BuildWindow(dialog);
        RunLoop(*gtk, dialog, 500, [] { return false; });
        const Rect at = dialog.GetWindowRect();
        EXPECT_EQ(at.Width(), kWindow.Width());

        // Click the middle block.
        const int x = at.left + 160, y = at.top + 90;
        ASSERT_EQ(
            RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}),
            0);
        RunLoop(*gtk, dialog, 3000, [&] { return !dialog.With(kNotifyClick).empty(); });
        ASSERT_EQ(dialog.With(kNotifyClick).size(), 1u);
        EXPECT_EQ(dialog.With(kNotifyClick)[0].id, 11u);
        EXPECT_EQ(dialog.With(kNotifyButtonDown).size(), 1u);
        RunLoop(*gtk, dialog, 200, [] { return false; });
        ASSERT_TRUE(gtk->CaptureScreen(at, shotPath.string()));
        std::printf("screenshot: %s\n", shotPath.c_str());

        // A press on empty space drags the window with the pointer.
        const int ex = at.left + 10, ey = at.top + 180;
        auto step = [&](std::vector<std::string> args) {
            args.insert(args.begin(), "xdotool");
            ASSERT_EQ(RunTool(args), 0);
            RunLoop(*gtk, dialog, 200, [] { return false; });
        };
        step({"mousemove", std::to_string(ex), std::to_string(ey)});
        step({"mousedown", "1"});
        step({"mousemove", std::to_string(ex + 20), std::to_string(ey + 15)});
        step({"mousemove", std::to_string(ex + 40), std::to_string(ey + 30)});
        step({"mouseup", "1"});
        const Rect moved = dialog.GetWindowRect();
        EXPECT_EQ(moved.left, at.left + 40);
        EXPECT_EQ(moved.top, at.top + 30);
        EXPECT_EQ(dialog.With(kNotifyButtonDown).size(), 1u);

        // Shown and idle: no animation, so the loop sleeps.
        const double before = CpuSeconds();
        RunLoop(*gtk, dialog, 1000, [] { return false; });
        const double used = CpuSeconds() - before;
        std::printf("idle CPU over 1 s: %.4f s\n", used);
        EXPECT_LT(used, 0.05);
    }

    // The same window rendered without a display.
    auto headlessOwned = std::make_unique<HeadlessPlatform>();
    HeadlessPlatform* headless = headlessOwned.get();
    Platform::Install(std::move(headlessOwned));
    {
        TestDialog same;
        BuildWindow(same);
        headless->RunFor(20);
        cairo_surface_t* shot = cairo_image_surface_create_from_png(shotPath.c_str());
        ASSERT_EQ(cairo_surface_status(shot), CAIRO_STATUS_SUCCESS);
        cairo_surface_flush(shot);
        const int stride = cairo_image_surface_get_stride(shot);
        const unsigned char* data = cairo_image_surface_get_data(shot);
        int differing = 0;
        for (int py = 0; py < kWindow.Height(); ++py) {
            for (int px = 0; px < kWindow.Width(); ++px) {
                std::uint32_t screen;
                std::memcpy(&screen, data + py * stride + px * 4, 4);
                const std::uint32_t rendered = headless->PixelAt(same.GetSafeHwnd(), px, py);
                for (int shift = 0; shift < 24; shift += 8) {
                    if (std::abs(int((screen >> shift) & 0xFF) - int((rendered >> shift) & 0xFF)) >
                        2) {
                        ++differing;
                        break;
                    }
                }
            }
        }
        cairo_surface_destroy(shot);
        // Same layout and colours, pixel for pixel within rounding.
        EXPECT_EQ(differing, 0);
    }
    Platform::Install(nullptr);
}

TEST(GtkWindow, HostedEntryTakesTypedTextAndReportsChanges) {
    GtkPlatform* gtk = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartGtk(gtk));
    {
        TestDialog dialog;
        BuildWindow(dialog);
        std::unique_ptr<TextEntry> entry = gtk->CreateTextEntry(dialog.GetSafeHwnd());
        ASSERT_NE(entry, nullptr);
        int changes = 0;
        // Each change also wakes the loop below.
        entry->SetListener({[&] {
                                ++changes;
                                gtk->PostMessage(dialog.GetSafeHwnd(), WM_USER, 0, 0);
                            },
                            {},
                            {}});
        TextEntry::Style style;
        style.limit = 8;
        style.fontPixels = 14;
        entry->SetStyle(style);
        entry->SetRect({20, 140, 200, 170});
        entry->SetText(L"ab");
        entry->Show(true);
        RunLoop(*gtk, dialog, 300, [] { return false; });
        const Rect at = dialog.GetWindowRect();
        ASSERT_EQ(RunTool({"xdotool", "mousemove", std::to_string(at.left + 100),
                           std::to_string(at.top + 155)}),
                  0);
        gtk->SetForegroundWindow(dialog.GetSafeHwnd());
        entry->Focus();
        RunLoop(*gtk, dialog, 300, [] { return false; });
        EXPECT_TRUE(entry->HasFocus());
        ASSERT_EQ(RunTool({"xdotool", "type", "--delay", "20", "cdefghijk"}), 0);
        RunLoop(*gtk, dialog, 3000, [&] { return entry->GetText().size() >= 8; });
        EXPECT_EQ(entry->GetText(), L"abcdefgh"); // the limit holds
        EXPECT_GE(changes, 7);
        // Keys typed into the entry are not the dialog's.
        EXPECT_TRUE(dialog.notifications.empty());
    }
    Platform::Install(nullptr);
}

} // namespace
} // namespace VellumUI::Testing
