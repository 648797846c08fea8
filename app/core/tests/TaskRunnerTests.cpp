// The task runner's passes over the simulated Q400: the connection gate, the
// task table, the live colour step and macro playback; the worker thread's
// start and stop; and hot-plug from the simulated keyboard to the connected
// state.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>

#include "app/core/TaskRunner.h"
#include "app/device/tests/ConnectionRig.h"
#include "sim/SimDeviceMonitor.h"

namespace Quillon {
namespace {

using Testing::ProtocolRig;
using Testing::RecordingConnectionHost;

class RecordingRunnerHost final : public TaskRunnerHost {
public:
    void EnableMainWindow(bool enable) override { Add(enable ? "enable" : "disable"); }
    void CloseBusyDialog() override { Add("close busy dialog"); }
    bool IsMainWindowVisible() const override { return visible; }
    void RefreshMacroList() override { Add("refresh macros"); }
    void RefreshKeyPages() override { Add("refresh keys"); }
    void RefreshLightPage() override { Add("refresh light"); }
    bool IsLightPageCurrent() const override { return light_page; }
    unsigned GetLightModeFlags() const override { return light_flags; }
    void UpdateLiveKeyColours(bool screen) override {
        Add(screen ? "live screen" : "live music");
        if (view != nullptr) {
            for (KeyColour& key : *view) {
                key.colour = 0x00FF00;
            }
        }
    }
    void StartMusicVisualizer() override { Add("visualizer"); }
    void CheckSoftwareVersion() override {
        Add("software version");
        if (software_check_ms > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(software_check_ms));
        }
        if (software_checked) {
            software_checked->set_value();
            software_checked.reset();
        }
    }
    void CheckFirmwareVersion() override { Add("firmware version"); }
    void DownloadSoftwareUpdate() override { Add("software update"); }
    void DownloadFirmwareUpdate() override { Add("firmware download"); }
    void StartFirmwareTool() override { Add("firmware tool"); }
    void PlayMacro(int macro_id) override { Add("play " + std::to_string(macro_id)); }

    std::vector<std::string> Calls() const {
        std::lock_guard lock(m_lock);
        return m_calls;
    }
    int Count(const std::string& call) const {
        const auto calls = Calls();
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    bool visible = true;
    bool light_page = false;
    unsigned light_flags = 0;
    std::vector<KeyColour>* view = nullptr;
    int software_check_ms = 0;
    std::optional<std::promise<void>> software_checked;

private:
    void Add(std::string call) {
        std::lock_guard lock(m_lock);
        m_calls.push_back(std::move(call));
    }
    mutable std::mutex m_lock;
    std::vector<std::string> m_calls;
};

struct RunnerRig : ProtocolRig {
    RunnerRig() {
        definition.mode_list = Testing::Q400Modes();
        runner.SetDevice(connection, protocol);
    }
    // Runs passes until the queue is empty (each pass takes one task).
    void Drain() {
        for (int guard = 0; guard < 100 && !runner.GetPendingTasks().empty(); ++guard) {
            runner.RunPass();
        }
    }
    void ConnectThroughRunner(int mode) {
        keyboard->Attach(mode);
        runner.PostTask(kTaskDeviceArrived);
        Drain();
        host.connection_mode = connection.GetConnectionMode();
        keyboard->ClearTransfers();
        clock.ClearPauses();
    }

    RecordingRunnerHost runner_host;
    RecordingConnectionHost window;
    TaskRunner runner{runner_host, definition, clock};
    DeviceConnection connection{manager, definition, window, runner};
};

TEST(TaskRunner, LightTaskWhileConnectedChangesTheKeyboard) {
    RunnerRig rig;
    rig.ConnectThroughRunner(0);
    rig.AddLight(2, 4, 3, 1, 5, 0xFF, 0);
    rig.host.light_mode = 2;
    rig.runner.PostTask(kTaskWriteLighting);
    rig.runner.RunPass();

    EXPECT_TRUE(rig.runner.GetPendingTasks().empty());
    EXPECT_EQ(rig.keyboard->State().light, (std::array<std::uint8_t, 6>{1, 5, 1, 2, 3, 0}));
    const auto calls = rig.runner_host.Calls();
    const std::vector<std::string> tail(calls.end() - 3, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"disable", "close busy dialog", "enable"}));
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<int>{16, 100}));
}

TEST(TaskRunner, DeviceTasksWithoutKeyboardAreDroppedSilently) {
    RunnerRig rig;
    rig.AddLight(2, 4, 3, 1, 5, 0xFF, 0);
    rig.host.light_mode = 2;
    rig.runner.PostTask(kTaskDeviceArrived); // scans and finds nothing
    for (int code : {kTaskWriteLighting, kTaskWriteKeys, kTaskFactoryReset, kTaskRefreshPages}) {
        rig.runner.PostTask(code);
    }
    rig.runner.PostMacro(4);
    rig.Drain();
    EXPECT_TRUE(rig.keyboard->Transfers().empty());
    EXPECT_EQ(rig.runner_host.Count("disable"), 0);
    EXPECT_EQ(rig.runner_host.Count("refresh light"), 0);
    // Passes that end at the gate or with no device open play nothing.
    rig.runner.RunPass();
    EXPECT_EQ(rig.runner_host.Count("play 4"), 0);
    EXPECT_EQ(rig.window.status, 61);
}

TEST(TaskRunner, StartUpTasksRunInOrderAndTheFirstConnectionOnce) {
    RunnerRig rig;
    rig.keyboard->Attach(0);
    rig.runner.PostTask(kTaskSoftwareVersion);
    rig.runner.PostTask(kTaskFirstConnection);
    rig.runner.RunPass();
    EXPECT_EQ(rig.runner_host.Calls(), std::vector<std::string>{"software version"});
    EXPECT_TRUE(rig.window.calls.empty()) << "no scan before the version check";
    rig.runner.RunPass();
    EXPECT_TRUE(rig.connection.IsGateOpen());
    EXPECT_EQ(rig.runner.GetPendingTasks(),
              (std::vector<int>{kTaskFirmwareVersion, kTaskRefreshPages}));
    rig.Drain();
    EXPECT_EQ(
        rig.runner_host.Calls(),
        (std::vector<std::string>{"software version", "visualizer", "disable", "enable", "disable",
                                  "firmware version", "enable", "disable", "refresh macros",
                                  "refresh keys", "refresh light", "enable"}));

    rig.runner.PostTask(kTaskFirstConnection);
    rig.runner.RunPass();
    EXPECT_EQ(rig.runner_host.Count("visualizer"), 1);
    EXPECT_EQ(std::count(rig.window.calls.begin(), rig.window.calls.end(), L"ResetAllDeviceStates"),
              1);
}

TEST(TaskRunner, TaskTable) {
    struct Case {
        int code;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {4, {"disable", "enable"}},
        {6, {"disable", "close busy dialog", "enable"}},
        {8, {"disable", "close busy dialog", "enable"}},
        {9, {"disable", "enable"}},
        {13, {"disable", "firmware version", "enable"}},
        {14, {"disable", "software update", "enable"}},
        {15, {"disable", "firmware download", "enable"}},
        {16, {"disable", "firmware tool", "enable"}},
        {99, {"disable", "enable"}},
    };
    for (const Case& c : cases) {
        RunnerRig rig;
        rig.ConnectThroughRunner(0);
        const std::size_t before = rig.runner_host.Calls().size();
        rig.runner.PostTask(c.code);
        rig.runner.RunPass();
        const auto calls = rig.runner_host.Calls();
        EXPECT_EQ(std::vector<std::string>(calls.begin() + static_cast<long>(before), calls.end()),
                  c.calls)
            << "task " << c.code;
    }
}

TEST(TaskRunner, PageRefreshFollowsThePageFlags) {
    RunnerRig rig;
    rig.ConnectThroughRunner(0);
    rig.definition.page_flags = KeyboardDef::kPageKeys;
    rig.runner.PostTask(kTaskRefreshPages);
    rig.runner.RunPass();
    EXPECT_EQ(rig.runner_host.Count("refresh keys"), 2);
    EXPECT_EQ(rig.runner_host.Count("refresh macros"), 1);
    EXPECT_EQ(rig.runner_host.Count("refresh light"), 1);
}

TEST(TaskRunner, LiveColoursBetweenTasks) {
    struct Case {
        const char* name;
        bool visible;
        bool light_page;
        unsigned flags;
        int device_type;
        std::string live_call; // empty: no live update
    };
    const Case cases[] = {
        {"music", true, true, 0x200, 100, "live music"},
        {"screen", true, true, 0x600, 100, "live screen"},
        {"hidden window", false, true, 0x200, 100, ""},
        {"other page", true, false, 0x200, 100, ""},
        {"no live mode", true, true, 0x100, 100, ""},
        {"family B", true, true, 0x200, 201, ""},
    };
    for (const Case& c : cases) {
        RunnerRig rig;
        rig.ConnectThroughRunner(0);
        rig.definition.current_device_type = c.device_type;
        rig.host.view = {{0x04, 0}, {0x05, 0}};
        rig.runner_host.view = &rig.host.view;
        rig.runner_host.visible = c.visible;
        rig.runner_host.light_page = c.light_page;
        rig.runner_host.light_flags = c.flags;
        rig.runner.PostMacro(7);
        // The first pass runs this task, then the live colours of the now
        // empty queue.
        rig.runner.PostTask(kTaskModelChanged);
        rig.runner.RunPass();
        rig.runner.RunPass();

        const bool live = !c.live_call.empty();
        EXPECT_EQ(rig.runner_host.Count(c.live_call), live ? 2 : 0) << c.name;
        // The start report once, then six chunks per pass.
        EXPECT_EQ(rig.keyboard->Transfers().size(), live ? 13u : 0u) << c.name;
        EXPECT_EQ(rig.runner_host.Count("play 7"), 1) << c.name;
    }
}

TEST(TaskRunner, HiddenWindowStillRunsTasks) {
    RunnerRig rig;
    rig.runner_host.visible = false;
    rig.ConnectThroughRunner(0);
    EXPECT_TRUE(rig.connection.IsGateOpen());
    EXPECT_EQ(rig.runner_host.Count("firmware version"), 1);
}

TEST(TaskRunnerThread, StartsOnceRunsQueuedTasksAndStops) {
    RunnerRig rig;
    std::promise<void> checked;
    auto done = checked.get_future();
    rig.runner_host.software_checked.emplace(std::move(checked));
    rig.runner.PostTask(kTaskSoftwareVersion); // queued before the start: waits
    EXPECT_EQ(rig.runner.Start(), 1);
    EXPECT_EQ(rig.runner.Start(), 0);
    EXPECT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    rig.runner.Stop();
    EXPECT_FALSE(rig.runner.IsRunning());
}

TEST(TaskRunnerThread, StopWaitsAtMostOneSecondForALongTask) {
    RunnerRig rig;
    rig.runner_host.software_check_ms = 1600;
    std::promise<void> started;
    rig.runner.PostTask(kTaskSoftwareVersion);
    ASSERT_EQ(rig.runner.Start(), 1);
    // Let the worker reach the task.
    for (int i = 0; i < 100 && rig.runner_host.Count("software version") == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const auto before = std::chrono::steady_clock::now();
    rig.runner.Stop();
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_GE(waited, std::chrono::milliseconds(900));
    EXPECT_LT(waited, std::chrono::milliseconds(1400));
}

// Hot-plug from the simulated keyboard, through the device change handler
// (run here where the window would run it), to the connection state.
TEST(TaskRunnerHotplug, AttachAndDetachTheSimulatedKeyboard) {
    RunnerRig rig;
    struct WindowSink final : DeviceChangeSink {
        explicit WindowSink(DeviceConnection& c) : connection(c) {}
        void PostDeviceChange(int event, const std::wstring& path) override {
            connection.OnDeviceChange(event, path);
        }
        DeviceConnection& connection;
    } sink(rig.connection);
    SimDeviceMonitor monitor(rig.keyboard);
    monitor.Start(sink);

    for (int mode : {1, 0, 2}) {
        rig.keyboard->Attach(mode);
        rig.Drain();
        EXPECT_TRUE(rig.connection.IsGateOpen()) << mode;
        EXPECT_EQ(rig.connection.GetConnectionMode(), mode);
        EXPECT_EQ(rig.window.status, 60);
        rig.host.connection_mode = rig.connection.GetConnectionMode();

        rig.keyboard->Detach();
        rig.Drain();
        EXPECT_FALSE(rig.connection.IsGateOpen()) << mode;
        EXPECT_EQ(rig.connection.GetConnectionMode(), -1);
        EXPECT_EQ(rig.window.status, 61);
    }
    monitor.Stop();
}

} // namespace
} // namespace Quillon
