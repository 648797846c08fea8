#include "sim/SimHidBackend.h"

namespace Quillon {

namespace {

// One opened interface of the simulated keyboard; dead once the keyboard
// is detached.
class SimHidDevice final : public HidDevice {
public:
    SimHidDevice(std::shared_ptr<SimKeyboard> keyboard, int generation, SimRole role)
        : m_keyboard(std::move(keyboard)), m_generation(generation), m_role(role) {}

    int Write(std::span<const std::uint8_t> report) override {
        return m_keyboard->Write(m_generation, m_role, report);
    }
    int SendFeature(std::span<const std::uint8_t> report) override {
        return m_keyboard->SendFeature(m_generation, m_role, report);
    }
    int GetFeature(std::span<std::uint8_t> report) override {
        return m_keyboard->GetFeature(m_generation, m_role, report);
    }
    int OutputReportLength() const override { return m_keyboard->OutputReportLength(); }

private:
    std::shared_ptr<SimKeyboard> m_keyboard;
    int m_generation;
    SimRole m_role;
};

} // namespace

SimHidBackend::SimHidBackend(std::shared_ptr<SimKeyboard> keyboard)
    : m_keyboard(std::move(keyboard)) {}

std::vector<HidInterfaceInfo> SimHidBackend::Enumerate() {
    std::vector<HidInterfaceInfo> list;
    for (const SimKeyboard::Interface& interface : m_keyboard->Interfaces()) {
        list.push_back({interface.path, interface.vid, interface.pid, interface.desc.usage_page,
                        interface.desc.usage, interface.desc.interface_number});
    }
    return list;
}

std::unique_ptr<HidDevice> SimHidBackend::Open(const std::string& path) {
    int generation = 0;
    SimRole role = SimRole::Other;
    if (m_keyboard->Open(path, generation, role) != 0) {
        return nullptr;
    }
    return std::make_unique<SimHidDevice>(m_keyboard, generation, role);
}

} // namespace Quillon
