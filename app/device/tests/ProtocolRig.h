// A keyboard protocol wired to the simulated Q400 on a virtual clock, with a
// fresh database in a temporary folder and a main window made of plain
// fields. Shared by the protocol and connection tests.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/device/KeyboardProtocol.h"
#include "sim/SimHidBackend.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon::Testing {

class FakeProtocolHost final : public ProtocolHost {
public:
    int GetCurrentProfile() const override { return profile; }
    int GetCurrentLayer() const override { return 0; }
    int GetLightProfile() const override { return 1; }
    int GetCurrentLightMode() const override { return light_mode; }
    int GetLightOption() const override { return option; }
    int GetConnectionMode() const override { return connection_mode; }
    bool IsMusicLevelShown() const override { return music_shown; }
    std::vector<KeyColour> GetLightViewColours() const override { return view; }
    void SetLightViewColours(const std::vector<KeyColour>& colours) override {
        for (const KeyColour& colour : colours) {
            for (KeyColour& key : view) {
                if (key.key_code == colour.key_code) {
                    key.colour = colour.colour;
                }
            }
        }
    }
    void SetLightViewAllKeys(std::uint32_t colour) override {
        for (KeyColour& key : view) {
            key.colour = colour;
        }
    }
    void RefreshAfterFactoryReset() override { ++refreshes; }

    int profile = 1;
    int light_mode = 1;
    int option = 0;
    int connection_mode = 0;
    bool music_shown = true;
    std::vector<KeyColour> view;
    int refreshes = 0;
};

// Lower-case, space-separated hex of the first `count` bytes.
inline std::string Hex(const std::vector<std::uint8_t>& bytes, std::size_t count = SIZE_MAX) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < count; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i == 0 ? "%02x" : " %02x", bytes[i]);
        text += hex;
    }
    return text;
}

struct ProtocolRig {
    static constexpr int kQ400 = 201;
    static constexpr int kFamilyAType = 100;

    ProtocolRig()
        : keyboard(std::make_shared<SimKeyboard>(Q400Description(), clock)),
          manager(std::make_unique<SimHidBackend>(keyboard), clock),
          protocol(manager, database, definition, host) {
        std::filesystem::create_directories(folder.Path() / "db");
        database.OpenForKeyboard(folder.Path(), L"Q400");
        manager.AddRule(0x37F1, 0x4A01, L"", kQ400, 0, L"0003:37F1:4A01");
        manager.AddRule(0x37F1, 0x4A02, L"", kQ400, 1, L"0003:37F1:4A02");
        manager.AddRule(0x37F1, 0x4A03, L"", kQ400, 2, L"0005:37F1:4A03");
        definition.current_device_type = kQ400;
    }

    // Plugs the keyboard in and scans, as the connection code does.
    void Connect(int mode) {
        keyboard->Attach(mode);
        manager.CloseAll();
        manager.Scan();
        manager.SetOpen(true);
        manager.SetSelectedDeviceType(kQ400);
        host.connection_mode = mode;
        keyboard->ClearTransfers();
        clock.ClearPauses();
    }

    // What the keyboard received (or returned), oldest first.
    std::vector<SimTransfer> Sent(SimTransferKind kind) const {
        std::vector<SimTransfer> list;
        for (const SimTransfer& transfer : keyboard->Transfers()) {
            if (transfer.kind == kind) {
                list.push_back(transfer);
            }
        }
        return list;
    }
    std::vector<std::string> SentHex(SimTransferKind kind, std::size_t count = SIZE_MAX) const {
        std::vector<std::string> list;
        for (const SimTransfer& transfer : Sent(kind)) {
            list.push_back(Hex(transfer.bytes, count));
        }
        return list;
    }

    // ---- database fixtures ----
    void Assign(int key, int type, int value, int profile = 1) {
        KeyMacroInfo row;
        row.profile = profile;
        row.key_code = key;
        row.macro_type = type;
        row.macro_value = value;
        row.macro_value2 = 1; // keeps rows of value 0 stored
        database.SaveKeyAssignment(row);
    }
    struct Step {
        int type;
        int vk;
        int delay;
    };
    int AddMacro(int play_times, const std::vector<Step>& steps) {
        MacroInfo macro;
        macro.play_times = play_times;
        macro.delay_type = 1;
        macro.name = L"macro";
        const int id = database.AddMacroFull(macro);
        int index = 0;
        for (const Step& step : steps) {
            MacroRecordInfo record;
            record.macro_id = id;
            record.type = step.type;
            record.record_index = index++;
            record.value = step.vk;
            record.delay_time = step.delay;
            database.AddMacroRecord(record);
        }
        return id;
    }
    void AddLight(int mode, int brightness, int speed, int direction, int colorindex,
                  int color_value, int config_func, int colorful = 0) {
        LightInfo light;
        light.profile = 1;
        light.name = L"mode";
        light.mode = mode;
        light.brightness = brightness;
        light.speed = speed;
        light.direction = direction;
        light.colorful = colorful;
        light.colorindex = colorindex;
        light.color_value = color_value;
        light.config_func = config_func;
        database.AddLight(light);
    }

    QuillonTesting::TempDir folder;
    VirtualClock clock;
    std::shared_ptr<SimKeyboard> keyboard;
    HidDeviceManager manager;
    KeyboardDB database;
    KeyboardDef definition;
    FakeProtocolHost host;
    KeyboardProtocol protocol;
};

} // namespace Quillon::Testing
