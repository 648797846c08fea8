// Everything the keyboard definition's loaders touch outside their own data:
// the program folder, the device list, the HID manager's match table, the
// three keyboard views, the main tabs and a few controls of the window, the
// database and device notifications. The main window implements it over its
// controls and the process-wide objects; tests implement it with a recorder.
//
// Every call is made on the window thread, during LoadDeviceConfig or
// LoadKeyboardLayout, and none may call back into the loaders. Implementations
// report nothing back except through the getters; a control that does not
// exist simply ignores the call.
#pragma once

#include <filesystem>
#include <string>

#include "app/device/KeyboardDef.h"

namespace Quillon {

class KeyboardDefHost {
public:
    // The keyboard views, by the page that shows them. The page flag bit of
    // each decides whether the loaders touch it.
    enum class KeyboardView {
        Keys,  // key assignment page, page bit 0
        Light, // light page, page bit 2
        Tab7,  // page of main tab 7, page bit 6
    };

    virtual ~KeyboardDefHost() = default;

    // The folder that holds config.xml and layouts/: the executable's folder.
    virtual std::filesystem::path GetProgramFolder() const = 0;

    // Device list control: one entry per keyboard model.
    virtual void AddDevice(const std::wstring& name, int vid, int pid, int device_type,
                           bool state) = 0;

    // HID device manager: appends one match rule; rules stay for the life of
    // the process. An empty product name matches on vid and pid alone.
    virtual void AddHidRule(int vid, int pid, const std::wstring& product_name, int device_type,
                            int mode, const std::wstring& hid_interface) = 0;

    // Keyboard views.
    virtual void ClearItem(KeyboardView view) = 0;
    virtual void SetRect(KeyboardView view, const KeyRect& rect) = 0;
    // `image` is relative to the skin folder, for example "keyboard\q400.png".
    virtual void SetKeyboardImage(KeyboardView view, const std::wstring& image) = 0;
    virtual void SetWidthAndHeight(KeyboardView view, int width, int height) = 0;
    virtual void AddKeyItem(KeyboardView view, const std::wstring& name, const std::wstring& desc,
                            int code, const KeyRect& rect, const std::wstring& icon) = 0;

    // Main tab bar: shows or hides tab `tab_index` (1, 2, 3 or 7).
    virtual void SetTabVisible(int tab_index, bool visible) = 0;
    // The configuration page's firmware update control.
    virtual void SetFirmwareUpdateVisible(bool visible) = 0;
    // Maxima of the light page's brightness and speed sliders.
    virtual void SetBrightnessMax(int maximum) = 0;
    virtual void SetSpeedMax(int maximum) = 0;
    // Labels of the configuration page: the formatted version text
    // ("Ver: 1.0.0.1") and the copyright notice.
    virtual void SetVersionText(const std::wstring& text) = 0;
    virtual void SetCopyrightText(const std::wstring& text) = 0;

    // Database: close the open one (nothing when none is open), then open
    // the database of a keyboard model by its name.
    virtual void CloseDatabase() = 0;
    virtual void OpenDatabase(const std::wstring& keyboard_name) = 0;

    // The current key profile, stored in the light records of the layout.
    virtual int GetCurrentProfile() const = 0;

    // Starts device arrival and removal notifications to the main window.
    virtual void RegisterDeviceNotifications() = 0;
};

} // namespace Quillon
