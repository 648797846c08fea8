#include "sim/SimDriverCommands.h"

#include <array>
#include <cstdio>
#include <string>

namespace Quillon {

namespace {

// The light profile: every light row belongs to profile 1.
constexpr int kLightProfile = 1;
// The colour the driver gives the single colour mode: orange, 0x00BBGGRR.
constexpr int kDriverColour = 0x0080FF;
// The key the driver remaps and what it becomes: Caps Lock to Left Ctrl
// (HID usage codes, as the layout names its keys).
constexpr int kRemapKey = 0x39;
constexpr int kRemapTarget = 0xE0;

std::string HexByte(int value) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", value & 0xFF);
    return hex;
}

template <std::size_t N> std::string Hex(const std::array<std::uint8_t, N>& bytes) {
    std::string text;
    for (std::uint8_t byte : bytes) {
        text += (text.empty() ? "" : " ") + HexByte(byte);
    }
    return text;
}

// Gives the light profile one record per light mode of the layout and
// selects the layout's default mode, when it has no record yet.
void EnsureLightRecords(DriverContext& context) {
    if (context.database.CountLights(kLightProfile) > 0) {
        return;
    }
    for (LightInfo light : context.definition.light_modes) {
        light.profile = kLightProfile;
        context.database.AddLight(light);
    }
    context.database.SetActiveLight(kLightProfile, context.definition.default_mode);
}

// Writes the selected light record and compares the keyboard's light
// settings with it: mode - 1 first, then the colour for the single colour
// mode or the brightness slider value - 1 otherwise.
bool WriteSelectedLight(DriverContext& context) {
    const int mode = context.database.GetActiveLightMode(kLightProfile);
    LightInfo light;
    if (!context.database.GetLight(kLightProfile, mode, light)) {
        context.out << "light record: none selected\n";
        return false;
    }
    context.window.light_mode = mode;
    context.protocol.WriteLighting();
    const auto seen = context.keyboard.State().light;
    context.out << "light record: mode " << mode << ", brightness " << light.brightness
                << ", speed " << light.speed << "; keyboard light settings " << Hex(seen) << '\n';
    if (seen[0] != static_cast<std::uint8_t>(mode - 1)) {
        return false;
    }
    if (mode == KeyboardProtocol::kSingleColourMode) {
        return seen[2] == (light.color_value & 0xFF) &&
               seen[3] == ((light.color_value >> 8) & 0xFF) &&
               seen[5] == ((light.color_value >> 16) & 0xFF);
    }
    return seen[4] == static_cast<std::uint8_t>(light.brightness > 0 ? light.brightness - 1 : 0);
}

// A colour of its own for every key code up to 0xFF, so a key that lands on
// another key's light index shows the wrong colour: red is the code, green
// its complement, blue marks the key lit.
int ColourOfKey(int key_code) {
    return (key_code & 0xFF) | ((~key_code & 0xFF) << 8) | (0x40 << 16);
}

} // namespace

bool RunLightCommands(DriverContext& context) {
    EnsureLightRecords(context);
    bool good = WriteSelectedLight(context);
    LightInfo single;
    if (!context.database.GetLight(kLightProfile, KeyboardProtocol::kSingleColourMode, single)) {
        context.out << "light record: the layout has no single colour mode\n";
        return false;
    }
    single.color_value = kDriverColour;
    context.database.UpdateLight(kLightProfile, single.mode, single);
    context.database.SetActiveLight(kLightProfile, single.mode);
    return WriteSelectedLight(context) && good;
}

bool RunKeyColourCommand(DriverContext& context) {
    std::vector<KeyLightInfo> rows;
    for (const auto& entry : context.definition.light_index_table) {
        KeyLightInfo row;
        row.profile = kLightProfile;
        row.light_id = kCustomKeyLightMode;
        row.key_code = entry.first;
        row.key_rgb = ColourOfKey(entry.first);
        rows.push_back(row);
    }
    context.database.DeleteKeyLights();
    context.database.SaveKeyLights(rows);
    context.protocol.WriteCustomKeyColours();

    const auto colours = context.keyboard.State().a_custom_colours;
    std::size_t shown = 0;
    for (const auto& [code, index] : context.definition.light_index_table) {
        const std::size_t at = 4 * static_cast<std::size_t>(index);
        const int rgb = ColourOfKey(code);
        shown += at + 3 < colours.size() && colours[at] == (rgb & 0xFF) &&
                 colours[at + 1] == ((rgb >> 8) & 0xFF) &&
                 colours[at + 2] == ((rgb >> 16) & 0xFF) && colours[at + 3] == 0xFF;
    }
    context.out << "per-key colours: " << rows.size() << " keys stored, " << shown
                << " shown at their light index\n";
    return !rows.empty() && shown == rows.size();
}

bool RunRemapCommand(DriverContext& context) {
    if (context.definition.key_index_table.count(kRemapKey) == 0) {
        context.out << "key assignment: the layout has no Caps Lock\n";
        return false;
    }
    KeyMacroInfo row;
    row.profile = context.window.GetCurrentProfile();
    row.fn_layer = context.window.GetCurrentLayer();
    row.key_code = kRemapKey;
    row.macro_type = KeyboardProtocol::kTypeKey;
    row.macro_value = kRemapTarget;
    context.database.SaveKeyAssignment(row);
    context.protocol.WriteKeyAssignments();

    const SimRemapSlot slot = context.keyboard.State().remap_slots[0];
    context.out << "key assignment: key " << HexByte(kRemapKey) << " -> " << HexByte(kRemapTarget)
                << "; keyboard remap slot 1: " << HexByte(slot.key) << " -> "
                << HexByte(slot.target) << '\n';
    return slot.key == kRemapKey && slot.target == kRemapTarget;
}

} // namespace Quillon
