// The window, as far as the command-line driver has one: prints the status
// line, answers the protocol's questions about the current selections and
// remembers the queued tasks and device changes until the driver runs them.
//
// Ownership: the driver owns it for one run. Threads: the simulated device
// monitor posts device changes from the thread that plugs the keyboard; the
// lock guards the queues, everything else is the driver's thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/device/ConnectionHost.h"
#include "app/device/DeviceMonitor.h"
#include "app/device/ProtocolHost.h"
#include "app/device/TaskPoster.h"

namespace Quillon {

class ConsoleWindow final : public ConnectionHost,
                            public ProtocolHost,
                            public TaskPoster,
                            public DeviceChangeSink {
public:
    explicit ConsoleWindow(std::ostream& out) : m_out(out) {}

    void ResetAllDeviceStates() override {}
    void SetDeviceState(int device_type, int state) override {
        m_out << "device list: type " << device_type << " state " << state << '\n';
    }
    void CloseDialogsAndPopups() override {}
    void SetStatusText(int ui_text_id) override {
        m_out << "status line: text " << ui_text_id << '\n';
    }
    void SetTabItemVisible(int, bool) override {}
    void SelectTabItem(int) override {}
    void ShowFactoryResetButton() override {}
    void SetDeviceControlsVisible(bool) override {}
    void SetDeviceName(int) override {}
    void SetDevicePicture(const std::wstring&) override {}
    void SelectPage(int) override {}

    // Key and light profiles and the key layer as a fresh start has them.
    int GetCurrentProfile() const override { return 1; }
    int GetCurrentLayer() const override { return 0; }
    int GetLightProfile() const override { return 1; }
    int GetCurrentLightMode() const override { return light_mode; }
    int GetLightOption() const override { return 0; }
    int GetConnectionMode() const override { return connection_mode; }
    bool IsMusicLevelShown() const override { return true; }
    std::vector<KeyColour> GetLightViewColours() const override { return {}; }
    void SetLightViewColours(const std::vector<KeyColour>&) override {}
    void SetLightViewAllKeys(std::uint32_t) override {}
    void RefreshAfterFactoryReset() override { m_out << "pages reloaded\n"; }

    void PostTask(int code) override {
        std::lock_guard lock(m_lock);
        tasks.push_back(code);
    }
    void PostDeviceChange(int event, const std::wstring& path) override {
        std::lock_guard lock(m_lock);
        changes.emplace_back(event, path);
    }

    int connection_mode = -1;
    int light_mode = 1;
    std::mutex m_lock;
    std::vector<int> tasks;
    std::vector<std::pair<int, std::wstring>> changes;

private:
    std::ostream& m_out;
};

} // namespace Quillon
