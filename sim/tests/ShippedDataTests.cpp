// The data files the program ships, end to end: config.xml and the Q400
// layout loaded as the program loads them, their modes as the HID manager's
// match rules, the connection found in each mode of the simulated Q400, and
// the layout's keys and light records written through the keyboard protocol
// into the keyboard's memory.
#include <gtest/gtest.h>

#include <set>

#include "app/device/DeviceConnection.h"
#include "app/device/KeyboardDefHost.h"
#include "app/device/KeyboardProtocol.h"
#include "app/device/tests/ConnectionRig.h"
#include "sim/SimHidBackend.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

constexpr int kQ400 = 201;
constexpr std::size_t kQ400Keys = 105;
constexpr int kFnKey = 0xFF;
// Light indexes the per-key colour upload reaches: 440 bytes sent, 4 a key.
constexpr int kColourIndexes = 110;
// Key indexes the family A key table reaches: 220 bytes sent, 2 a key.
constexpr int kKeyTableIndexes = 110;

// The loaders' host with what matters here: the program folder, match rules
// into the manager and the model's database in the data folder.
class ShippedHost final : public KeyboardDefHost {
public:
    ShippedHost(HidDeviceManager& manager, KeyboardDB& database, std::filesystem::path data)
        : m_manager(manager), m_database(database), m_data(std::move(data)) {}

    std::filesystem::path GetProgramFolder() const override { return QuillonTesting::RuntimeDir(); }
    void AddDevice(const std::wstring&, int, int, int, bool) override {}
    void AddHidRule(int vid, int pid, const std::wstring& product_name, int device_type, int mode,
                    const std::wstring& hid_interface) override {
        m_manager.AddRule(vid, pid, product_name, device_type, mode, hid_interface);
        rules.push_back({vid, pid, product_name, device_type, mode, hid_interface});
    }
    void ClearItem(KeyboardView) override {}
    void SetRect(KeyboardView, const KeyRect&) override {}
    void SetKeyboardImage(KeyboardView, const std::wstring&) override {}
    void SetWidthAndHeight(KeyboardView, int, int) override {}
    void AddKeyItem(KeyboardView view, const std::wstring&, const std::wstring&, int code,
                    const KeyRect&, const std::wstring&) override {
        if (view == KeyboardView::Keys) {
            key_items.push_back(code);
        }
    }
    void SetTabVisible(int, bool) override {}
    void SetFirmwareUpdateVisible(bool) override {}
    void SetBrightnessMax(int) override {}
    void SetSpeedMax(int) override {}
    void SetVersionText(const std::wstring&) override {}
    void SetCopyrightText(const std::wstring&) override {}
    void CloseDatabase() override { m_database.Close(); }
    void OpenDatabase(const std::wstring& keyboard_name) override {
        opened.push_back(keyboard_name);
        m_database.OpenForKeyboard(m_data, keyboard_name);
    }
    int GetCurrentProfile() const override { return 1; }
    void RegisterDeviceNotifications() override {}

    std::vector<HidMatchRule> rules;
    std::vector<int> key_items; // codes, in file order
    std::vector<std::wstring> opened;

private:
    HidDeviceManager& m_manager;
    KeyboardDB& m_database;
    std::filesystem::path m_data;
};

// The shipped definition over the simulated Q400, with a database in a
// temporary home.
struct ShippedQ400 {
    ShippedQ400()
        : keyboard(std::make_shared<SimKeyboard>(Q400Description(), clock)),
          manager(std::make_unique<SimHidBackend>(keyboard), clock),
          host(manager, database, home.DataHome()), connection(manager, definition, window, tasks),
          protocol(manager, database, definition, protocol_host) {
        std::filesystem::create_directories(home.DataHome() / "db");
        definition.LoadDeviceConfig(host);
    }

    // Plugs the keyboard in and runs the scan as the task runner does.
    void Connect(int mode) {
        keyboard->Attach(mode);
        connection.ScanDevices();
        connection.UpdateConnectionState();
        protocol_host.connection_mode = connection.GetConnectionMode();
    }

    // One light record per light mode of the layout, as the light page makes
    // them on first use, with the layout's default mode selected.
    void AddLightRecords() {
        for (const LightInfo& light : definition.light_modes) {
            database.AddLight(light);
        }
        database.SetActiveLight(1, definition.default_mode);
    }

    QuillonTesting::TempHome home;
    VirtualClock clock;
    std::shared_ptr<SimKeyboard> keyboard;
    HidDeviceManager manager;
    KeyboardDB database;
    KeyboardDef definition;
    ShippedHost host;
    Testing::RecordingConnectionHost window;
    Testing::RecordingTaskPoster tasks;
    Testing::FakeProtocolHost protocol_host;
    DeviceConnection connection;
    KeyboardProtocol protocol;
};

constexpr int kModes[] = {0, 1, 2}; // cable, receiver, Bluetooth

TEST(ShippedData, LoadsIntoMatchRulesAndTheModelsDatabase) {
    ShippedQ400 rig;
    ASSERT_EQ(rig.host.rules.size(), 3u);
    const int pids[] = {0x4A01, 0x4A02, 0x4A03};
    for (int mode : kModes) {
        const HidMatchRule& rule = rig.host.rules[static_cast<std::size_t>(mode)];
        EXPECT_EQ(rule.mode, mode);
        EXPECT_EQ(rule.vid, 0x37F1);
        EXPECT_EQ(rule.pid, pids[mode]);
        EXPECT_EQ(rule.device_type, kQ400);
    }
    EXPECT_EQ(rig.host.opened, std::vector<std::wstring>{L"Q400-RGB PT"});
    EXPECT_TRUE(rig.database.IsOpened());
    EXPECT_TRUE(
        std::filesystem::exists(KeyboardDB::DatabasePath(rig.home.DataHome(), L"Q400-RGB PT")));
    EXPECT_EQ(rig.definition.current_device_type, kQ400);
    EXPECT_EQ(rig.definition.light_modes.size(), 8u);
}

// Every key the layout file lists survives into the tables with a code and
// indexes the protocol's builders take whole: a code past one byte would be
// cut by the remap and macro reports, an index past the buffers dropped, and
// two keys on one index or one matrix cell would hide each other.
TEST(ShippedData, EveryLayoutKeyFitsTheProtocol) {
    ShippedQ400 rig;
    const KeyboardDef& def = rig.definition;
    ASSERT_EQ(rig.host.key_items.size(), kQ400Keys);
    EXPECT_EQ(def.key_index_table.size(), kQ400Keys) << "two keys share a code";
    EXPECT_EQ(def.light_index_table.size(), kQ400Keys);
    std::set<int> key_indexes;
    std::set<int> light_indexes;
    for (int code : rig.host.key_items) {
        SCOPED_TRACE(code);
        EXPECT_GT(code, 0);
        EXPECT_LE(code, 0xFF);
        const int key_index = def.key_index_table.at(code);
        const int light_index = def.light_index_table.at(code);
        EXPECT_GE(key_index, 0);
        EXPECT_LT(key_index, kKeyTableIndexes);
        EXPECT_GE(light_index, 0);
        EXPECT_LT(light_index, kColourIndexes);
        key_indexes.insert(key_index);
        light_indexes.insert(light_index);
    }
    EXPECT_EQ(key_indexes.size(), kQ400Keys) << "two keys share a key index";
    EXPECT_EQ(light_indexes.size(), kQ400Keys) << "two keys share a light index";

    // Fn's code is the matrix's empty mark, so it is the one key not seen there.
    std::size_t placed = 0;
    for (const auto& row : def.key_matrix) {
        for (std::uint8_t cell : row) {
            placed += cell != KeyboardDef::kNoKey ? 1 : 0;
        }
    }
    EXPECT_EQ(placed, kQ400Keys - (def.key_index_table.count(kFnKey) != 0 ? 1 : 0));
}

// Every assignable key of the layout (all but Fn) goes whole into a remap
// slot and a macro slot image of the keyboard.
TEST(ShippedData, EveryLayoutKeyGoesWholeIntoTheKeyboardsSlots) {
    ShippedQ400 rig;
    rig.Connect(0);
    constexpr int kTarget = 0x04; // A
    constexpr int kShortcut = 1;
    for (int code : rig.host.key_items) {
        if (code == kFnKey) {
            continue;
        }
        SCOPED_TRACE(code);
        KeyMacroInfo row;
        row.profile = 1;
        row.key_code = code;
        row.macro_type = KeyboardProtocol::kTypeKey;
        row.macro_value = kTarget;
        rig.database.SaveKeyAssignment(row);
        rig.protocol.WriteRemapSlot(code, 1);
        rig.protocol.WriteMacroSlot(code, 1, KeyboardProtocol::kTypeShortcut, kShortcut);
        const SimKeyboardState state = rig.keyboard->State();
        EXPECT_EQ(state.remap_slots[0].key, code);
        EXPECT_EQ(state.remap_slots[0].target, kTarget);
        EXPECT_EQ(state.slot_table[1], code);
        EXPECT_EQ(state.macro_images[0][2], code);
    }
}

TEST(ShippedData, ConnectsInEachModeOfTheSimulatedKeyboard) {
    for (int mode : kModes) {
        SCOPED_TRACE(mode);
        ShippedQ400 rig;
        rig.Connect(mode);
        EXPECT_TRUE(rig.connection.IsGateOpen());
        EXPECT_EQ(rig.connection.GetConnectionMode(), mode);
        EXPECT_EQ(rig.window.status, DeviceConnection::kTextConnected);
    }
}

// Each light record of the layout, selected and written, leaves the
// keyboard's light settings as the record says: by feature report by cable,
// by payload without one.
TEST(ShippedData, TheKeyboardTakesEachLightRecord) {
    for (int mode : kModes) {
        SCOPED_TRACE(mode);
        ShippedQ400 rig;
        rig.Connect(mode);
        rig.AddLightRecords();
        ASSERT_EQ(rig.database.GetActiveLightMode(1), rig.definition.default_mode);
        for (const LightInfo& effect : rig.definition.light_modes) {
            SCOPED_TRACE(effect.mode);
            LightInfo light;
            ASSERT_TRUE(rig.database.GetLight(1, effect.mode, light));
            light.color_value = 0x123456;
            light.brightness = 2;
            rig.database.UpdateLight(1, effect.mode, light);
            rig.database.SetActiveLight(1, effect.mode);
            rig.protocol_host.light_mode = rig.database.GetActiveLightMode(1);
            rig.protocol.WriteLighting();

            const SimKeyboardState state = rig.keyboard->State();
            EXPECT_EQ(state.light[0], effect.mode - 1);
            if (effect.mode == KeyboardProtocol::kSingleColourMode) {
                EXPECT_EQ(state.light[2], 0x56);
                EXPECT_EQ(state.light[3], 0x34);
                EXPECT_EQ(state.light[5], 0x12);
            } else {
                EXPECT_EQ(state.light[4], 1); // brightness 2, sent as 1
            }
        }
        const SimKeyboardState state = rig.keyboard->State();
        const int writes = static_cast<int>(rig.definition.light_modes.size());
        EXPECT_EQ(state.light_writes_wired, mode == 0 ? writes : 0);
        EXPECT_EQ(state.light_writes_wireless, mode == 0 ? 0 : writes);
    }
}

// A colour of its own for every key code, so a key that lands on another
// key's light index shows up as a wrong colour.
int ColourOfKey(int code) {
    return code | ((0xFF - code) << 8) | (0x40 << 16);
}

TEST(ShippedData, EveryKeysColourLandsAtItsLightIndex) {
    for (int mode : kModes) {
        SCOPED_TRACE(mode);
        ShippedQ400 rig;
        rig.Connect(mode);
        std::vector<KeyLightInfo> rows;
        for (int code : rig.host.key_items) {
            rows.push_back({0, 1, kCustomKeyLightMode, code, ColourOfKey(code)});
        }
        ASSERT_EQ(rig.database.SaveKeyLights(rows), static_cast<int>(rows.size()));
        rig.protocol.WriteCustomKeyColours();

        const auto colours = rig.keyboard->State().a_custom_colours;
        for (int code : rig.host.key_items) {
            SCOPED_TRACE(code);
            const std::size_t at =
                4 * static_cast<std::size_t>(rig.definition.light_index_table.at(code));
            ASSERT_LT(at + 3, colours.size());
            EXPECT_EQ(colours[at], code);
            EXPECT_EQ(colours[at + 1], 0xFF - code);
            EXPECT_EQ(colours[at + 2], 0x40);
            EXPECT_EQ(colours[at + 3], 0xFF);
        }
    }
}

// Remaps and a shortcut on keys of the layout reach the keyboard's remap
// slots, macro slot and slot table with the keys' codes. Fn is left out: the
// key page does not let it be assigned.
TEST(ShippedData, KeyAssignmentsOfLayoutKeysReachTheKeyboard) {
    constexpr int kCapsLock = 0x39, kLeftCtrl = 0xE0, kRightWin = 0xE7, kNumEnter = 0x58,
                  kEsc = 0x29, kEnter = 0x28, kF5 = 0x3E;
    constexpr int kCopyShortcut = 1;
    const struct {
        int key;
        int type;
        int value;
    } assignments[] = {{kCapsLock, KeyboardProtocol::kTypeKey, kLeftCtrl},
                       {kRightWin, KeyboardProtocol::kTypeKeyCode, kEsc},
                       {kNumEnter, KeyboardProtocol::kTypeKey, kEnter},
                       {kF5, KeyboardProtocol::kTypeShortcut, kCopyShortcut}};
    for (int mode : kModes) {
        SCOPED_TRACE(mode);
        ShippedQ400 rig;
        rig.Connect(mode);
        for (const auto& a : assignments) {
            ASSERT_EQ(rig.definition.key_index_table.count(a.key), 1u) << a.key;
            KeyMacroInfo row;
            row.profile = 1;
            row.key_code = a.key;
            row.macro_type = a.type;
            row.macro_value = a.value;
            rig.database.SaveKeyAssignment(row);
        }
        rig.protocol.WriteKeyAssignments();

        const SimKeyboardState state = rig.keyboard->State();
        std::set<std::pair<int, int>> remaps;
        for (const SimRemapSlot& slot : state.remap_slots) {
            if (slot.key != 0) {
                remaps.insert({slot.key, slot.target});
            }
        }
        EXPECT_EQ(remaps, (std::set<std::pair<int, int>>{
                              {kCapsLock, kLeftCtrl}, {kRightWin, kEsc}, {kNumEnter, kEnter}}));
        EXPECT_EQ(state.slot_table[1], kF5);
        EXPECT_EQ(state.macro_images[0][2], kF5);

        // Written again with one assignment left, the keyboard keeps only
        // that one: the slots read back from it are emptied first.
        rig.database.DeleteProfileKeys(1);
        KeyMacroInfo row;
        row.profile = 1;
        row.key_code = kNumEnter;
        row.macro_type = KeyboardProtocol::kTypeKey;
        row.macro_value = kEnter;
        rig.database.SaveKeyAssignment(row);
        rig.protocol.WriteKeyAssignments();
        const SimKeyboardState again = rig.keyboard->State();
        EXPECT_EQ(again.remap_slots[0].key, kNumEnter);
        EXPECT_EQ(again.remap_slots[0].target, kEnter);
        for (int slot = 1; slot < SimKeyboardState::kRemapSlots; ++slot) {
            EXPECT_EQ(again.remap_slots[static_cast<std::size_t>(slot)].key, 0) << slot;
        }
        EXPECT_EQ(again.slot_table[1], 0);
    }
}

} // namespace
} // namespace Quillon
