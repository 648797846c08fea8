// One keyboard model or one connection mode of config.xml.
#pragma once

#include <string>

namespace Quillon {

struct DeviceRecord {
    std::wstring name;        // model name (keyboard element) or product name (mode element)
    int device_type = 0;      // selects the protocol family and the layout file
    std::wstring device_info; // base name of the model's layout file
    int mode = 0;             // connection mode: 0 cable, 1 and 2 wireless
    int vid = 0;              // USB vendor id
    int pid = 0;              // USB product id
    std::wstring desc;        // description of the mode
    // Upper-case text found in the device paths of this mode's interfaces.
    std::wstring hid_interface;
    int present = 0; // 1 once a device scan has found an interface of this mode
};

} // namespace Quillon
