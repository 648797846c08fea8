// Virtual-key translation, macro timing bytes and the built-in shortcuts.
#include <gtest/gtest.h>

#include "app/device/KeyCodes.h"

namespace Quillon {
namespace {

TEST(KeyCodes, VirtualKeyTable) {
    const std::pair<int, int> cases[] = {
        {65, 4},    {90, 29},   {49, 30},    {57, 38},   {48, 39},   {13, 40},   {32, 44},
        {189, 45},  {220, 49},  {666, 50},   {186, 51},  {191, 56},  {20, 57},   {112, 58},
        {123, 69},  {124, 104}, {135, 115},  {44, 70},   {34, 78},   {39, 79},   {38, 82},
        {144, 83},  {108, 88},  {97, 89},    {105, 97},  {96, 98},   {110, 99},  {226, 100},
        {93, 101},  {162, 224}, {92, 231},   {254, 175}, {136, 136}, {139, 139}, {173, 235},
        {174, 233}, {175, 234}, {176, 239},  {179, 238}, {166, 243}, {168, 246}, {172, 241},
        {180, 240}, {181, 232}, {182, 249},  {183, 242}, {0, 0},     {1, 0},     {140, 0},
        {255, 0},   {-5, 0},    {100000, 0},
    };
    for (const auto& [vk, key] : cases) {
        EXPECT_EQ(KeyCodeFromVirtualKey(vk), key) << "virtual key " << vk;
    }
}

TEST(KeyCodes, EncodeDelay) {
    struct Case {
        bool release;
        int delay;
        int expected;
    };
    const Case cases[] = {
        {false, 5, 0x01},     {true, 10, 0x81},     {false, 10, 0x01},  {false, 11, 0x01},
        {false, 250, 0x19},   {false, 310, 0x1F},   {false, 311, 0x26}, {false, 1550, 0x3F},
        {false, 1551, 0x2F},  {false, 2000, 0x34},  {true, 3100, 0xBF}, {false, 3101, 0x63},
        {false, 31000, 0x7F}, {false, 40000, 0x7F}, {false, -1, 0x01},  {true, -1, 0x80},
        {false, 0, 0x01},     {true, 0, 0x81},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeDelay(c.release, c.delay), c.expected)
            << (c.release ? "release " : "press ") << c.delay;
    }
}

TEST(KeyCodes, FamilyAEvents) {
    const FamilyAEvent press = EncodeFamilyAEvent(0x04, false, 0x0123);
    EXPECT_EQ(press.key, 0x04);
    EXPECT_EQ(press.delay_low, 0x23);
    EXPECT_EQ(press.delay_high, 0x81);
    const FamilyAEvent release = EncodeFamilyAEvent(0x04, true, 0x0123);
    EXPECT_EQ(release.delay_low, 0xA3);
    EXPECT_EQ(release.delay_high, 0x01);
}

TEST(KeyCodes, ShortcutsPressInOrderAndReleaseInReverse) {
    const auto events = ShortcutEvents(13); // Alt, Space, X
    ASSERT_EQ(events.size(), 6u);
    const std::uint8_t keys[] = {0xE2, 0x2C, 0x1B, 0x1B, 0x2C, 0xE2};
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].key, keys[i]) << i;
        EXPECT_EQ(events[i].release, i >= 3) << i;
    }
    EXPECT_EQ(ShortcutKeys(1), (std::vector<std::uint8_t>{0xE0, 0x04}));
    EXPECT_EQ(ShortcutKeys(10), (std::vector<std::uint8_t>{0xE2, 0x2B}));
    EXPECT_EQ(ShortcutKeys(15), (std::vector<std::uint8_t>{0xE2, 0x3D}));
    for (int id = 1; id <= 15; ++id) {
        EXPECT_FALSE(ShortcutKeys(id).empty()) << id;
    }
    EXPECT_TRUE(ShortcutEvents(0).empty());
    EXPECT_TRUE(ShortcutEvents(16).empty());
}

} // namespace
} // namespace Quillon
