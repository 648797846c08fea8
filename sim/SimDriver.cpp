#include "sim/SimDriver.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "app/device/DeviceConnection.h"
#include "app/device/KeyboardProtocol.h"
#include "sim/DeviceServices.h"
#include "toolkit/platform/Utf.h"

namespace Quillon {

namespace {

constexpr int kQ400DeviceType = 201;
// The light row the driver writes: mode 4 (single colour) in orange.
constexpr int kDriverLightMode = 4;
constexpr int kDriverColour = 0x0080FF;

// The window, as far as the driver has one: prints the status line and
// remembers the queued tasks.
class ConsoleWindow final : public ConnectionHost,
                            public ProtocolHost,
                            public TaskPoster,
                            public DeviceChangeSink {
public:
    ConsoleWindow(std::ostream& out) : m_out(out) {}

    void ResetAllDeviceStates() override {}
    void SetDeviceState(int device_type, int state) override {
        m_out << "device list: type " << device_type << " state " << state << '\n';
    }
    void CloseDialogsAndPopups() override {}
    void SetStatusText(int ui_text_id) override {
        m_out << "status line: text " << ui_text_id << '\n';
    }
    void SetTabItemVisible(int, bool) override {}
    void SelectTabItem(int) override {}
    void ShowFactoryResetButton() override {}
    void SetDeviceControlsVisible(bool) override {}
    void SetDeviceName(int) override {}
    void SetDevicePicture(const std::wstring&) override {}
    void SelectPage(int) override {}

    int GetCurrentProfile() const override { return 1; }
    int GetCurrentLayer() const override { return 0; }
    int GetLightProfile() const override { return 1; }
    int GetCurrentLightMode() const override { return kDriverLightMode; }
    int GetLightOption() const override { return 0; }
    int GetConnectionMode() const override { return connection_mode; }
    bool IsMusicLevelShown() const override { return true; }
    std::vector<KeyColour> GetLightViewColours() const override { return {}; }
    void SetLightViewColours(const std::vector<KeyColour>&) override {}
    void SetLightViewAllKeys(std::uint32_t) override {}
    void RefreshAfterFactoryReset() override { m_out << "pages reloaded\n"; }

    void PostTask(int code) override {
        std::lock_guard lock(m_lock);
        tasks.push_back(code);
    }
    void PostDeviceChange(int event, const std::wstring& path) override {
        std::lock_guard lock(m_lock);
        changes.emplace_back(event, path);
    }

    int connection_mode = -1;
    std::mutex m_lock;
    std::vector<int> tasks;
    std::vector<std::pair<int, std::wstring>> changes;

private:
    std::ostream& m_out;
};

// A private data folder for the driver's database, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillon-sim-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
            std::filesystem::create_directories(m_path / "db");
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

void DescribeModes(const SimKeyboardDesc& desc, HidDeviceManager& manager, KeyboardDef& def) {
    for (const SimModeDesc& mode : desc.modes) {
        const std::wstring text = VellumUI::Utf8ToWide(SimHidId(mode));
        manager.AddRule(mode.vid, mode.pid, L"", kQ400DeviceType, mode.mode, text);
        DeviceRecord record;
        record.device_type = kQ400DeviceType;
        record.mode = mode.mode;
        record.vid = mode.vid;
        record.pid = mode.pid;
        record.hid_interface = text;
        def.mode_list.push_back(record);
    }
    def.current_device_type = kQ400DeviceType;
}

// The driver's database: one light row, the single colour mode in orange.
void OpenDriverDatabase(const std::filesystem::path& folder, KeyboardDB& database) {
    database.OpenForKeyboard(folder, L"Q400");
    LightInfo light;
    light.profile = 1;
    light.mode = kDriverLightMode;
    light.brightness = 5;
    light.speed = 3;
    light.color_value = kDriverColour;
    database.AddLight(light);
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

} // namespace

int RunSimDriver(std::ostream& out) {
    const char* simulate = std::getenv("QUILLON_SIMULATE");
    if (simulate == nullptr || *simulate == '\0') {
        out << "QUILLON_SIMULATE is not set; this driver only talks to the simulated keyboard\n";
        return 2;
    }
    DeviceServices services = CreateDeviceServices();
    if (!services.simulated) {
        return 2;
    }
    HidDeviceManager manager(std::move(services.backend));
    KeyboardDef definition;
    DescribeModes(Q400Description(), manager, definition);

    ScratchFolder folder;
    KeyboardDB database;
    OpenDriverDatabase(folder.Path(), database);

    ConsoleWindow window(out);
    DeviceConnection connection(manager, definition, window, window);
    KeyboardProtocol protocol(manager, database, definition, window);
    services.monitor->Start(window);

    connection.ScanDevices();
    connection.UpdateConnectionState();
    window.connection_mode = connection.GetConnectionMode();
    out << "connection mode " << window.connection_mode << '\n';

    bool good = connection.IsGateOpen();
    std::uint16_t version = 0;
    if (manager.QueryFirmwareVersion(version)) {
        out << "firmware version " << (version >> 8) << '.' << (version & 0xFF) << '\n';
    } else {
        good = false;
    }
    protocol.WriteLighting();
    protocol.SendMusicLevel(std::vector<std::int16_t>(16, 8000));
    const SimKeyboardState state = services.simulated->State();
    out << "keyboard light mode " << int(state.light[0]) << ", music level " << state.music_level
        << '\n';

    // Unplug and replug in the same mode.
    const int mode = services.simulated->AttachedMode();
    services.simulated->Detach();
    SettleDeviceChanges(window, connection);
    out << "after unplugging: connection mode " << connection.GetConnectionMode() << '\n';
    services.simulated->Attach(mode);
    SettleDeviceChanges(window, connection);
    out << "after plugging in: connection mode " << connection.GetConnectionMode() << '\n';
    good = good && connection.GetConnectionMode() == mode;

    protocol.FactoryReset();
    good = good && services.simulated->State().factory_resets == 1;
    services.monitor->Stop();
    out << (good ? "done\n" : "the simulated keyboard did not answer as expected\n");
    return good ? 0 : 1;
}

} // namespace Quillon
