// The Q400 firmware model: what the keyboard does with each report it gets.
// Called by SimKeyboard with its lock held.
#include <algorithm>

#include "sim/SimKeyboard.h"

namespace Quillon {

namespace {

// Family B feature reports: report id 7, command in byte 1.
constexpr std::uint8_t kFeatureId = 0x07;
constexpr std::uint8_t kCmdMacroNext = 0x00;  // 07 00 M.. : macro image packet 1..27
constexpr std::uint8_t kCmdMacroFirst = 0xF1; // 07 F1 M0..M5
constexpr std::uint8_t kCmdFactoryReset = 0xF0;
constexpr std::uint8_t kCmdLight = 0xF7;
constexpr std::uint8_t kCmdRemap = 0xFA;
constexpr std::uint8_t kCmdSlotTable = 0xFB;
constexpr std::uint8_t kCmdFirmware = 0xFD;
constexpr std::uint8_t kCmdColourSet = 0xFF;
constexpr std::uint8_t kCmdMusic = 0x23;
constexpr std::uint8_t kResetMagic = 0xAA;
constexpr int kImagePackets = 28;
constexpr int kImageBytesPerPacket = 6;
constexpr int kBlockBytes = 7;
constexpr int kRemapTableOffset = 13; // remap slot n is slot table byte 13 + n

// Wireless payloads begin BB AA 99 88; byte 4 says what follows.
constexpr std::array<std::uint8_t, 4> kPayloadHeader{0xBB, 0xAA, 0x99, 0x88};
constexpr std::uint8_t kPayloadLight = 0xAA;

// Family A output reports: command in byte 1.
constexpr std::uint8_t kASelectMode = 0x88;
constexpr std::uint8_t kAParameters = 0x89;
constexpr std::uint8_t kAColours = 0x8B;
constexpr std::uint8_t kAKeyTable = 0x8D;
constexpr std::uint8_t kAMacro = 0x8E;
constexpr std::uint8_t kALiveStart = 0xF0;
constexpr std::uint8_t kALiveChunk = 0xF1;
constexpr std::uint8_t kAReset = 0xFF;
constexpr int kAChunkData = 60; // data bytes of a key table or colour chunk
constexpr int kAMacroData = 59;

// Copies `length` bytes of chunk data to `offset` of a table, as far as
// both the data and the table reach.
template <std::size_t N>
void StoreChunk(std::array<std::uint8_t, N>& table, std::size_t offset, std::size_t length,
                std::span<const std::uint8_t> data) {
    if (offset >= N) {
        return;
    }
    length = std::min({length, data.size(), N - offset});
    std::copy_n(data.begin(), length, table.begin() + static_cast<std::ptrdiff_t>(offset));
}

} // namespace

void SimKeyboard::FactoryReset() {
    const int resets = m_state.factory_resets;
    m_state = SimKeyboardState{};
    m_state.factory_resets = resets + 1;
    m_nextImagePacket = -1;
}

void SimKeyboard::OnFeature(std::span<const std::uint8_t> report) {
    if (report.size() < 8 || report[0] != kFeatureId) {
        return;
    }
    const std::uint8_t command = report[1];
    if (command == kCmdMacroFirst || command == kCmdMacroNext) {
        OnMacroPacket(report);
        return;
    }
    m_lastCommand = command;
    switch (command) {
    case kCmdSlotTable:
        m_nextBlock = 0;
        break;
    case kCmdRemap:
        // 07 FA 01 slot key 01 target 01
        if (report[3] >= 1 && report[3] <= SimKeyboardState::kRemapSlots) {
            m_state.remap_slots[report[3] - 1] = {report[4], report[6]};
            m_state.slot_table[kRemapTableOffset + report[3]] = report[4];
        }
        break;
    case kCmdLight:
        std::copy_n(report.begin() + 2, 6, m_state.light.begin());
        ++m_state.light_writes_wired;
        break;
    case kCmdFactoryReset:
        if (report[2] == kResetMagic) {
            FactoryReset();
        }
        break;
    case kCmdMusic:
        // 07 23 45 67 89 e k v
        if (report[2] == 0x45 && report[3] == 0x67 && report[4] == 0x89) {
            m_state.music_effect = report[5];
            m_state.music_colour = report[6];
            m_state.music_level = report[7];
            ++m_state.music_reports;
        }
        break;
    case kCmdColourSet:
        if (report[2] == 0xFF) {
            std::copy_n(report.begin() + 3, 5, m_state.custom_colour_set.begin());
        }
        break;
    default:
        break; // unknown commands are ignored, as by the firmware
    }
}

void SimKeyboard::OnMacroPacket(std::span<const std::uint8_t> report) {
    if (report[1] == kCmdMacroFirst) {
        m_image.fill(0);
        m_nextImagePacket = 0;
    } else if (m_nextImagePacket <= 0) {
        return; // a continuation without a first packet
    }
    std::copy_n(report.begin() + 2, kImageBytesPerPacket,
                m_image.begin() + m_nextImagePacket * kImageBytesPerPacket);
    if (++m_nextImagePacket < kImagePackets) {
        return;
    }
    m_nextImagePacket = -1;
    // A complete image: M[0] = 1, M[1] = slot, M[2] = key, M[3] = play count.
    const int slot = m_image[1];
    if (m_image[0] != 1 || slot < 1 || slot > SimKeyboardState::kMacroSlots) {
        return;
    }
    m_state.macro_images[slot - 1] = m_image;
    m_state.slot_table[slot] = m_image[2];
}

int SimKeyboard::AnswerFeature(std::span<std::uint8_t> report) {
    const int length = static_cast<int>(std::min<std::size_t>(report.size(), 8));
    report[0] = kFeatureId;
    if (m_lastCommand == kCmdSlotTable) {
        const int block = m_nextBlock;
        m_nextBlock = (m_nextBlock + 1) % 4;
        for (int i = 0; i < kBlockBytes && i + 1 < length; ++i) {
            report[1 + i] = m_state.slot_table[block * kBlockBytes + i];
        }
    } else if (m_lastCommand == kCmdFirmware && length >= 3) {
        report[1] = static_cast<std::uint8_t>(m_firmwareVersion >> 8);
        report[2] = static_cast<std::uint8_t>(m_firmwareVersion & 0xFF);
    }
    return length;
}

void SimKeyboard::OnWrite(SimRole role, std::span<const std::uint8_t> report) {
    if (report.size() < 65 || report[0] != 0x00) {
        return;
    }
    if (role == SimRole::Aux) {
        OnAuxReport(report);
        return;
    }
    if (role != SimRole::Main) {
        return;
    }
    if (std::equal(kPayloadHeader.begin(), kPayloadHeader.end(), report.begin() + 1)) {
        OnPayload(report.subspan(1, 64));
        return;
    }
    OnFamilyAReport(report);
}

void SimKeyboard::OnPayload(std::span<const std::uint8_t> payload) {
    const bool reset_first = std::all_of(payload.begin() + 4, payload.begin() + 10,
                                         [](std::uint8_t b) { return b == kResetMagic; });
    const bool reset_second = std::all_of(payload.begin() + 4, payload.begin() + 11,
                                          [](std::uint8_t b) { return b == 0; });
    if (reset_first) {
        m_wirelessResetArmed = true;
        return;
    }
    if (reset_second) {
        if (m_wirelessResetArmed) {
            FactoryReset();
        }
        m_wirelessResetArmed = false;
        return;
    }
    m_wirelessResetArmed = false;
    if (payload[4] == kPayloadLight) {
        std::copy_n(payload.begin() + 5, 6, m_state.light.begin());
        ++m_state.light_writes_wireless;
    }
}

void SimKeyboard::OnFamilyAReport(std::span<const std::uint8_t> report) {
    const std::size_t length = report[2];
    const std::size_t offset = report[3] | (report[4] << 8);
    switch (report[1]) {
    case kASelectMode:
        m_state.a_light_mode = report[3];
        break;
    case kAParameters:
        std::copy_n(report.begin() + 3, 5, m_state.a_light_parameters.begin());
        break;
    case kAKeyTable:
        StoreChunk(m_state.a_key_table, offset, std::min<std::size_t>(length, kAChunkData),
                   report.subspan(5));
        break;
    case kAColours:
        StoreChunk(m_state.a_custom_colours, offset, std::min<std::size_t>(length, kAChunkData),
                   report.subspan(5));
        break;
    case kAMacro: {
        // 8E len offset-low offset-high slot, data
        std::vector<std::uint8_t>& macro = m_state.a_macros[report[5]];
        const std::size_t count = std::min<std::size_t>(length, kAMacroData);
        if (offset + count > SimKeyboardState::kFamilyAMacroBytes) {
            break;
        }
        if (macro.size() < offset + count) {
            macro.resize(offset + count, 0);
        }
        std::copy_n(report.begin() + 6, count, macro.begin() + static_cast<std::ptrdiff_t>(offset));
        break;
    }
    case kALiveStart:
        if (report[2] == 0xF4 && report[3] == 0x01) {
            m_state.a_live_mode = true;
        }
        break;
    case kAReset:
        if (report[2] == 0xFE && report[3] == 0xAA && report[4] == 0xFF) {
            FactoryReset();
        }
        break;
    default:
        break;
    }
}

void SimKeyboard::OnAuxReport(std::span<const std::uint8_t> report) {
    if (report[1] != kALiveChunk) {
        return;
    }
    const std::size_t offset = report[3] | (report[4] << 8);
    StoreChunk(m_state.a_live_colours, offset, std::min<std::size_t>(report[2], kAChunkData),
               report.subspan(5));
}

} // namespace Quillon
