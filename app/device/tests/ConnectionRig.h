// The connection code over the simulated Q400, with a window that records
// what it is told and a task queue that only remembers codes.
#pragma once

#include <string>
#include <vector>

#include "app/device/DeviceConnection.h"
#include "app/device/tests/ProtocolRig.h"

namespace Quillon::Testing {

class RecordingConnectionHost final : public ConnectionHost {
public:
    void ResetAllDeviceStates() override { Add(L"ResetAllDeviceStates"); }
    void SetDeviceState(int device_type, int state) override {
        Add(L"SetDeviceState " + std::to_wstring(device_type) + L" " + std::to_wstring(state));
    }
    void CloseDialogsAndPopups() override { Add(L"CloseDialogsAndPopups"); }
    void SetStatusText(int id) override {
        status = id;
        Add(L"SetStatusText " + std::to_wstring(id));
    }
    void SetTabItemVisible(int item, bool visible) override {
        Add(L"SetTabItemVisible " + std::to_wstring(item) + (visible ? L" 1" : L" 0"));
    }
    void SelectTabItem(int item) override { Add(L"SelectTabItem " + std::to_wstring(item)); }
    void ShowFactoryResetButton() override { Add(L"ShowFactoryResetButton"); }
    void SetDeviceControlsVisible(bool visible) override {
        controls_visible = visible;
        Add(visible ? L"SetDeviceControlsVisible 1" : L"SetDeviceControlsVisible 0");
    }
    void SetDeviceName(int id) override {
        name = id;
        Add(L"SetDeviceName " + std::to_wstring(id));
    }
    void SetDevicePicture(const std::wstring& text) override {
        picture = text;
        Add(L"SetDevicePicture " + text);
    }
    void SelectPage(int item) override {
        page = item;
        Add(L"SelectPage " + std::to_wstring(item));
    }

    bool Saw(const std::wstring& call) const {
        std::lock_guard lock(m_lock);
        for (const std::wstring& c : calls) {
            if (c == call) {
                return true;
            }
        }
        return false;
    }

    std::vector<std::wstring> calls;
    int status = 0;
    int page = -1;
    int name = -1;
    bool controls_visible = false;
    std::wstring picture;

private:
    void Add(std::wstring call) {
        std::lock_guard lock(m_lock);
        calls.push_back(std::move(call));
    }
    mutable std::mutex m_lock;
};

class RecordingTaskPoster final : public TaskPoster {
public:
    void PostTask(int code) override { codes.push_back(code); }
    std::vector<int> codes;
};

// The Q400's three connection modes as config.xml lists them.
inline std::vector<DeviceRecord> Q400Modes() {
    std::vector<DeviceRecord> modes;
    const struct {
        int mode;
        int pid;
        const wchar_t* text;
    } list[] = {{0, 0x4A01, L"0003:37F1:4A01"},
                {1, 0x4A02, L"0003:37F1:4A02"},
                {2, 0x4A03, L"0005:37F1:4A03"}};
    for (const auto& entry : list) {
        DeviceRecord record;
        record.device_type = 201;
        record.device_info = L"q400";
        record.mode = entry.mode;
        record.vid = 0x37F1;
        record.pid = entry.pid;
        record.hid_interface = entry.text;
        modes.push_back(record);
    }
    return modes;
}

} // namespace Quillon::Testing
