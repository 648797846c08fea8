#include "sim/SimDeviceMonitor.h"

#include <mutex>

#include "toolkit/platform/Utf.h"

namespace Quillon {

struct SimDeviceMonitor::Target {
    std::mutex lock;
    DeviceChangeSink* sink = nullptr; // null once stopped
};

SimDeviceMonitor::SimDeviceMonitor(std::shared_ptr<SimKeyboard> keyboard)
    : m_keyboard(std::move(keyboard)), m_target(std::make_shared<Target>()) {}

SimDeviceMonitor::~SimDeviceMonitor() {
    Stop();
}

bool SimDeviceMonitor::Start(DeviceChangeSink& sink) {
    {
        std::lock_guard lock(m_target->lock);
        m_target->sink = &sink;
    }
    if (m_listener == 0) {
        m_listener = m_keyboard->AddHotplugListener(
            [target = m_target](bool arrived, const std::string& path) {
                std::lock_guard lock(target->lock);
                if (target->sink != nullptr) {
                    target->sink->PostDeviceChange(arrived ? kDeviceArrival : kDeviceRemoveComplete,
                                                   VellumUI::Utf8ToWide(path));
                }
            });
    }
    return true;
}

void SimDeviceMonitor::Stop() {
    {
        std::lock_guard lock(m_target->lock);
        m_target->sink = nullptr;
    }
    if (m_listener != 0) {
        m_keyboard->RemoveHotplugListener(m_listener);
        m_listener = 0;
    }
}

} // namespace Quillon
