// The simulated HID back end: enumerates and opens the interfaces of one
// simulated keyboard, and nothing else of the machine.
//
// Provides: enumeration (path, ids, usages, interface numbers), opening by
// path, writes, feature sends and reads, the output report length.
// Leaves out: every real device; no call ever reaches the kernel.
#pragma once

#include <memory>

#include "app/device/HidBackend.h"
#include "sim/SimKeyboard.h"

namespace Quillon {

class SimHidBackend final : public HidBackend {
public:
    explicit SimHidBackend(std::shared_ptr<SimKeyboard> keyboard);

    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;

private:
    std::shared_ptr<SimKeyboard> m_keyboard;
};

} // namespace Quillon
