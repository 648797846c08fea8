#include "sim/SimKeyboardDesc.h"

#include <cstdio>

namespace Quillon {

namespace {

// Vendor and product ids of the Q400 (cable, receiver, Bluetooth).
constexpr std::uint16_t kQ400Vid = 0x37F1;
constexpr std::uint16_t kQ400CablePid = 0x4A01;
constexpr std::uint16_t kQ400ReceiverPid = 0x4A02;
constexpr std::uint16_t kQ400BluetoothPid = 0x4A03;
constexpr std::uint16_t kBusUsb = 0x0003;
constexpr std::uint16_t kBusBluetooth = 0x0005;
constexpr std::uint16_t kQ400FirmwareVersion = 0x0103;

// HID usages of the interfaces around the vendor ones.
constexpr std::uint16_t kGenericDesktop = 0x0001;
constexpr std::uint16_t kKeyboardUsage = 0x0006;
constexpr std::uint16_t kMouseUsage = 0x0002;
constexpr std::uint16_t kConsumerPage = 0x000C;
constexpr std::uint16_t kConsumerControl = 0x0001;
constexpr std::uint16_t kVendorPage = 0xFF01;
constexpr std::uint16_t kOtherVendorPage = 0xFF02;
constexpr std::uint16_t kVendorUsage = 0x0001;

// A USB keyboard: boot keyboard, consumer keys, the command interface, a
// vendor interface of another page (firmware loader) and the auxiliary
// vendor interface number 3.
std::vector<SimInterfaceDesc> UsbInterfaces() {
    return {
        {0, kGenericDesktop, kKeyboardUsage, SimRole::Other},
        {1, kConsumerPage, kConsumerControl, SimRole::Other},
        {2, kVendorPage, kVendorUsage, SimRole::Main},
        {3, kVendorPage, kVendorUsage, SimRole::Aux},
        {4, kOtherVendorPage, kVendorUsage, SimRole::Other},
    };
}

} // namespace

SimKeyboardDesc Q400Description() {
    SimKeyboardDesc desc;
    desc.firmware_version = kQ400FirmwareVersion;
    desc.modes.push_back({0, kBusUsb, kQ400Vid, kQ400CablePid,
                          "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2", UsbInterfaces()});
    desc.modes.push_back({1, kBusUsb, kQ400Vid, kQ400ReceiverPid,
                          "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-3", UsbInterfaces()});
    // Over Bluetooth there are no USB interface numbers, and no auxiliary
    // interface.
    desc.modes.push_back({2,
                          kBusBluetooth,
                          kQ400Vid,
                          kQ400BluetoothPid,
                          "/sys/devices/virtual/misc/uhid",
                          {
                              {-1, kGenericDesktop, kKeyboardUsage, SimRole::Other},
                              {-1, kGenericDesktop, kMouseUsage, SimRole::Other},
                              {-1, kVendorPage, kVendorUsage, SimRole::Main},
                          }});
    return desc;
}

std::string SimHidId(const SimModeDesc& mode) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%04X:%04X", mode.bus, mode.vid, mode.pid);
    return text;
}

} // namespace Quillon
