#include "sim/SimDriver.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/device/DeviceConnection.h"
#include "app/device/KeyboardProtocol.h"
#include "sim/ConsoleDefHost.h"
#include "sim/ConsoleWindow.h"
#include "sim/DeviceServices.h"
#include "sim/SimDriverCommands.h"

namespace Quillon {

namespace {

// A private data folder for the driver's database, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillon-sim-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!m_path.empty()) {
            std::filesystem::remove_all(m_path, ignored);
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// The definition is usable when config.xml gave the modes, the layout its
// keys and light modes, and the model's database opened.
bool CheckDefinition(std::ostream& out, const KeyboardDef& definition, const ConsoleDefHost& host) {
    out << "layout: " << definition.key_index_table.size() << " keys, " << host.GetKeyItemCount()
        << " on the key view, " << definition.light_modes.size() << " light modes\n";
    if (definition.mode_list.empty() || definition.key_index_table.empty() ||
        definition.light_modes.empty() || !host.IsDatabaseOpen()) {
        out << "the keyboard definition did not load from " << host.GetProgramFolder().string()
            << '\n';
        return false;
    }
    return true;
}

// Hands the queued device changes to the handler and runs the scans they
// asked for, as the window and the task runner would.
void SettleDeviceChanges(ConsoleWindow& window, DeviceConnection& connection) {
    std::vector<std::pair<int, std::wstring>> changes;
    {
        std::lock_guard lock(window.m_lock);
        changes.swap(window.changes);
        window.tasks.clear();
    }
    for (const auto& [event, path] : changes) {
        connection.OnDeviceChange(event, path);
    }
    std::vector<int> tasks;
    {
        std::lock_guard lock(window.m_lock);
        tasks.swap(window.tasks);
    }
    for (int code : tasks) {
        if (code == kTaskDeviceArrived || code == kTaskDeviceRemoved) {
            connection.ScanDevices();
            connection.UpdateConnectionState();
        }
    }
    window.connection_mode = connection.GetConnectionMode();
}

// The first scan and the firmware version; false without a connection.
bool Connect(std::ostream& out, HidDeviceManager& manager, DeviceConnection& connection,
             ConsoleWindow& window) {
    connection.ScanDevices();
    connection.UpdateConnectionState();
    window.connection_mode = connection.GetConnectionMode();
    out << "connection mode " << window.connection_mode << '\n';
    std::uint16_t version = 0;
    if (!manager.QueryFirmwareVersion(version)) {
        return false;
    }
    out << "firmware version " << (version >> 8) << '.' << (version & 0xFF) << '\n';
    return connection.IsGateOpen();
}

// Unplugs and replugs in the same mode, then resets the keyboard.
bool ReplugAndReset(std::ostream& out, SimKeyboard& keyboard, ConsoleWindow& window,
                    DeviceConnection& connection, KeyboardProtocol& protocol) {
    const int mode = keyboard.AttachedMode();
    keyboard.Detach();
    SettleDeviceChanges(window, connection);
    out << "after unplugging: connection mode " << connection.GetConnectionMode() << '\n';
    keyboard.Attach(mode);
    SettleDeviceChanges(window, connection);
    out << "after plugging in: connection mode " << connection.GetConnectionMode() << '\n';
    const bool replugged = connection.GetConnectionMode() == mode;
    protocol.FactoryReset();
    return replugged && keyboard.State().factory_resets == 1;
}

bool RunCommands(DriverContext& context, SimKeyboard& keyboard) {
    bool good = RunLightCommands(context);
    good = RunKeyColourCommand(context) && good;
    good = RunRemapCommand(context) && good;
    context.protocol.SendMusicLevel(std::vector<std::int16_t>(16, 8000));
    context.out << "music level " << keyboard.State().music_level << '\n';
    return good;
}

} // namespace

int RunSimDriver(std::ostream& out, const SimDriverOptions& options) {
    const char* simulate = std::getenv("QUILLON_SIMULATE");
    if (simulate == nullptr || *simulate == '\0') {
        out << "QUILLON_SIMULATE is not set; this driver only talks to the simulated keyboard\n";
        return 2;
    }
    DeviceServices services = CreateDeviceServices();
    if (!services.simulated) {
        return 2;
    }
    std::optional<ScratchFolder> scratch;
    if (options.data_folder.empty()) {
        scratch.emplace();
    }
    const std::filesystem::path data_folder = scratch ? scratch->Path() : options.data_folder;
    // Without a folder the database would land in the working directory.
    std::error_code error;
    if (!data_folder.empty()) {
        std::filesystem::create_directories(data_folder / "db", error);
    }
    if (data_folder.empty() || error) {
        out << "no data folder for the keyboard's database\n";
        return 1;
    }

    HidDeviceManager manager(std::move(services.backend));
    KeyboardDB database;
    KeyboardDef definition;
    ConsoleDefHost host(out, options.program_folder, data_folder, manager, database);
    definition.LoadDeviceConfig(host);
    if (!CheckDefinition(out, definition, host)) {
        return 1;
    }

    ConsoleWindow window(out);
    DeviceConnection connection(manager, definition, window, window);
    KeyboardProtocol protocol(manager, database, definition, window);
    services.monitor->Start(window);
    bool good = Connect(out, manager, connection, window);
    DriverContext context{out, definition, database, protocol, window, *services.simulated};
    good = RunCommands(context, *services.simulated) && good;
    good = ReplugAndReset(out, *services.simulated, window, connection, protocol) && good;
    services.monitor->Stop();
    out << (good ? "done\n" : "the simulated keyboard did not answer as expected\n");
    return good ? 0 : 1;
}

} // namespace Quillon
