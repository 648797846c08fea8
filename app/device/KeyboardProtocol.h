// Every report Quillon sends to the keyboard: the builders of the task
// runner's device tasks (key assignments, light settings, per-key colours,
// factory reset), the custom colour set selection, the live key colour
// stream and the music level. Two families exist, chosen by the current
// device type: family A (up to 200) with 65-byte output reports, and family
// B (201..299, the Q400) with 8-byte feature reports and, when wireless,
// 64-byte payloads headed BB AA 99 88.
//
// The builders read the database and the keyboard definition and send
// through the HID device manager, whose pauses are part of the protocol.
// Failed sends are never reported to the user.
//
// Ownership: the main window owns one for the whole run. Threads: the task
// runner calls the builders and StreamKeyColours, the window thread
// ApplyCustomColourSet, the audio capture thread SendMusicLevel; the manager
// serialises their reports, and each multi-packet sequence holds its lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "app/device/HidDeviceManager.h"
#include "app/device/KeyboardDef.h"
#include "app/device/ProtocolHost.h"
#include "app/storage/KeyboardDB.h"

namespace Quillon {

class KeyboardProtocol {
public:
    // Assignment kinds (t_key_macro_data.macro_type) the protocol tells apart.
    static constexpr int kTypeDefault = 0;
    static constexpr int kTypeKey = 1;
    static constexpr int kTypeKeyCode = 2;
    static constexpr int kTypeMacro = 3;
    static constexpr int kTypeShortcut = 7;
    // Macro step kinds that are sent (t_macrorecord.type).
    static constexpr int kRecordPress = 2;
    static constexpr int kRecordRelease = 3;
    // Device tables of family B.
    static constexpr int kMacroSlots = 13;
    static constexpr int kRemapSlots = 10;
    static constexpr int kMacroImageBytes = 168;
    // Light mode numbers with their own byte layout in family B.
    static constexpr int kSingleColourMode = 4;
    static constexpr int kUndecrementedSpeedMode = 9;
    // Option list value is sent when the mode's config_func has this bit.
    static constexpr int kOptionFeature = 0x100;

    KeyboardProtocol(HidDeviceManager& manager, KeyboardDB& database, const KeyboardDef& definition,
                     ProtocolHost& host);
    KeyboardProtocol(const KeyboardProtocol&) = delete;
    KeyboardProtocol& operator=(const KeyboardProtocol&) = delete;

    // ---- task builders (task runner) ----
    void WriteKeyAssignments();   // task 6
    void WriteLighting();         // task 7
    void WriteCustomKeyColours(); // task 8
    void FactoryReset();          // task 10

    // ---- other senders ----
    // Window thread, device types below 200 only.
    void ApplyCustomColourSet(int colour_set);
    // Task runner idle pass; true when the frame went out.
    bool StreamKeyColours();
    // Audio capture thread: one block of signed 16-bit samples.
    void SendMusicLevel(std::span<const std::int16_t> block);

    // ---- family B pieces ----
    void WriteRemapSlot(int key, int slot);
    void WriteMacroSlot(int key, int slot, int type, int value);
    // The 168-byte macro slot image WriteMacroSlot sends.
    std::vector<std::uint8_t> BuildMacroSlotImage(int key, int slot, int type, int value);

    // ---- state kept for other Parts ----
    // Family A: the light page clears this whenever the user picks another
    // mode, so that the next write selects the mode instead of tuning it.
    void ClearLightModeSelected();
    bool IsLightModeSelected() const;
    // Music visualizer settings of the light page.
    void SetMusicSensitivity(int slider_value);
    void SetMusicEffect(int effect);
    void SetMusicColour(int colour);
    // Family A: the macro slot a key was bound to by the last upload, or -1.
    int GetFamilyAMacroSlot(int key_code) const;

private:
    // Family of the current device type.
    bool IsFamilyA() const;
    bool IsFamilyB() const;
    bool IsWireless() const;
    Clock& GetClock() const;

    // Family B (KeyboardProtocolB.cpp).
    void WriteKeyAssignmentsB();
    void WriteLightingB(const LightInfo& light);
    void FactoryResetB();
    // Family A (KeyboardProtocolA.cpp).
    void WriteKeyAssignmentsA();
    bool UploadMacrosA(const std::vector<KeyMacroInfo>& rows);
    bool UploadMacroA(const KeyMacroInfo& row, int slot);
    void UploadShortcutA(const KeyMacroInfo& row, int slot);
    void WriteLightingA(const LightInfo& light);
    void FactoryResetA();

    // Index of a key in a definition table: the entry of its code, 0 when
    // the table is empty, -1 when a non-empty table lacks the code.
    static int TableIndex(const std::map<int, int>& table, int key_code);
    // The option byte of a light row.
    int LightOption(const LightInfo& light) const;

    HidDeviceManager& m_manager;
    KeyboardDB& m_database;
    const KeyboardDef& m_definition;
    ProtocolHost& m_host;

    std::atomic<bool> m_lightModeSelected{true};
    std::atomic<bool> m_liveStartSent{false};
    std::atomic<double> m_musicSensitivity{1.0};
    std::atomic<int> m_musicEffect{1};
    std::atomic<int> m_musicColour{0};
    std::map<int, int> m_familyAMacroSlots; // key code -> slot; task runner only
};

} // namespace Quillon
