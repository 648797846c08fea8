#include "sim/DeviceServices.h"

#include <cstdlib>
#include <string>

#include "app/device/HidapiBackend.h"
#include "app/device/UdevMonitor.h"
#include "sim/SimDeviceMonitor.h"
#include "sim/SimHidBackend.h"

namespace Quillon {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Connection mode for a QUILLON_SIMULATE value; -1 = not attached.
int SimulatedMode(const std::string& value) {
    if (value == "wired") {
        return 0;
    }
    if (value == "wireless" || value == "receiver") {
        return 1;
    }
    if (value == "bluetooth") {
        return 2;
    }
    return -1;
}

} // namespace

DeviceServices CreateDeviceServices(Clock& clock) {
    DeviceServices services;
    const std::string simulate = Environment("QUILLON_SIMULATE");
    if (simulate.empty()) {
        services.backend = std::make_unique<HidapiBackend>();
        services.monitor = std::make_unique<UdevMonitor>();
        return services;
    }
    services.simulated = std::make_shared<SimKeyboard>(Q400Description(), clock);
    services.simulated->SetLogFile(Environment("QUILLON_SIM_LOG"));
    services.backend = std::make_unique<SimHidBackend>(services.simulated);
    services.monitor = std::make_unique<SimDeviceMonitor>(services.simulated);
    const int mode = SimulatedMode(simulate);
    if (mode >= 0) {
        services.simulated->Attach(mode);
    }
    return services;
}

} // namespace Quillon
