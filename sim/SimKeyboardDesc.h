// Declarative description of a simulated keyboard: how it enumerates in each
// connection mode (identifiers, interfaces, usages) and what it reports about
// itself. The simulated keyboard is built from one of these; error-path tests
// copy the sane Q400 description and break one field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Quillon {

// What an interface of the simulated keyboard is for.
enum class SimRole {
    Main,  // vendor interface the commands go to
    Aux,   // vendor interface number 3: live colour stream
    Other, // keyboard, consumer or other interfaces the program must skip
};

struct SimInterfaceDesc {
    int interface_number = -1;
    std::uint16_t usage_page = 0;
    std::uint16_t usage = 0;
    SimRole role = SimRole::Other;
};

struct SimModeDesc {
    int mode = 0;               // connection mode: 0 cable, 1 receiver, 2 Bluetooth
    std::uint16_t bus = 0x0003; // 0x0003 USB, 0x0005 Bluetooth, as in sysfs names
    std::uint16_t vid = 0;
    std::uint16_t pid = 0;
    // Parent folder of the interfaces' sysfs paths, like the kernel's
    // "/sys/devices/pci0000:00/.../1-2".
    std::string parent_path;
    std::vector<SimInterfaceDesc> interfaces;
};

struct SimKeyboardDesc {
    std::vector<SimModeDesc> modes;
    std::uint16_t firmware_version = 0;
    // Output report length including the report id, as the interface
    // reports it (0 = unknown).
    int output_report_length = 65;
};

// The Corvane Q400 in its three connection modes.
SimKeyboardDesc Q400Description();

// "0003:37F1:4A01": bus, vendor and product as the kernel names a HID device.
std::string SimHidId(const SimModeDesc& mode);

} // namespace Quillon
