// Key codes of the keyboard protocol: the translation of the virtual-key
// codes stored in macro steps, the timing bytes of macro events in both
// protocol families, and the built-in shortcuts. Pure functions, any thread.
#pragma once

#include <cstdint>
#include <vector>

namespace Quillon {

// Report id of the keyboard's 8-byte feature reports.
inline constexpr std::uint8_t kFeatureReportId = 0x07;

// The low eight bits of a stored value, as the reports carry it.
constexpr std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Key code (HID keyboard usage, or the keyboard's own 0xE8..0xF9 media and
// browser codes) of a Windows virtual-key code; 0 for codes without a key.
int KeyCodeFromVirtualKey(int virtual_key);

// Family B macro timing byte: bit 7 = release, bits 6..5 = unit, bits 4..0 =
// count, for a delay in milliseconds.
std::uint8_t EncodeDelay(bool release, int delay_ms);

// Family A macro event: key code and two delay bytes.
struct FamilyAEvent {
    std::uint8_t key = 0;
    std::uint8_t delay_low = 0;
    std::uint8_t delay_high = 0;
};
FamilyAEvent EncodeFamilyAEvent(int key_code, bool release, int delay_ms);

// The built-in shortcuts 1..15.
inline constexpr int kFirstShortcut = 1;
inline constexpr int kLastShortcut = 15;
// Keys of shortcut `id` in the order they are pressed; empty for an id
// outside 1..15.
std::vector<std::uint8_t> ShortcutKeys(int id);

// One press or release of a shortcut's sequence.
struct ShortcutEvent {
    std::uint8_t key = 0;
    bool release = false;
};
// Presses in order, then releases in reverse order.
std::vector<ShortcutEvent> ShortcutEvents(int id);

} // namespace Quillon
