// The seam between the HID device manager and the machine's HID devices.
// Two implementations exist: HidapiBackend talks to the kernel's hidraw
// devices through hidapi, and the simulated Q400 (sim/) answers like the real
// keyboard. The manager never opens a device any other way, so the back end
// chosen at start-up decides whether real hardware is reached at all.
//
// Threads: the manager serialises every call under its own mutex; back ends
// need no lock of their own towards the manager.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace Quillon {

// One HID interface as the enumeration reports it. Product, manufacturer and
// serial strings are never read.
struct HidInterfaceInfo {
    std::string path; // platform device path, used to open the interface
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    std::uint16_t usage_page = 0;
    std::uint16_t usage = 0;
    int interface_number = -1; // USB interface number; -1 when there is none
};

// One opened interface; closed when the object goes. Results follow hidapi:
// the number of bytes moved, or -1 on failure.
class HidDevice {
public:
    virtual ~HidDevice() = default;

    // Writes one output report; report[0] is the report id.
    virtual int Write(std::span<const std::uint8_t> report) = 0;
    // Sends one feature report; report[0] is the report id.
    virtual int SendFeature(std::span<const std::uint8_t> report) = 0;
    // Reads one feature report into `report`, whose first byte holds the
    // report id on entry; the reply includes the report id byte.
    virtual int GetFeature(std::span<std::uint8_t> report) = 0;
    // Length of the interface's output report including the report id, or 0
    // when the back end cannot tell.
    virtual int OutputReportLength() const = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Every HID interface of the machine, in enumeration order.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // Opens an interface for reading and writing; null on failure.
    virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
};

} // namespace Quillon
