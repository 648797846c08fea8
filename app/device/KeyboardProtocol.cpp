#include "app/device/KeyboardProtocol.h"

#include <algorithm>
#include <cstdlib>

#include "app/device/KeyCodes.h"

namespace Quillon {

namespace {

// Device type ranges of the two families.
constexpr int kFamilyALast = 200;
constexpr int kFamilyBLast = 299;

// 07 FF FF m b s 00 o: custom colour set selection.
constexpr std::uint8_t kColourSetCommand = 0xFF;
// 07 23 45 67 89 e k v: live music level.
constexpr std::uint8_t kMusicCommand = 0x23;
constexpr std::array<std::uint8_t, 3> kMusicMagic{0x45, 0x67, 0x89};
// The sample of a block that gives the level, counted from its end.
constexpr std::size_t kMusicSampleFromEnd = 10;
constexpr int kMusicLevelMax = 255;
constexpr double kSensitivityScale = 50.0; // slider value 50 = sensitivity 1.0
// Colour every key shows while music levels are sent.
constexpr std::uint32_t kMusicKeyColour = 0xFFFF00;

// Family A colour uploads.
constexpr std::uint8_t kCustomColoursCommand = 0x8B;
constexpr std::size_t kCustomColourBytes = 600;
constexpr int kCustomColourChunks = 8;
constexpr int kCustomColourLastLength = 20; // 7 × 60 + 20 = 440 bytes sent
constexpr int kCustomColourIndexLimit = 150;
constexpr std::uint8_t kLiveStartCommand = 0xF0;
constexpr std::uint8_t kLiveChunkCommand = 0xF1;
constexpr std::size_t kLiveColourBytes = 600;
constexpr int kLiveChunks = 6;
constexpr int kLiveLastLength = 30; // 5 × 60 + 30 = 330 bytes sent
constexpr int kLiveIndexLimit = 200;
constexpr int kChunkData = 60;
constexpr int kColourChunkDelayMs = 1;
// Keys whose colour value is below this are dark: a frame of only dark keys
// is not streamed.
constexpr std::uint32_t kLitColour = 2;

// A chunk report: command, len, offset low and high, then 60 data bytes.
OutputReport ColourChunk(std::uint8_t command, int length, int offset,
                         const std::vector<std::uint8_t>& data) {
    OutputReport report{};
    report[1] = command;
    report[2] = static_cast<std::uint8_t>(length);
    report[3] = static_cast<std::uint8_t>(offset & 0xFF);
    report[4] = static_cast<std::uint8_t>(offset >> 8);
    std::copy_n(data.begin() + offset, kChunkData, report.begin() + 5);
    return report;
}

} // namespace

KeyboardProtocol::KeyboardProtocol(HidDeviceManager& manager, KeyboardDB& database,
                                   const KeyboardDef& definition, ProtocolHost& host)
    : m_manager(manager), m_database(database), m_definition(definition), m_host(host) {}

bool KeyboardProtocol::IsFamilyA() const {
    return m_definition.current_device_type <= kFamilyALast;
}

bool KeyboardProtocol::IsFamilyB() const {
    return m_definition.current_device_type > kFamilyALast &&
           m_definition.current_device_type <= kFamilyBLast;
}

bool KeyboardProtocol::IsWireless() const {
    const int mode = m_host.GetConnectionMode();
    return mode == 1 || mode == 2;
}

Clock& KeyboardProtocol::GetClock() const {
    return m_manager.GetClock();
}

int KeyboardProtocol::TableIndex(const std::map<int, int>& table, int key_code) {
    if (table.empty()) {
        return 0;
    }
    auto found = table.find(key_code);
    return found == table.end() ? -1 : found->second;
}

int KeyboardProtocol::LightOption(const LightInfo& light) const {
    return (light.config_func & kOptionFeature) != 0 ? m_host.GetLightOption() : 0;
}

void KeyboardProtocol::WriteKeyAssignments() {
    if (IsFamilyA()) {
        WriteKeyAssignmentsA();
    } else if (IsFamilyB()) {
        WriteKeyAssignmentsB();
    }
}

void KeyboardProtocol::WriteLighting() {
    if (!IsFamilyA() && !IsFamilyB()) {
        return;
    }
    LightInfo light;
    if (!m_database.GetLight(m_host.GetLightProfile(), m_host.GetCurrentLightMode(), light)) {
        return;
    }
    if (IsFamilyA()) {
        WriteLightingA(light);
    } else {
        WriteLightingB(light);
    }
}

void KeyboardProtocol::FactoryReset() {
    if (IsFamilyA()) {
        FactoryResetA();
    } else if (IsFamilyB()) {
        FactoryResetB();
    } else {
        return;
    }
    m_host.RefreshAfterFactoryReset();
}

void KeyboardProtocol::WriteCustomKeyColours() {
    std::vector<KeyLightInfo> rows;
    m_database.GetKeyLights(kCustomKeyLightMode, rows);
    std::vector<std::uint8_t> colours(kCustomColourBytes, 0);
    for (const KeyLightInfo& row : rows) {
        const int i = TableIndex(m_definition.light_index_table, row.key_code);
        if (i < 0 || i >= kCustomColourIndexLimit) {
            continue;
        }
        colours[4 * i] = LowByte(row.key_rgb);
        colours[4 * i + 1] = LowByte(row.key_rgb >> 8);
        colours[4 * i + 2] = LowByte(row.key_rgb >> 16);
        colours[4 * i + 3] = 0xFF;
    }
    auto sequence = m_manager.LockSequence();
    for (int j = 0; j < kCustomColourChunks; ++j) {
        const int length = j == kCustomColourChunks - 1 ? kCustomColourLastLength : kChunkData;
        GetClock().SleepMs(kColourChunkDelayMs);
        if (!m_manager.WriteReport(
                ColourChunk(kCustomColoursCommand, length, kChunkData * j, colours))) {
            return;
        }
    }
}

void KeyboardProtocol::ApplyCustomColourSet(int colour_set) {
    if (m_definition.current_device_type >= kFamilyALast) {
        return;
    }
    LightInfo light;
    if (!m_database.GetLight(m_host.GetLightProfile(), m_host.GetCurrentLightMode(), light)) {
        return;
    }
    m_manager.SendFeatureDelayed(
        {kFeatureReportId, kColourSetCommand, 0xFF, LowByte(m_host.GetCurrentLightMode() - 1),
         LowByte(light.brightness), LowByte(light.speed), 0x00, LowByte(LightOption(light))});
    std::vector<KeyLightInfo> rows;
    m_database.GetKeyLights(kCustomKeyLightMode + colour_set, rows);
    std::vector<KeyColour> colours;
    for (const KeyLightInfo& row : rows) {
        colours.push_back({row.key_code, static_cast<std::uint32_t>(row.key_rgb)});
    }
    m_host.SetLightViewColours(colours);
}

bool KeyboardProtocol::StreamKeyColours() {
    if (m_definition.current_device_type >= kFamilyALast || m_host.GetConnectionMode() != 0) {
        return false;
    }
    const std::vector<KeyColour> keys = m_host.GetLightViewColours();
    if (std::none_of(keys.begin(), keys.end(),
                     [](const KeyColour& key) { return key.colour >= kLitColour; })) {
        return false;
    }
    std::vector<std::uint8_t> colours(kLiveColourBytes, 0);
    for (const KeyColour& key : keys) {
        const int i = TableIndex(m_definition.light_index_table, key.key_code);
        if (i < 0 || i >= kLiveIndexLimit) {
            continue;
        }
        colours[3 * i] = LowByte(static_cast<int>(key.colour));
        colours[3 * i + 1] = LowByte(static_cast<int>(key.colour >> 8));
        colours[3 * i + 2] = LowByte(static_cast<int>(key.colour >> 16));
    }
    auto sequence = m_manager.LockSequence();
    // The keyboard enters its live colour mode once per run.
    if (!m_liveStartSent.exchange(true)) {
        m_manager.WriteReport({0x00, kLiveStartCommand, 0xF4, 0x01});
    }
    for (int j = 0; j < kLiveChunks; ++j) {
        const int length = j == kLiveChunks - 1 ? kLiveLastLength : kChunkData;
        GetClock().SleepMs(kColourChunkDelayMs);
        if (!m_manager.WriteAuxReport(
                ColourChunk(kLiveChunkCommand, length, kChunkData * j, colours))) {
            return false;
        }
    }
    return true;
}

void KeyboardProtocol::SendMusicLevel(std::span<const std::int16_t> block) {
    if (!m_host.IsMusicLevelShown()) {
        return;
    }
    int level = 0;
    if (block.size() >= kMusicSampleFromEnd) {
        const int sample = block[block.size() - kMusicSampleFromEnd];
        const int amplitude = std::abs(sample) >> 8;
        // Clamped before the conversion: a slider value far past its range
        // must not overflow the int.
        const double scaled = amplitude * m_musicSensitivity.load();
        level = static_cast<int>(std::clamp(scaled, 0.0, static_cast<double>(kMusicLevelMax)));
    }
    m_host.SetLightViewAllKeys(kMusicKeyColour);
    m_manager.SendFeature({kFeatureReportId, kMusicCommand, kMusicMagic[0], kMusicMagic[1],
                           kMusicMagic[2], LowByte(m_musicEffect.load()),
                           LowByte(m_musicColour.load()), LowByte(level)});
}

void KeyboardProtocol::ClearLightModeSelected() {
    m_lightModeSelected = false;
}

bool KeyboardProtocol::IsLightModeSelected() const {
    return m_lightModeSelected;
}

void KeyboardProtocol::SetMusicSensitivity(int slider_value) {
    m_musicSensitivity = slider_value / kSensitivityScale;
}

void KeyboardProtocol::SetMusicEffect(int effect) {
    m_musicEffect = effect;
}

void KeyboardProtocol::SetMusicColour(int colour) {
    m_musicColour = colour;
}

int KeyboardProtocol::GetFamilyAMacroSlot(int key_code) const {
    auto found = m_familyAMacroSlots.find(key_code);
    return found == m_familyAMacroSlots.end() ? -1 : found->second;
}

} // namespace Quillon
