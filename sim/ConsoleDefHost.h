// The keyboard definition's host for the command-line driver: serves the
// program folder, turns each mode of config.xml into a match rule of the HID
// device manager, opens the model's database in the driver's data folder and
// prints the rest as one line per call. Key items are only counted.
//
// Ownership: the driver owns it for one run, on its one thread.
#pragma once

#include <filesystem>
#include <ostream>

#include "app/device/HidDeviceManager.h"
#include "app/device/KeyboardDefHost.h"
#include "app/storage/KeyboardDB.h"

namespace Quillon {

class ConsoleDefHost final : public KeyboardDefHost {
public:
    ConsoleDefHost(std::ostream& out, std::filesystem::path program_folder,
                   std::filesystem::path data_folder, HidDeviceManager& manager,
                   KeyboardDB& database);

    std::filesystem::path GetProgramFolder() const override { return m_programFolder; }
    void AddDevice(const std::wstring& name, int vid, int pid, int device_type,
                   bool state) override;
    void AddHidRule(int vid, int pid, const std::wstring& product_name, int device_type, int mode,
                    const std::wstring& hid_interface) override;

    void ClearItem(KeyboardView) override {}
    void SetRect(KeyboardView, const KeyRect&) override {}
    void SetKeyboardImage(KeyboardView view, const std::wstring& image) override;
    void SetWidthAndHeight(KeyboardView, int, int) override {}
    void AddKeyItem(KeyboardView view, const std::wstring&, const std::wstring&, int,
                    const KeyRect&, const std::wstring&) override;

    void SetTabVisible(int, bool) override {}
    void SetFirmwareUpdateVisible(bool) override {}
    void SetBrightnessMax(int) override {}
    void SetSpeedMax(int) override {}
    void SetVersionText(const std::wstring& text) override;
    void SetCopyrightText(const std::wstring&) override {}

    void CloseDatabase() override;
    void OpenDatabase(const std::wstring& keyboard_name) override;
    int GetCurrentProfile() const override { return 1; }
    void RegisterDeviceNotifications() override {}

    // Key items the layout placed on the key assignment view.
    int GetKeyItemCount() const { return m_keyItems; }
    bool IsDatabaseOpen() const { return m_database.IsOpened(); }

private:
    std::ostream& m_out;
    const std::filesystem::path m_programFolder;
    const std::filesystem::path m_dataFolder;
    HidDeviceManager& m_manager;
    KeyboardDB& m_database;
    int m_keyItems = 0;
};

} // namespace Quillon
