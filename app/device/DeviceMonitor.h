// Device arrival and removal notifications for the main window. A monitor
// watches the machine's HID devices and posts one notification per interface
// that comes or goes, with the interface's device path; the main window's
// device change handler decides what they mean. Two monitors exist: the
// udev monitor of the hidraw subsystem, and the simulated keyboard's hot-plug
// (sim/).
#pragma once

#include <string>

namespace Quillon {

// Event codes of a device-change notification.
inline constexpr int kDeviceArrival = 0x8000;
inline constexpr int kDeviceRemoveComplete = 0x8004;

// Receives the notifications; the main window implements it by posting its
// device-change message to itself. Called from the monitor's thread (or the
// thread that hot-plugs the simulated keyboard), never from the window
// thread, so it must only queue.
class DeviceChangeSink {
public:
    virtual ~DeviceChangeSink() = default;
    virtual void PostDeviceChange(int event, const std::wstring& path) = 0;
};

class DeviceMonitor {
public:
    virtual ~DeviceMonitor() = default;
    // Starts posting to `sink`, which must outlive the monitor or Stop().
    // False when the platform offers no notifications; nothing is posted then.
    virtual bool Start(DeviceChangeSink& sink) = 0;
    // Stops posting; when it returns, the sink is no longer called.
    virtual void Stop() = 0;
};

} // namespace Quillon
