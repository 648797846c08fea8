// The loaders of the keyboard definition: config.xml (the models and their
// connection modes, the software's version and links) and the layout file of
// one model (pages, firmware, light modes, the keyboard picture and keys).
//
// Each element is found in document order: a find continues after the
// current position and a failed find leaves the position where it was, so
// the files must list their elements in the order read here; any of them may
// be absent.
#include "app/device/KeyboardDef.h"

#include <algorithm>

#include "app/device/KeyboardDefHost.h"
#include "app/device/KeyboardDefText.h"
#include "app/xml/XmlDocument.h"
#include "toolkit/platform/Utf.h"

namespace Quillon {

namespace {

using View = KeyboardDefHost::KeyboardView;

// Each keyboard view with the page bit that enables it.
struct ViewBit {
    View view;
    unsigned bit;
};
constexpr ViewBit kViews[] = {
    {View::Keys, KeyboardDef::kPageKeys},
    {View::Light, KeyboardDef::kPageLight},
    {View::Tab7, KeyboardDef::kPageTab7},
};

// Main tabs shown or hidden by the layout's menu, with their page bits.
struct TabBit {
    int tab;
    unsigned bit;
};
constexpr TabBit kTabs[] = {
    {1, KeyboardDef::kPageKeys},
    {2, KeyboardDef::kPageMacro},
    {3, KeyboardDef::kPageLight},
    {7, KeyboardDef::kPageTab7},
};

// A fresh light record for one info element of a layout.
constexpr int kDefaultColorful = 1;
constexpr int kDefaultColorValue = 255; // red, 0x00BBGGRR

constexpr wchar_t kConfigFile[] = L"config.xml";
constexpr wchar_t kLayoutFolder[] = L"layouts";
constexpr wchar_t kKeyboardImageFolder[] = L"keyboard\\";

int Decimal(const XmlDocument& doc, const wchar_t* name) {
    return ParseDecimal(doc.GetAttribute(name));
}

// A layout name comes from config.xml and names a file inside the layouts
// folder; anything that could lead elsewhere is no layout at all.
bool IsPlainFileName(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"/\\") == std::wstring::npos &&
           name.find(L'\0') == std::wstring::npos;
}

} // namespace

void KeyboardDef::LoadDeviceConfig(KeyboardDefHost& host) {
    keyboard_list.clear();
    mode_list.clear();

    XmlDocument doc;
    if (doc.Load(host.GetProgramFolder() / kConfigFile) && doc.FindElement(L"config") &&
        doc.EnterElement()) {
        if (doc.FindElement(L"device.info") && doc.EnterElement()) {
            ReadKeyboards(doc, host);
            doc.LeaveElement();
        }
        ReadSoftware(doc, host);
    }

    LoadKeyboardLayout(host, kStartupDeviceType);
    host.RegisterDeviceNotifications();
}

void KeyboardDef::ReadKeyboards(XmlDocument& doc, KeyboardDefHost& host) {
    while (doc.FindElement(L"keyboard")) {
        DeviceRecord record;
        record.name = doc.GetAttribute(L"name");
        record.device_type = Decimal(doc, L"device_type");
        record.device_info = doc.GetAttribute(L"device_info");
        keyboard_list.push_back(record);
        host.AddDevice(record.name, 0, 0, record.device_type, false);

        doc.EnterElement();
        // Each mode overwrites the mode fields of the same record, including
        // the name, which becomes the mode's product name.
        while (doc.FindElement(L"mode")) {
            record.mode = Decimal(doc, L"value");
            record.desc = doc.GetAttribute(L"desc");
            record.vid = ParseHexadecimal(doc.GetAttribute(L"vid"));
            record.pid = ParseHexadecimal(doc.GetAttribute(L"pid"));
            record.name = doc.GetAttribute(L"product_name");
            record.hid_interface = doc.GetAttribute(L"hid_interface");
            mode_list.push_back(record);
            host.AddHidRule(record.vid, record.pid, record.name, record.device_type, record.mode,
                            record.hid_interface);
        }
        doc.LeaveElement();
    }
}

void KeyboardDef::ReadSoftware(XmlDocument& doc, KeyboardDefHost& host) {
    if (!doc.FindElement(L"software"))
        return;
    software_version = doc.GetAttribute(L"version");
    host.SetVersionText(L"Ver: " + software_version);
    doc.EnterElement();
    if (doc.FindElement(L"website"))
        website_url = doc.GetAttribute(L"url");
    if (doc.FindElement(L"store"))
        store_url = doc.GetAttribute(L"url");
    if (doc.FindElement(L"upgrade"))
        upgrade_url = doc.GetAttribute(L"url");
    if (doc.FindElement(L"copyright")) {
        copyright_info = doc.GetAttribute(L"info");
        host.SetCopyrightText(copyright_info);
    }
}

void KeyboardDef::LoadKeyboardLayout(KeyboardDefHost& host, int device_type) {
    firmware_url.clear();
    std::wstring layoutName;
    std::wstring name;
    auto record = std::find_if(keyboard_list.begin(), keyboard_list.end(),
                               [&](const DeviceRecord& r) { return r.device_type == device_type; });
    if (record != keyboard_list.end()) {
        layoutName = record->device_info;
        name = record->name;
    }
    current_device_type = device_type;
    host.CloseDatabase();
    host.OpenDatabase(name);
    keyboard_name = name;

    // The file name goes through UTF-8 by hand: a path built from a wide
    // string throws on any character outside ASCII.
    XmlDocument doc;
    if (!IsPlainFileName(layoutName) ||
        !doc.Load(host.GetProgramFolder() / kLayoutFolder /
                  VellumUI::WideToUtf8(layoutName + L".xml")) ||
        !doc.FindElement(L"device.info") || !doc.EnterElement())
        return;

    ReadPages(doc, host);
    // The function element's sleep_time means nothing to this program; the
    // find only keeps the reading position in step with the file.
    doc.FindElement(L"function");
    if (doc.FindElement(L"firmware")) {
        firmware_version = doc.GetAttribute(L"version");
        firmware_file = doc.GetAttribute(L"file");
        firmware_url = doc.GetAttribute(L"url");
        host.SetFirmwareUpdateVisible(!firmware_version.empty() && !firmware_file.empty());
    }
    ReadLight(doc, host);
    ReadKeyboard(doc, host);
}

void KeyboardDef::ReadPages(XmlDocument& doc, KeyboardDefHost& host) {
    if (!doc.FindElement(L"menu"))
        return;
    page_flags = kMenuBasePages;
    if (Decimal(doc, L"macro") == 1)
        page_flags |= kPageMacro;
    if (Decimal(doc, L"light_mode") == 1)
        page_flags |= kPageLight;
    for (const TabBit& t : kTabs)
        host.SetTabVisible(t.tab, (page_flags & t.bit) != 0);
}

void KeyboardDef::ReadLight(XmlDocument& doc, KeyboardDefHost& host) {
    if (!doc.FindElement(L"light"))
        return;
    rgb_keyboard = Decimal(doc, L"rgb_keyboard") == 1;
    default_mode = Decimal(doc, L"default_mode");
    default_brightness = Decimal(doc, L"default_brightness");
    default_speed = Decimal(doc, L"default_speed");
    brightness_max = Decimal(doc, L"brightness_max");
    speed_max = Decimal(doc, L"speed_max");
    host.SetBrightnessMax(brightness_max);
    host.SetSpeedMax(speed_max);

    light_modes.clear();
    int profile = host.GetCurrentProfile();
    doc.EnterElement();
    while (doc.FindElement(L"info")) {
        LightInfo light;
        light.profile = profile;
        light.name = doc.GetAttribute(L"name");
        light.mode = Decimal(doc, L"mode");
        light.brightness = default_brightness;
        light.speed = default_speed;
        light.colorful = kDefaultColorful;
        light.color_value = kDefaultColorValue;
        light.config_func = Decimal(doc, L"attribute");
        light_modes.push_back(light);
    }
    doc.LeaveElement();
}

void KeyboardDef::ReadKeyboard(XmlDocument& doc, KeyboardDefHost& host) {
    // The key tables and views start empty whenever a layout file loads.
    key_index_table.clear();
    light_index_table.clear();
    for (auto& row : key_matrix)
        row.fill(kNoKey);
    for (const ViewBit& v : kViews)
        if (page_flags & v.bit)
            host.ClearItem(v.view);

    if (!doc.FindElement(L"Keyboard"))
        return;
    int x = Decimal(doc, L"xpos");
    int y = Decimal(doc, L"ypos");
    int width = Decimal(doc, L"width");
    int height = Decimal(doc, L"height");
    std::wstring image = kKeyboardImageFolder + doc.GetAttribute(L"image");
    row_count = Decimal(doc, L"row_count");
    column_count = Decimal(doc, L"col_count");
    KeyRect area = MakeKeyRect(x, y, width, height);
    for (const ViewBit& v : kViews) {
        if (!(page_flags & v.bit))
            continue;
        host.SetRect(v.view, area);
        host.SetKeyboardImage(v.view, image);
        host.SetWidthAndHeight(v.view, width, height);
    }

    if (!doc.EnterElement() || !doc.FindElement(L"KeyItems") || !doc.EnterElement())
        return;
    while (doc.FindElement(L"key"))
        ReadKey(doc, host);
}

void KeyboardDef::ReadKey(XmlDocument& doc, KeyboardDefHost& host) {
    int code = ParseHexadecimal(doc.GetAttribute(L"code"));
    std::wstring name = doc.GetAttribute(L"name");
    std::wstring desc = doc.GetAttribute(L"desc");
    // A later key with the same code replaces the earlier entries.
    key_index_table[code] = Decimal(doc, L"key_index");
    light_index_table[code] = Decimal(doc, L"light_index");
    KeyPlace place = ParseRowCol(doc.GetAttribute(L"row_col"));
    if (place.row >= 0 && place.row < kMatrixRows && place.column >= 0 &&
        place.column < kMatrixColumns)
        key_matrix[static_cast<std::size_t>(place.row)][static_cast<std::size_t>(place.column)] =
            static_cast<std::uint8_t>(code & 0xFF);
    KeyRect rect = ParseKeyRect(doc.GetAttribute(L"rect"));
    // Keys are shown without their icon attribute.
    for (const ViewBit& v : kViews)
        if (page_flags & v.bit)
            host.AddKeyItem(v.view, name, desc, code, rect, std::wstring());
}

} // namespace Quillon
