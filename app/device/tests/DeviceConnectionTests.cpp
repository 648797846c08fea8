// Connection state from device scans, and the device change handler.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "app/device/DeviceMonitor.h"
#include "app/device/tests/ConnectionRig.h"
#include "sim/SimDeviceMonitor.h"

namespace Quillon {
namespace {

using Testing::ProtocolRig;
using Testing::RecordingConnectionHost;
using Testing::RecordingTaskPoster;

struct ConnectionRig : ProtocolRig {
    ConnectionRig() { definition.mode_list = Testing::Q400Modes(); }
    void ScanAndUpdate() {
        connection.ScanDevices();
        connection.UpdateConnectionState();
    }
    RecordingConnectionHost window;
    RecordingTaskPoster tasks;
    DeviceConnection connection{manager, definition, window, tasks};
};

TEST(DeviceConnection, ConnectedInEachMode) {
    for (int mode : {0, 1, 2}) {
        ConnectionRig rig;
        rig.keyboard->Attach(mode);
        rig.definition.page_flags = 0x7F;
        rig.ScanAndUpdate();
        EXPECT_TRUE(rig.connection.IsGateOpen()) << mode;
        EXPECT_EQ(rig.connection.GetConnectionMode(), mode);
        EXPECT_EQ(rig.connection.GetPresent(static_cast<std::size_t>(mode)), 1);
        EXPECT_EQ(rig.manager.GetSelectedDeviceType(), 201);
        EXPECT_EQ(rig.definition.page_flags, 0x47u);
        EXPECT_TRUE(rig.window.Saw(L"SetDeviceState 201 1"));
        EXPECT_TRUE(rig.window.Saw(mode == 0 ? L"SelectTabItem 1" : L"SelectTabItem 0"));
        EXPECT_TRUE(rig.window.Saw(L"ShowFactoryResetButton"));
        EXPECT_EQ(rig.window.status, 60);
        EXPECT_EQ(rig.window.page, 1);
        EXPECT_EQ(rig.window.name, 51);
        EXPECT_EQ(rig.window.picture, L"icon\\icon_keyboard.png");
        EXPECT_TRUE(rig.window.controls_visible);
        EXPECT_EQ(rig.tasks.codes, (std::vector<int>{13, 5}));
        // Commands reach the keyboard now.
        EXPECT_TRUE(rig.manager.SendFeature({7, 0xF7}));
    }
}

TEST(DeviceConnection, DisconnectedLook) {
    ConnectionRig rig;
    rig.keyboard->Attach(0);
    rig.ScanAndUpdate();
    rig.keyboard->Detach();
    rig.tasks.codes.clear();
    rig.ScanAndUpdate();
    EXPECT_FALSE(rig.connection.IsDeviceOpen());
    EXPECT_FALSE(rig.connection.IsGateOpen());
    EXPECT_EQ(rig.connection.GetConnectionMode(), -1);
    EXPECT_EQ(rig.window.status, 61);
    EXPECT_EQ(rig.window.page, 0);
    EXPECT_EQ(rig.window.name, 0);
    EXPECT_TRUE(rig.window.picture.empty());
    EXPECT_FALSE(rig.window.controls_visible);
    EXPECT_TRUE(rig.tasks.codes.empty());
    // A scan keeps the present marks of modes it did not find.
    EXPECT_EQ(rig.connection.GetPresent(0), 1);
}

TEST(DeviceConnection, WirelessWithoutMatchedModeShowsDisconnected) {
    ConnectionRig rig;
    rig.definition.mode_list.erase(rig.definition.mode_list.begin() + 1); // no receiver record
    rig.keyboard->Attach(1);
    rig.ScanAndUpdate();
    EXPECT_TRUE(rig.connection.IsDeviceOpen());
    EXPECT_FALSE(rig.connection.IsModeMatched());
    EXPECT_EQ(rig.connection.GetConnectionMode(), 1);
    EXPECT_EQ(rig.window.status, 61);
    EXPECT_EQ(rig.window.page, 0);
    EXPECT_FALSE(rig.window.controls_visible);
    EXPECT_TRUE(rig.tasks.codes.empty());
}

TEST(DeviceConnection, OnlyAnotherModelConnectedLooksConnectedWithoutMode) {
    VirtualClock clock;
    SimKeyboardDesc other_desc = Q400Description();
    other_desc.modes[0].pid = 0x1234;
    auto other = std::make_shared<SimKeyboard>(other_desc, clock);
    other->Attach(0);
    HidDeviceManager manager(std::make_unique<SimHidBackend>(other), clock);
    manager.AddRule(0x37F1, 0x1234, L"", 100, 0, L"0003:37F1:1234");
    KeyboardDef definition;
    definition.current_device_type = 201;
    definition.mode_list = Testing::Q400Modes();
    RecordingConnectionHost window;
    RecordingTaskPoster tasks;
    DeviceConnection connection(manager, definition, window, tasks);
    connection.ScanDevices();
    connection.UpdateConnectionState();
    EXPECT_TRUE(connection.IsDeviceOpen());
    EXPECT_FALSE(connection.IsModeMatched());
    EXPECT_EQ(connection.GetConnectionMode(), -1);
    EXPECT_EQ(window.status, 60);
    EXPECT_TRUE(window.controls_visible);
    EXPECT_EQ(tasks.codes, (std::vector<int>{13, 5}));
    // The gate stays closed: no device task reaches the other model.
    EXPECT_FALSE(connection.IsGateOpen());
}

TEST(DeviceConnection, DeviceChangeHandler) {
    struct Case {
        const char* name;
        int event;
        std::wstring path;
        bool present_before;
        std::vector<int> tasks;
        int present_after;
    };
    const std::wstring cable = L"/sys/devices/pci0000:00/usb1/1-2/1-2:1.2/0003:37f1:4a01.0007/"
                               L"hidraw/hidraw5";
    const std::wstring gatt = L"/sys/devices/virtual/misc/uhid/{00001812-0000-1000-8000-"
                              L"00805f9b34fb}/0005:37F1:4A03.0001";
    const Case cases[] = {
        {"arrival of the cable", kDeviceArrival, cable, false, {2}, 0},
        {"arrival of another device", kDeviceArrival, L"/sys/0003:046D:C52B.0001", false, {}, 0},
        {"Bluetooth GATT service", kDeviceArrival, gatt, false, {}, 0},
        {"removal of a mode not present", kDeviceRemoveComplete, cable, false, {}, 0},
        {"removal of the present cable", kDeviceRemoveComplete, cable, true, {3}, 0},
        {"other event", 0x8003, cable, true, {}, 1},
    };
    for (const Case& c : cases) {
        ConnectionRig rig;
        rig.definition.mode_list[0].present = c.present_before ? 1 : 0;
        rig.connection.OnDeviceChange(c.event, c.path);
        EXPECT_EQ(rig.tasks.codes, c.tasks) << c.name;
        EXPECT_EQ(rig.connection.GetPresent(0), c.present_after) << c.name;
    }
}

TEST(DeviceConnection, ScanDoesNotHoldTheWindowThreadOffWhileTellingTheWindow) {
    // A window that carries the device list mark out on its own thread and
    // waits for it, while that thread is busy with a device notification.
    struct WaitingWindow final : ConnectionHost {
        void ResetAllDeviceStates() override {}
        void SetDeviceState(int, int) override {
            auto window_thread = std::async(std::launch::async, [this] {
                connection->OnDeviceChange(kDeviceArrival, L"/sys/unrelated/hidraw0");
            });
            window_thread_finished =
                window_thread.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
        }
        void CloseDialogsAndPopups() override {}
        void SetStatusText(int) override {}
        void SetTabItemVisible(int, bool) override {}
        void SelectTabItem(int) override {}
        void ShowFactoryResetButton() override {}
        void SetDeviceControlsVisible(bool) override {}
        void SetDeviceName(int) override {}
        void SetDevicePicture(const std::wstring&) override {}
        void SelectPage(int) override {}
        DeviceConnection* connection = nullptr;
        bool window_thread_finished = false;
    };
    ProtocolRig rig;
    rig.definition.mode_list = Testing::Q400Modes();
    rig.keyboard->Attach(0);
    WaitingWindow window;
    RecordingTaskPoster tasks;
    DeviceConnection connection(rig.manager, rig.definition, window, tasks);
    window.connection = &connection;
    connection.ScanDevices();
    EXPECT_TRUE(window.window_thread_finished);
}

TEST(DeviceConnection, EmptyInterfaceTextMatchesEveryArrival) {
    ConnectionRig rig;
    rig.definition.mode_list[2].hid_interface.clear();
    rig.connection.OnDeviceChange(kDeviceArrival, L"/sys/0003:046D:C52B.0001/hidraw/hidraw9");
    rig.connection.OnDeviceChange(kDeviceRemoveComplete, L"/sys/0003:046D:C52B.0001");
    EXPECT_EQ(rig.tasks.codes, std::vector<int>{2});
}

TEST(DeviceConnection, SimulatedHotplugPostsPathsTheHandlerRecognises) {
    // Every interface the simulated keyboard plugs in is a Q400 arrival.
    ConnectionRig rig;
    struct Sink final : DeviceChangeSink {
        void PostDeviceChange(int event, const std::wstring& path) override {
            events.emplace_back(event, path);
        }
        std::vector<std::pair<int, std::wstring>> events;
    } sink;
    SimDeviceMonitor monitor(rig.keyboard);
    ASSERT_TRUE(monitor.Start(sink));
    rig.keyboard->Attach(1);
    ASSERT_EQ(sink.events.size(), 5u);
    for (const auto& [event, path] : sink.events) {
        EXPECT_EQ(event, kDeviceArrival);
        EXPECT_NE(path.find(L"0003:37F1:4A02"), std::wstring::npos) << path;
        rig.connection.OnDeviceChange(event, path);
    }
    EXPECT_EQ(rig.tasks.codes, std::vector<int>(5, 2));

    rig.ScanAndUpdate();
    rig.tasks.codes.clear();
    rig.keyboard->Detach();
    ASSERT_EQ(sink.events.size(), 10u);
    for (std::size_t i = 5; i < sink.events.size(); ++i) {
        EXPECT_EQ(sink.events[i].first, kDeviceRemoveComplete);
        rig.connection.OnDeviceChange(sink.events[i].first, sink.events[i].second);
    }
    // The first removal clears the mode's mark; the others find none.
    EXPECT_EQ(rig.tasks.codes, std::vector<int>{3});

    monitor.Stop();
    rig.keyboard->Attach(0);
    EXPECT_EQ(sink.events.size(), 10u);
}

} // namespace
} // namespace Quillon
