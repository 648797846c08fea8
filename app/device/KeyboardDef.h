// The keyboard definition: what config.xml and the current model's layout
// file say about the keyboards the program knows. It is the data half of the
// main window, which inherits it and owns it for the whole run. The lists and
// tables are written on the window thread by LoadDeviceConfig and
// LoadKeyboardLayout; the task runner reads them while the window is disabled
// for a task, and the device scans set the present field of mode records.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/device/DeviceRecord.h"
#include "app/storage/Records.h"

namespace Quillon {

class KeyboardDefHost;
class XmlDocument;

// A key's rectangle in the keyboard picture's coordinates.
struct KeyRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const KeyRect&, const KeyRect&) = default;
};

class KeyboardDef {
public:
    // The key matrix: 8 rows of 32 columns. A cell holds the low 8 bits of the
    // code of the key placed there, or kNoKey.
    static constexpr int kMatrixRows = 8;
    static constexpr int kMatrixColumns = 32;
    static constexpr std::uint8_t kNoKey = 0xFF;
    using KeyMatrix = std::array<std::array<std::uint8_t, kMatrixColumns>, kMatrixRows>;

    // Page flag bits. Each names a main tab; bits 0, 2 and 6 also name the
    // keyboard view on that page.
    static constexpr unsigned kPageKeys = 0x01;  // key assignment page, tab 1
    static constexpr unsigned kPageMacro = 0x02; // macro page, tab 2
    static constexpr unsigned kPageLight = 0x04; // light page, tab 3
    static constexpr unsigned kPageTab7 = 0x40;  // tab 7 and the third view
    // Every page, until a layout's menu element says otherwise.
    static constexpr unsigned kAllPages = 0x7F;
    // What a menu element starts from before its macro and light_mode bits.
    static constexpr unsigned kMenuBasePages = kPageKeys | kPageTab7;

    // The device type loaded at start-up: the Q400 family B keyboard.
    static constexpr int kStartupDeviceType = 201;

    // Reads config.xml from the host's program folder: the keyboard and mode
    // lists, the software version and links. Adds each model to the device
    // list and each mode as a HID match rule, loads the layout of device type
    // 201 and registers for device notifications. A missing or malformed file
    // leaves both lists empty; nothing is reported.
    void LoadDeviceConfig(KeyboardDefHost& host);

    // Reads the layout file of the first keyboard record of `device_type`,
    // reopens the database under the model's name and fills the pages, light
    // modes, key tables and keyboard views. Fields of absent elements keep
    // their previous values; the key tables and views are cleared whenever
    // the file loads.
    void LoadKeyboardLayout(KeyboardDefHost& host, int device_type);

    // config.xml
    std::vector<DeviceRecord> keyboard_list; // one record per keyboard element
    std::vector<DeviceRecord> mode_list;     // one record per mode element
    std::wstring software_version;
    std::wstring website_url;
    std::wstring store_url;
    std::wstring upgrade_url;
    std::wstring copyright_info; // notice text shown on the configuration page

    // The current model, set by LoadKeyboardLayout.
    int current_device_type = 0;
    std::wstring keyboard_name; // names the model's database

    // Layout file.
    unsigned page_flags = kAllPages;
    std::wstring firmware_version;
    std::wstring firmware_file;
    std::wstring firmware_url;
    bool rgb_keyboard = false;
    int default_mode = 0;
    int default_brightness = 0;
    int default_speed = 0;
    int brightness_max = 0; // as given to the light page's sliders
    int speed_max = 0;
    std::vector<LightInfo> light_modes;   // one per info element, in file order
    std::map<int, int> key_index_table;   // key code -> key_index
    std::map<int, int> light_index_table; // key code -> light_index
    KeyMatrix key_matrix{};               // all 0 until a layout loads
    int row_count = 0;
    int column_count = 0;

private:
    void ReadKeyboards(XmlDocument& doc, KeyboardDefHost& host);
    void ReadSoftware(XmlDocument& doc, KeyboardDefHost& host);
    void ReadPages(XmlDocument& doc, KeyboardDefHost& host);
    void ReadLight(XmlDocument& doc, KeyboardDefHost& host);
    void ReadKeyboard(XmlDocument& doc, KeyboardDefHost& host);
    void ReadKey(XmlDocument& doc, KeyboardDefHost& host);
};

} // namespace Quillon
