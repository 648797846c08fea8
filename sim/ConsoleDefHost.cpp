#include "sim/ConsoleDefHost.h"

#include <iomanip>

#include "toolkit/platform/Utf.h"

namespace Quillon {

ConsoleDefHost::ConsoleDefHost(std::ostream& out, std::filesystem::path program_folder,
                               std::filesystem::path data_folder, HidDeviceManager& manager,
                               KeyboardDB& database)
    : m_out(out), m_programFolder(std::move(program_folder)), m_dataFolder(std::move(data_folder)),
      m_manager(manager), m_database(database) {}

void ConsoleDefHost::AddDevice(const std::wstring& name, int, int, int device_type, bool) {
    m_out << "keyboard model: " << VellumUI::WideToUtf8(name) << ", device type " << device_type
          << '\n';
}

void ConsoleDefHost::AddHidRule(int vid, int pid, const std::wstring& product_name, int device_type,
                                int mode, const std::wstring& hid_interface) {
    m_manager.AddRule(vid, pid, product_name, device_type, mode, hid_interface);
    const auto flags = m_out.flags();
    m_out << "match rule: mode " << mode << ", " << std::hex << std::uppercase << std::setfill('0')
          << std::setw(4) << vid << ':' << std::setw(4) << pid;
    m_out.flags(flags);
    m_out << " (" << VellumUI::WideToUtf8(hid_interface) << ")\n";
}

void ConsoleDefHost::SetKeyboardImage(KeyboardView view, const std::wstring& image) {
    if (view == KeyboardView::Keys) {
        m_out << "keyboard picture: " << VellumUI::WideToUtf8(image) << '\n';
    }
}

void ConsoleDefHost::AddKeyItem(KeyboardView view, const std::wstring&, const std::wstring&, int,
                                const KeyRect&, const std::wstring&) {
    if (view == KeyboardView::Keys) {
        ++m_keyItems;
    }
}

void ConsoleDefHost::SetVersionText(const std::wstring& text) {
    m_out << "software: " << VellumUI::WideToUtf8(text) << '\n';
}

void ConsoleDefHost::CloseDatabase() {
    m_database.Close();
}

void ConsoleDefHost::OpenDatabase(const std::wstring& keyboard_name) {
    // config.xml names no model for a device type it does not list; there is
    // no database to open then.
    if (keyboard_name.empty()) {
        return;
    }
    const bool opened = m_database.OpenForKeyboard(m_dataFolder, keyboard_name);
    m_out << "database: " << KeyboardDB::DatabasePath(m_dataFolder, keyboard_name).string()
          << (opened ? "" : " (could not be opened)") << '\n';
}

} // namespace Quillon
