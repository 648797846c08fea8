// Device notifications of the simulated keyboard: every attach or detach
// posts one arrival or removal per interface, with its sysfs-like path, the
// way the udev monitor does for real hidraw devices.
//
// Provides: arrival and removal of the simulated keyboard's interfaces.
// Leaves out: every other device of the machine.
// Posts on the thread that attaches or detaches the keyboard.
#pragma once

#include <memory>

#include "app/device/DeviceMonitor.h"
#include "sim/SimKeyboard.h"

namespace Quillon {

class SimDeviceMonitor final : public DeviceMonitor {
public:
    explicit SimDeviceMonitor(std::shared_ptr<SimKeyboard> keyboard);
    ~SimDeviceMonitor() override;

    bool Start(DeviceChangeSink& sink) override;
    void Stop() override;

private:
    struct Target;

    std::shared_ptr<SimKeyboard> m_keyboard;
    // Shared with the keyboard's listener, so that Stop() can cut the sink
    // off even while a hot-plug on another thread is posting.
    std::shared_ptr<Target> m_target;
    int m_listener = 0;
};

} // namespace Quillon
