// Whether the keyboard is connected and how: runs the device scan against
// the mode list of config.xml, keeps the connection state, shows it in the
// window, and turns device arrival and removal notifications into rescans.
// The database is the master copy; nothing is read back from the keyboard.
//
// Ownership: the main window owns it. Threads: ScanDevices and
// UpdateConnectionState run on the task runner; OnDeviceChange runs on the
// window thread and only queues tasks. The present marks of the mode records
// are touched under this object's lock; the flags are atomic, so the gate can
// be read from any thread.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "app/device/ConnectionHost.h"
#include "app/device/HidDeviceManager.h"
#include "app/device/KeyboardDef.h"
#include "app/device/TaskPoster.h"

namespace Quillon {

class DeviceConnection {
public:
    // Commands always go to the interfaces of the Q400's device type.
    static constexpr int kCommandDeviceType = 201;
    // UI texts of the status line and the device name.
    static constexpr int kTextDeviceName = 51;
    static constexpr int kTextConnected = 60;
    static constexpr int kTextDisconnected = 61;
    // Page flags of the keyboard family once connected.
    static constexpr unsigned kFamilyBPageFlags = 0x47;

    DeviceConnection(HidDeviceManager& manager, KeyboardDef& definition, ConnectionHost& host,
                     TaskPoster& tasks);

    // Rescans the HID interfaces and marks the matched modes.
    void ScanDevices();
    // Shows the connection the last scan found and queues the follow-up
    // tasks of a connection.
    void UpdateConnectionState();
    // A device-change notification: event 0x8000 (arrival) or 0x8004
    // (removal) with the interface's device path.
    void OnDeviceChange(int event, const std::wstring& path);

    bool IsDeviceOpen() const { return m_deviceOpen; }
    bool IsModeMatched() const { return m_modeMatched; }
    // The connection gate of the task runner: both flags set.
    bool IsGateOpen() const { return m_deviceOpen && m_modeMatched; }
    // 0 cable, 1 or 2 wireless, -1 none.
    int GetConnectionMode() const { return m_connectionMode; }
    // The present mark of mode record `index`, read under the lock.
    int GetPresent(std::size_t index) const;

private:
    void ShowDisconnected();
    void SetUpPages(int device_type, int connection_mode);

    HidDeviceManager& m_manager;
    KeyboardDef& m_definition;
    ConnectionHost& m_host;
    TaskPoster& m_tasks;

    mutable std::mutex m_presentLock;
    std::atomic<bool> m_deviceOpen{false};
    std::atomic<bool> m_modeMatched{false};
    std::atomic<int> m_connectionMode{-1};
};

} // namespace Quillon
