// Device notifications from udev: a monitor on the "hidraw" subsystem, read on
// its own thread, posting an arrival (0x8000) for every hidraw device added
// and a removal (0x8004) for every one removed, with the device's sysfs path
// (which holds the kernel's "0003:VVVV:PPPP" name of the HID device).
//
// Provides: hot-plug of every hidraw device of the machine.
// Leaves out: other subsystems; devices present before Start() (the program
// scans once at start-up anyway).
// Threads: Start and Stop from the window thread; the sink is called on the
// monitor's own thread. The thread sleeps in poll() until udev or Stop()
// wakes it.
#pragma once

#include <memory>

#include "app/device/DeviceMonitor.h"

namespace Quillon {

class UdevMonitor final : public DeviceMonitor {
public:
    UdevMonitor();
    ~UdevMonitor() override;
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    // False when udev or its netlink socket is not available.
    bool Start(DeviceChangeSink& sink) override;
    void Stop() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Quillon
