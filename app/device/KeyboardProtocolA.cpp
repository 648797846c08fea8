// Family A (device types up to 200): 65-byte output reports with report id 0.
#include <algorithm>

#include "app/device/KeyCodes.h"
#include "app/device/KeyboardProtocol.h"

namespace Quillon {

namespace {

// 88 00 mode: select a light mode. 89 00 f R G B brightness: tune it.
constexpr std::uint8_t kSelectModeCommand = 0x88;
constexpr std::uint8_t kParametersCommand = 0x89;
constexpr std::uint8_t kColourfulBit = 0x40;
// 8D len offset-low offset-high, 60 data bytes: key table chunk.
constexpr std::uint8_t kKeyTableCommand = 0x8D;
constexpr std::size_t kKeyTableBytes = 360;
constexpr int kKeyTableChunks = 4;
constexpr int kKeyTableChunkBytes = 60;
constexpr int kKeyTableLastLength = 40; // 110 two-byte entries in all
constexpr int kKeyIndexLimit = 180;
constexpr std::uint8_t kKeyToKeyCode = 0x20;
constexpr std::uint8_t kKeyToMacro = 0x40;
// 8E len offset-low offset-high slot, 59 data bytes: macro chunk.
constexpr std::uint8_t kMacroCommand = 0x8E;
constexpr std::size_t kMacroBufferBytes = 1200;
constexpr int kMacroChunkBytes = 59;
constexpr int kMaxPlayTimes = 255;
constexpr std::size_t kMaxRecordCount = 255;
// FF FE AA FF: factory reset.
constexpr std::array<std::uint8_t, 4> kResetCommand{0xFF, 0xFE, 0xAA, 0xFF};

// Pauses.
constexpr int kKeyTableChunkDelayMs = 10;
constexpr int kMacroDelayMs = 10;
constexpr int kMacroChunkDelayMs = 100;
constexpr int kMacrosToKeyTableDelayMs = 20;
constexpr int kResetDelayMs = 100;

// Every event of a shortcut waits 100 ms.
constexpr std::uint8_t kShortcutDelay = 0x64;
constexpr std::uint8_t kShortcutPressFlag = 0x80;
// An unknown shortcut id still sends this many (empty) events.
constexpr int kUnknownShortcutEvents = 4;

} // namespace

void KeyboardProtocol::WriteKeyAssignmentsA() {
    std::vector<KeyMacroInfo> rows;
    m_database.GetKeyAssignments(m_host.GetCurrentProfile(), m_host.GetCurrentLayer(), rows);
    UploadMacrosA(rows);
    Clock& clock = GetClock();
    clock.SleepMs(kMacrosToKeyTableDelayMs);

    std::vector<std::uint8_t> table(kKeyTableBytes, 0);
    for (const KeyMacroInfo& row : rows) {
        const int i = TableIndex(m_definition.key_index_table, row.key_code);
        if (i < 0 || i >= kKeyIndexLimit) {
            continue;
        }
        if (row.macro_type == kTypeKeyCode) {
            table[2 * i] = LowByte(row.macro_value);
            table[2 * i + 1] = kKeyToKeyCode;
        } else if (row.macro_type == kTypeKey) {
            table[2 * i] = 0;
            table[2 * i + 1] = kKeyToKeyCode;
        } else if (row.macro_type == kTypeMacro || row.macro_type == kTypeShortcut) {
            const int slot = GetFamilyAMacroSlot(row.key_code);
            if (slot >= 0) {
                table[2 * i] = LowByte(slot);
                table[2 * i + 1] = kKeyToMacro;
            }
        }
    }
    // The key table chunks all go out, whatever happens to one of them.
    auto sequence = m_manager.LockSequence();
    for (int j = 0; j < kKeyTableChunks; ++j) {
        const int offset = kKeyTableChunkBytes * j;
        OutputReport report{
            0x00, kKeyTableCommand,
            LowByte(j == kKeyTableChunks - 1 ? kKeyTableLastLength : kKeyTableChunkBytes),
            LowByte(offset), LowByte(offset >> 8)};
        std::copy_n(table.begin() + offset, kKeyTableChunkBytes, report.begin() + 5);
        clock.SleepMs(kKeyTableChunkDelayMs);
        m_manager.WriteReport(report);
    }
}

bool KeyboardProtocol::UploadMacrosA(const std::vector<KeyMacroInfo>& rows) {
    m_familyAMacroSlots.clear();
    int slot = 0;
    for (const KeyMacroInfo& row : rows) {
        if (row.macro_type != kTypeMacro) {
            continue;
        }
        if (!UploadMacroA(row, slot)) {
            return false; // no further macros or shortcuts are sent or bound
        }
        m_familyAMacroSlots[row.key_code] = slot++;
    }
    for (const KeyMacroInfo& row : rows) {
        if (row.macro_type != kTypeShortcut) {
            continue;
        }
        UploadShortcutA(row, slot);
        m_familyAMacroSlots[row.key_code] = slot++;
    }
    return true;
}

bool KeyboardProtocol::UploadMacroA(const KeyMacroInfo& row, int slot) {
    std::vector<std::uint8_t> buffer(kMacroBufferBytes, 0);
    MacroInfo macro;
    buffer[0] = m_database.GetMacro(row.macro_value, macro)
                    ? LowByte(std::clamp(macro.play_times, 1, kMaxPlayTimes))
                    : 1;
    std::vector<MacroRecordInfo> records;
    m_database.GetMacroRecords(row.macro_value, records);
    // The count has one byte: a longer macro goes out as its first 255
    // records rather than with a count that wrapped round.
    buffer[1] = LowByte(static_cast<int>(std::min<std::size_t>(records.size(), kMaxRecordCount)));
    std::size_t next = 2;
    for (const MacroRecordInfo& record : records) {
        if (record.type != kRecordPress && record.type != kRecordRelease) {
            continue;
        }
        if (next + 3 > buffer.size()) {
            break; // the buffer is full: later events are dropped
        }
        const FamilyAEvent event = EncodeFamilyAEvent(
            KeyCodeFromVirtualKey(record.value), record.type == kRecordRelease, record.delay_time);
        buffer[next++] = event.key;
        buffer[next++] = event.delay_low;
        buffer[next++] = event.delay_high;
    }

    Clock& clock = GetClock();
    clock.SleepMs(kMacroDelayMs);
    const int total = 3 * (buffer[1] + 1);
    auto sequence = m_manager.LockSequence();
    for (int offset = 0; offset < total; offset += kMacroChunkBytes) {
        OutputReport report{0x00,
                            kMacroCommand,
                            LowByte(std::min(kMacroChunkBytes, total - offset)),
                            LowByte(offset),
                            LowByte(offset >> 8),
                            LowByte(slot)};
        std::copy_n(buffer.begin() + offset, kMacroChunkBytes, report.begin() + 6);
        clock.SleepMs(kMacroChunkDelayMs);
        if (!m_manager.WriteReport(report)) {
            return false;
        }
    }
    return true;
}

void KeyboardProtocol::UploadShortcutA(const KeyMacroInfo& row, int slot) {
    std::vector<ShortcutEvent> events = ShortcutEvents(row.macro_value);
    const bool known = !events.empty();
    if (!known) {
        events.resize(kUnknownShortcutEvents);
    }
    const int count = static_cast<int>(events.size());
    // 8E (3n) 00 00 slot 01 n, then the n events.
    OutputReport report{0x00,          kMacroCommand, LowByte(3 * count), 0x00, 0x00,
                        LowByte(slot), 0x01,          LowByte(count)};
    std::size_t next = 8;
    for (const ShortcutEvent& event : events) {
        if (known) {
            report[next] = event.key;
            report[next + 1] = kShortcutDelay;
            report[next + 2] = event.release ? 0x00 : kShortcutPressFlag;
        }
        next += 3;
    }
    GetClock().SleepMs(kMacroDelayMs);
    m_manager.WriteReport(report);
}

void KeyboardProtocol::WriteLightingA(const LightInfo& light) {
    OutputReport report{};
    if (m_lightModeSelected) {
        report[1] = kParametersCommand;
        report[3] = LowByte(((light.direction & 3) << 4) |
                            (light.colorful != 0 ? kColourfulBit : 0) | (light.speed & 0x0F));
        report[4] = LowByte(light.color_value);
        report[5] = LowByte(light.color_value >> 8);
        report[6] = LowByte(light.color_value >> 16);
        report[7] = LowByte(light.brightness);
    } else {
        report[1] = kSelectModeCommand;
        report[3] = LowByte(m_host.GetCurrentLightMode());
    }
    m_manager.WriteReport(report);
    m_lightModeSelected = true;
}

void KeyboardProtocol::FactoryResetA() {
    OutputReport report{};
    std::copy(kResetCommand.begin(), kResetCommand.end(), report.begin() + 1);
    m_manager.WriteReport(report);
    GetClock().SleepMs(kResetDelayMs);
}

} // namespace Quillon
