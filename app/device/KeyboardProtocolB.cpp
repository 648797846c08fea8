// Family B (device types 201..299): 8-byte feature reports with report id 7,
// and 64-byte payloads headed BB AA 99 88 when the keyboard is wireless.
#include <algorithm>

#include "app/device/KeyCodes.h"
#include "app/device/KeyboardProtocol.h"

namespace Quillon {

namespace {

// 07 FB 01: read the slot table.
constexpr std::uint8_t kSlotTableCommand = 0xFB;
// 07 FA 01 slot key 01 target 01: one remap slot.
constexpr std::uint8_t kRemapCommand = 0xFA;
// 07 F1 M0..M5, then 07 00 M(6i)..M(6i+5): a macro slot image.
constexpr std::uint8_t kMacroFirstCommand = 0xF1;
constexpr std::uint8_t kMacroNextCommand = 0x00;
constexpr int kImagePacketBytes = 6;
// 07 F7 m c d s b o: light settings by cable.
constexpr std::uint8_t kLightCommand = 0xF7;
// 07 F0 AA: factory reset by cable.
constexpr std::uint8_t kResetCommand = 0xF0;
constexpr std::uint8_t kResetMagic = 0xAA;

// Wireless payloads.
constexpr std::array<std::uint8_t, 4> kPayloadHeader{0xBB, 0xAA, 0x99, 0x88};
constexpr std::uint8_t kPayloadLight = 0xAA;

// Pauses of the key writer and the reset.
constexpr int kKeyWriteDelayMs = 16;
constexpr int kWiredResetDelayMs = 100;
constexpr int kWirelessResetGapMs = 1600;

// Slot table: byte n holds the key of macro slot n, byte 13 + n that of
// remap slot n.
constexpr int kRemapTableOffset = 13;

// Timing bytes of the shortcut events: the shortest press and release.
constexpr std::uint8_t kShortcutPress = 0x01;
constexpr std::uint8_t kShortcutRelease = 0x81;

Payload MakePayload(std::initializer_list<std::uint8_t> body) {
    Payload payload{};
    std::copy(kPayloadHeader.begin(), kPayloadHeader.end(), payload.begin());
    std::copy(body.begin(), body.end(), payload.begin() + kPayloadHeader.size());
    return payload;
}

} // namespace

void KeyboardProtocol::WriteKeyAssignmentsB() {
    Clock& clock = GetClock();
    FeatureBlocks table{kFeatureReportId, kSlotTableCommand, 0x01};
    m_manager.QueryFeatureBlocks(table);

    // Empty every slot the keyboard reports as used.
    for (int slot = 1; slot <= kMacroSlots; ++slot) {
        if (table[slot] != 0) {
            clock.SleepMs(kKeyWriteDelayMs);
            WriteMacroSlot(0, slot, kTypeDefault, 0);
        }
    }
    for (int slot = 1; slot <= kRemapSlots; ++slot) {
        if (table[kRemapTableOffset + slot] != 0) {
            clock.SleepMs(kKeyWriteDelayMs);
            WriteRemapSlot(0, slot);
        }
    }

    std::vector<KeyMacroInfo> rows;
    m_database.GetKeyAssignments(m_host.GetCurrentProfile(), m_host.GetCurrentLayer(), rows);
    int macro_slot = 1;
    int remap_slot = 1;
    for (const KeyMacroInfo& row : rows) {
        if (row.macro_type == kTypeDefault) {
            continue;
        }
        // Assignments beyond the keyboard's slots have nowhere to go.
        if (row.macro_type == kTypeMacro || row.macro_type == kTypeShortcut) {
            if (macro_slot <= kMacroSlots) {
                clock.SleepMs(kKeyWriteDelayMs);
                WriteMacroSlot(row.key_code, macro_slot, row.macro_type, row.macro_value);
            }
            ++macro_slot;
        } else {
            if (remap_slot <= kRemapSlots) {
                clock.SleepMs(kKeyWriteDelayMs);
                WriteRemapSlot(row.key_code, remap_slot);
            }
            ++remap_slot;
        }
    }
}

void KeyboardProtocol::WriteRemapSlot(int key, int slot) {
    KeyMacroInfo row;
    const bool found =
        m_database.GetKeyAssignment(m_host.GetCurrentProfile(), m_host.GetCurrentLayer(), key, row);
    if (!found || row.macro_value < 1) {
        m_manager.SendFeatureDelayed(
            {kFeatureReportId, kRemapCommand, 0x01, LowByte(slot), 0x00, 0x01, 0x00, 0x01});
        return;
    }
    if (row.macro_type == kTypeDefault || row.macro_type == kTypeMacro ||
        row.macro_type == kTypeShortcut) {
        return;
    }
    m_manager.SendFeatureDelayed({kFeatureReportId, kRemapCommand, 0x01, LowByte(slot),
                                  LowByte(key), 0x01, LowByte(row.macro_value), 0x01});
}

std::vector<std::uint8_t> KeyboardProtocol::BuildMacroSlotImage(int key, int slot, int type,
                                                                int value) {
    std::vector<std::uint8_t> image(kMacroImageBytes, 0);
    image[0] = 1;
    image[1] = LowByte(slot);
    std::size_t next = 4; // the events' pairs start at M[4]
    auto add_pair = [&](int key_code, std::uint8_t timing) {
        if (next + 1 < image.size()) {
            image[next] = LowByte(key_code);
            image[next + 1] = timing;
            next += 2;
        }
    };
    if (type == kTypeShortcut) {
        image[2] = LowByte(key);
        image[3] = 1; // played once
        for (const ShortcutEvent& event : ShortcutEvents(value)) {
            add_pair(event.key, event.release ? kShortcutRelease : kShortcutPress);
        }
    } else if (type == kTypeMacro) {
        MacroInfo macro;
        if (m_database.GetMacro(value, macro)) {
            image[2] = LowByte(key);
            image[3] = LowByte(macro.play_times);
        }
        std::vector<MacroRecordInfo> records;
        m_database.GetMacroRecords(value, records);
        for (const MacroRecordInfo& record : records) {
            if (record.type != kRecordPress && record.type != kRecordRelease) {
                continue;
            }
            add_pair(KeyCodeFromVirtualKey(record.value),
                     EncodeDelay(record.type == kRecordRelease, record.delay_time));
        }
    }
    return image;
}

void KeyboardProtocol::WriteMacroSlot(int key, int slot, int type, int value) {
    const std::vector<std::uint8_t> image = BuildMacroSlotImage(key, slot, type, value);
    auto sequence = m_manager.LockSequence();
    for (std::size_t offset = 0; offset < image.size(); offset += kImagePacketBytes) {
        FeatureReport packet{kFeatureReportId,
                             offset == 0 ? kMacroFirstCommand : kMacroNextCommand};
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), kImagePacketBytes,
                    packet.begin() + 2);
        // A lost packet is not sent again; the next one follows.
        m_manager.SendFeatureDelayed(packet);
    }
}

void KeyboardProtocol::WriteLightingB(const LightInfo& light) {
    const int mode = m_host.GetCurrentLightMode();
    const std::uint8_t m = LowByte(mode - 1);
    const std::uint8_t c = LowByte(light.colorindex);
    const std::uint8_t d = LowByte(light.direction);
    const std::uint8_t s = LowByte(light.speed > 0 ? light.speed - 1 : 0);
    const std::uint8_t b = LowByte(light.brightness > 0 ? light.brightness - 1 : 0);
    const std::uint8_t o = LowByte(LightOption(light));
    // The single colour mode carries its colour (red, green, blue) instead of
    // direction, speed and option.
    const std::uint8_t red = LowByte(light.color_value);
    const std::uint8_t green = LowByte(light.color_value >> 8);
    const std::uint8_t blue = LowByte(light.color_value >> 16);
    const bool single_colour = mode == kSingleColourMode;

    if (!IsWireless()) {
        FeatureReport report{kFeatureReportId, kLightCommand, m, c, d, s, b, o};
        if (single_colour) {
            report[4] = red;
            report[5] = green;
            report[7] = blue;
        } else if (mode == kUndecrementedSpeedMode) {
            report[5] = LowByte(light.speed);
        }
        m_manager.SendFeatureDelayed(report);
        return;
    }
    Payload payload = MakePayload({kPayloadLight, m, c, d, s, b, o});
    if (single_colour) {
        payload[7] = red;
        payload[8] = green;
        payload[10] = blue;
    }
    m_manager.WritePayload(payload);
}

void KeyboardProtocol::FactoryResetB() {
    Clock& clock = GetClock();
    if (!IsWireless()) {
        m_manager.SendFeatureDelayed({kFeatureReportId, kResetCommand, kResetMagic, 0, 0, 0, 0, 0});
        clock.SleepMs(kWiredResetDelayMs);
        return;
    }
    auto sequence = m_manager.LockSequence();
    m_manager.WritePayload(MakePayload(
        {kResetMagic, kResetMagic, kResetMagic, kResetMagic, kResetMagic, kResetMagic, 0x00}));
    clock.SleepMs(kWirelessResetGapMs);
    m_manager.WritePayload(MakePayload({}));
}

} // namespace Quillon
