// The one place where the program decides whether it talks to the real
// keyboard or to the simulated Q400. QUILLON_SIMULATE in the environment
// selects the simulation:
//   wired                 the simulated keyboard attached by cable (mode 0)
//   wireless, receiver    attached through the 2.4 GHz receiver (mode 1)
//   bluetooth             attached over Bluetooth (mode 2)
//   any other value       simulated, but not attached
// Unset or empty: hidapi and udev, that is the real hardware.
// QUILLON_SIM_LOG=<file> makes the simulated keyboard append one line per
// transfer to the file; QUILLON_SIM_CONTROL=<path> opens a named pipe that
// plugs and unplugs it while the program runs (see SimControl).
#pragma once

#include <memory>

#include "app/device/Clock.h"
#include "app/device/DeviceMonitor.h"
#include "app/device/HidBackend.h"
#include "sim/SimControl.h"
#include "sim/SimKeyboard.h"

namespace Quillon {

struct DeviceServices {
    std::unique_ptr<HidBackend> backend;
    std::unique_ptr<DeviceMonitor> monitor;
    // The simulated keyboard, for hot-plug at run time; null on real hardware.
    std::shared_ptr<SimKeyboard> simulated;
    // The hot-plug pipe, when QUILLON_SIM_CONTROL asks for one.
    std::unique_ptr<SimControl> control;
};

DeviceServices CreateDeviceServices(Clock& clock = SystemClock());

} // namespace Quillon
