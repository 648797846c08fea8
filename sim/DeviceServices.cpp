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
    const int mode = SimModeFromName(simulate);
    if (mode >= 0) {
        services.simulated->Attach(mode);
    }
    const std::string control = Environment("QUILLON_SIM_CONTROL");
    if (!control.empty()) {
        services.control = std::make_unique<SimControl>(services.simulated);
        if (!services.control->Start(control)) {
            services.control.reset();
        }
    }
    return services;
}

} // namespace Quillon
