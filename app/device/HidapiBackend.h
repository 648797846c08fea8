// The real HID back end: the kernel's hidraw devices through hidapi.
//
// Provides: enumeration of every HID interface (path, vendor and product ids,
// usage page, usage, interface number), opening by path, output report
// writes, feature report sends and reads.
// Leaves out: product, manufacturer and serial strings (never asked for), and
// the output report length (hidapi's hidraw back end does not report it, so
// writes are sent at their own length).
//
// hidapi is initialised once per process on first use.
// Each device handle is used under the HID device manager's lock only.
#pragma once

#include "app/device/HidBackend.h"

namespace Quillon {

class HidapiBackend final : public HidBackend {
public:
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;
};

} // namespace Quillon
