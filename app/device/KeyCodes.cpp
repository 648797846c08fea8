#include "app/device/KeyCodes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace Quillon {

namespace {

// Virtual-key code -> key code, for the codes outside the ranges handled in
// KeyCodeFromVirtualKey.
constexpr std::pair<int, int> kVirtualKeyTable[] = {
    {48, 39},
    // Enter, Escape, Backspace, Tab, Space
    {13, 40},
    {27, 41},
    {8, 42},
    {9, 43},
    {32, 44},
    // - = [ ] backslash
    {189, 45},
    {187, 46},
    {219, 47},
    {221, 48},
    {220, 49},
    // The program's own code for the non-US hash key.
    {666, 50},
    // ; ' ` , . /
    {186, 51},
    {222, 52},
    {192, 53},
    {188, 54},
    {190, 55},
    {191, 56},
    // Caps Lock
    {20, 57},
    // Print Screen, Scroll Lock, Pause, Insert, Home, Page Up, Delete, End, Page Down
    {44, 70},
    {145, 71},
    {19, 72},
    {45, 73},
    {36, 74},
    {33, 75},
    {46, 76},
    {35, 77},
    {34, 78},
    // Right, Left, Down, Up
    {39, 79},
    {37, 80},
    {40, 81},
    {38, 82},
    // Num Lock, keypad / * - + and the separator key
    {144, 83},
    {111, 84},
    {106, 85},
    {109, 86},
    {107, 87},
    {108, 88},
    // Keypad 0 and decimal point
    {96, 98},
    {110, 99},
    // Non-US backslash, Application
    {226, 100},
    {93, 101},
    // Left Ctrl, Left Shift, Left Alt, Left GUI, Right Ctrl, Right Shift, Right Alt, Right GUI
    {162, 224},
    {160, 225},
    {164, 226},
    {91, 227},
    {163, 228},
    {161, 229},
    {165, 230},
    {92, 231},
    {254, 175},
    // Codes the keyboard takes unchanged.
    {136, 136},
    {137, 137},
    {138, 138},
    {139, 139},
    // Volume mute, down, up
    {173, 235},
    {174, 233},
    {175, 234},
    // Next track, previous track, stop, play/pause
    {176, 239},
    {177, 237},
    {178, 236},
    {179, 238},
    // Browser back, forward, refresh, stop, search, favourites, home
    {166, 243},
    {167, 244},
    {168, 246},
    {169, 245},
    {170, 247},
    {171, 248},
    {172, 241},
    // Mail, media select, launch application 1 and 2
    {180, 240},
    {181, 232},
    {182, 249},
    {183, 242},
};

// Usage ids of the keys the shortcuts use.
constexpr std::uint8_t kLeftCtrl = 0xE0;
constexpr std::uint8_t kLeftAlt = 0xE2;
constexpr std::uint8_t kLeftGui = 0xE3;
constexpr std::uint8_t kTab = 0x2B;
constexpr std::uint8_t kSpace = 0x2C;
constexpr std::uint8_t kF4 = 0x3D;

constexpr std::uint8_t Letter(char letter) {
    return static_cast<std::uint8_t>(0x04 + (letter - 'A'));
}

// Timing units of EncodeDelay (bits 6..5).
constexpr int kUnitTens = 0x00;
constexpr int kUnitFifties = 0x20; // also used, with a count of hundreds, up to 3100 ms
constexpr int kUnitThousands = 0x60;
constexpr int kReleaseBit = 0x80;
constexpr int kLongestDelayMs = 31000;

} // namespace

int KeyCodeFromVirtualKey(int vk) {
    if (vk >= 65 && vk <= 90) { // letters
        return vk - 61;
    }
    if (vk >= 49 && vk <= 57) { // digits 1..9
        return vk - 19;
    }
    if (vk >= 112 && vk <= 123) { // F1..F12
        return vk - 54;
    }
    if (vk >= 124 && vk <= 135) { // F13..F24
        return vk - 20;
    }
    if (vk >= 97 && vk <= 105) { // keypad 1..9
        return vk - 8;
    }
    for (const auto& [from, to] : kVirtualKeyTable) {
        if (from == vk) {
            return to;
        }
    }
    return 0;
}

std::uint8_t EncodeDelay(bool release, int delay_ms) {
    const int d = std::min(delay_ms, kLongestDelayMs);
    int unit = kUnitTens;
    int count = 0;
    if (d < 0) {
        count = 0;
    } else if (d <= 10) {
        count = 1;
    } else if (d <= 310) {
        count = d / 10;
    } else if (d <= 1550) {
        unit = kUnitFifties;
        count = d / 50;
    } else if (d <= 3100) {
        unit = kUnitFifties;
        count = d / 100;
    } else {
        unit = kUnitThousands;
        count = d / 1000;
    }
    int result = (release ? kReleaseBit : 0) | unit | (count & 0x1F);
    if (result == 0 || result == 1) {
        result = 1;
    }
    return static_cast<std::uint8_t>(result);
}

FamilyAEvent EncodeFamilyAEvent(int key_code, bool release, int delay_ms) {
    const auto low = static_cast<std::uint8_t>(delay_ms & 0xFF);
    const auto high = static_cast<std::uint8_t>((delay_ms >> 8) & 0xFF);
    // The flag bit 0x80 marks a press in the high byte, a release in the low one.
    if (release) {
        return {static_cast<std::uint8_t>(key_code), static_cast<std::uint8_t>(low | 0x80),
                static_cast<std::uint8_t>(high & 0x7F)};
    }
    return {static_cast<std::uint8_t>(key_code), low, static_cast<std::uint8_t>(high | 0x80)};
}

std::vector<std::uint8_t> ShortcutKeys(int id) {
    switch (id) {
    case 1: // select all
        return {kLeftCtrl, Letter('A')};
    case 2: // copy
        return {kLeftCtrl, Letter('C')};
    case 3: // cut
        return {kLeftCtrl, Letter('X')};
    case 4: // paste
        return {kLeftCtrl, Letter('V')};
    case 5: // undo
        return {kLeftCtrl, Letter('Z')};
    case 6: // save
        return {kLeftCtrl, Letter('S')};
    case 7: // file manager
        return {kLeftGui, Letter('E')};
    case 8: // lock
        return {kLeftGui, Letter('L')};
    case 9: // desktop
        return {kLeftGui, Letter('D')};
    case 10: // switch window
        return {kLeftAlt, kTab};
    case 11: // minimise all
        return {kLeftGui, Letter('M')};
    case 12: // close tab
        return {kLeftCtrl, Letter('W')};
    case 13: // maximise through the window menu
        return {kLeftAlt, kSpace, Letter('X')};
    case 14: // minimise through the window menu
        return {kLeftAlt, kSpace, Letter('N')};
    case 15: // close window
        return {kLeftAlt, kF4};
    default:
        return {};
    }
}

std::vector<ShortcutEvent> ShortcutEvents(int id) {
    const std::vector<std::uint8_t> keys = ShortcutKeys(id);
    std::vector<ShortcutEvent> events;
    for (std::uint8_t key : keys) {
        events.push_back({key, false});
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        events.push_back({*it, true});
    }
    return events;
}

} // namespace Quillon
