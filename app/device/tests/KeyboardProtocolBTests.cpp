// Family B reports of the Q400 (device type 201): the bytes sent, their
// pauses, and the state the simulated keyboard ends up in.
#include <gtest/gtest.h>

#include <limits>
#include <thread>

#include "app/device/tests/ProtocolRig.h"

namespace Quillon {
namespace {

using Testing::Hex;
using Testing::ProtocolRig;

constexpr int kVkA = 65;
constexpr int kVkF1 = 112;
constexpr int kKeyQ = 0x14;
constexpr int kKeyW = 0x1A;

std::vector<int> Repeat(int value, int count) {
    return std::vector<int>(static_cast<std::size_t>(count), value);
}

TEST(FamilyBMacroSlot, MacroImageGoesOutInTwentyEightPackets) {
    ProtocolRig rig;
    rig.Connect(0);
    const int macro = rig.AddMacro(2, {{2, kVkA, 10},
                                       {1, 0, 500}, // a pause step: not sent
                                       {3, kVkA, 250},
                                       {2, kVkF1, 2000},
                                       {3, kVkF1, 5}});
    rig.protocol.WriteMacroSlot(kKeyQ, 3, 3, macro);

    const auto packets = rig.SentHex(SimTransferKind::SetFeature);
    ASSERT_EQ(packets.size(), 28u);
    EXPECT_EQ(packets[0], "07 f1 01 03 14 02 04 01");
    EXPECT_EQ(packets[1], "07 00 04 99 3a 34 3a 81");
    for (std::size_t i = 2; i < packets.size(); ++i) {
        EXPECT_EQ(packets[i], "07 00 00 00 00 00 00 00") << "packet " << i;
    }
    EXPECT_EQ(rig.clock.Pauses(), Repeat(16, 28));

    const SimKeyboardState state = rig.keyboard->State();
    EXPECT_EQ(state.slot_table[3], kKeyQ);
    EXPECT_EQ(Hex({state.macro_images[2].begin(), state.macro_images[2].end()}, 12),
              "01 03 14 02 04 01 04 99 3a 34 3a 81");
}

TEST(FamilyBMacroSlot, ShortcutAndEmptyImages) {
    struct Case {
        int type;
        int value;
        std::string first;
        std::string second;
    };
    const Case cases[] = {
        // Alt, Space, X down; X, Space, Alt up.
        {7, 13, "07 f1 01 05 14 01 e2 01", "07 00 2c 01 1b 01 1b 81"},
        {7, 1, "07 f1 01 05 14 01 e0 01", "07 00 04 01 04 81 e0 81"},
        {7, 99, "07 f1 01 05 14 01 00 00", "07 00 00 00 00 00 00 00"},   // unknown id
        {0, 0, "07 f1 01 05 00 00 00 00", "07 00 00 00 00 00 00 00"},    // empties the slot
        {3, 4242, "07 f1 01 05 00 00 00 00", "07 00 00 00 00 00 00 00"}, // no such macro
    };
    for (const Case& c : cases) {
        ProtocolRig rig;
        rig.Connect(0);
        rig.protocol.WriteMacroSlot(kKeyQ, 5, c.type, c.value);
        const auto packets = rig.SentHex(SimTransferKind::SetFeature);
        ASSERT_EQ(packets.size(), 28u);
        EXPECT_EQ(packets[0], c.first) << c.type << "/" << c.value;
        EXPECT_EQ(packets[1], c.second) << c.type << "/" << c.value;
        EXPECT_EQ(rig.keyboard->State().slot_table[5], c.type == 7 ? kKeyQ : 0);
    }
}

TEST(FamilyBMacroSlot, LongMacroIsCutAtTheImageEnd) {
    ProtocolRig rig;
    rig.Connect(0);
    std::vector<ProtocolRig::Step> steps;
    for (int i = 0; i < 200; ++i) {
        steps.push_back({i % 2 == 0 ? 2 : 3, kVkA, 20});
    }
    const int macro = rig.AddMacro(1, steps);
    const auto image = rig.protocol.BuildMacroSlotImage(kKeyQ, 1, 3, macro);
    ASSERT_EQ(image.size(), 168u);
    EXPECT_EQ(image[164], 0x04); // the 81st pair, a press
    EXPECT_EQ(image[165], 0x02);
    EXPECT_EQ(image[166], 0x04); // the 82nd and last pair, a release
    EXPECT_EQ(image[167], 0x82);
}

TEST(FamilyBMacroSlot, LostPacketIsNotResentAndTheRestFollows) {
    ProtocolRig rig;
    rig.Connect(0);
    rig.keyboard->InjectFault(SimTransferKind::SetFeature, SimFault::Error, 4, 1);
    rig.protocol.WriteMacroSlot(kKeyQ, 2, 7, 1);
    EXPECT_EQ(rig.Sent(SimTransferKind::SetFeature).size(), 28u);
    // The keyboard never got a whole image, so the slot stays free.
    EXPECT_EQ(rig.keyboard->State().slot_table[2], 0);
}

// A clock whose pauses are short real sleeps, so that other threads get to
// run in between.
class YieldingClock final : public Clock {
public:
    void SleepMs(int) override { std::this_thread::sleep_for(std::chrono::microseconds(300)); }
    std::int64_t NowUs() const override { return SystemClock().NowUs(); }
};

TEST(FamilyBMacroSlot, MusicLevelsFromAnotherThreadDoNotSplitAnImage) {
    ProtocolRig rig;
    rig.Connect(0);
    YieldingClock clock;
    rig.manager.SetClock(clock);
    std::atomic<bool> stop{false};
    std::thread capture([&] {
        while (!stop) {
            rig.protocol.SendMusicLevel({});
            std::this_thread::yield();
        }
    });
    for (int slot = 1; slot <= 3; ++slot) {
        rig.protocol.WriteMacroSlot(kKeyQ, slot, 7, 2);
    }
    stop = true;
    capture.join();
    rig.manager.SetClock(rig.clock);

    int in_image = 0; // packets of the current image seen so far
    for (const SimTransfer& transfer : rig.Sent(SimTransferKind::SetFeature)) {
        const bool music = transfer.bytes[1] == 0x23;
        if (transfer.bytes[1] == 0xF1) {
            EXPECT_EQ(in_image, 0);
            in_image = 1;
        } else if (!music) {
            ++in_image;
        }
        EXPECT_FALSE(music && in_image != 0) << "music level inside an image";
        if (in_image == 28) {
            in_image = 0;
        }
    }
    for (int slot = 1; slot <= 3; ++slot) {
        EXPECT_EQ(rig.keyboard->State().slot_table[slot], kKeyQ) << slot;
    }
}

TEST(FamilyBRemapSlot, WhatEachAssignmentSends) {
    struct Case {
        const char* name;
        int type; // -1: no row
        int value;
        std::vector<std::string> sent;
        int target;
    };
    const Case cases[] = {
        {"no row", -1, 0, {"07 fa 01 04 00 01 00 01"}, 0},
        {"value 0", 2, 0, {"07 fa 01 04 00 01 00 01"}, 0},
        {"key code", 2, 0x05, {"07 fa 01 04 1a 01 05 01"}, 0x05},
        {"key", 1, 0x2C, {"07 fa 01 04 1a 01 2c 01"}, 0x2C},
        {"other kind", 9, 0x1105, {"07 fa 01 04 1a 01 05 01"}, 0x05},
        {"macro", 3, 7, {}, 0},
        {"shortcut", 7, 2, {}, 0},
    };
    for (const Case& c : cases) {
        ProtocolRig rig;
        rig.Connect(0);
        if (c.type >= 0) {
            rig.Assign(kKeyW, c.type, c.value);
        }
        rig.protocol.WriteRemapSlot(kKeyW, 4);
        EXPECT_EQ(rig.SentHex(SimTransferKind::SetFeature), c.sent) << c.name;
        EXPECT_EQ(rig.clock.Pauses(), Repeat(16, static_cast<int>(c.sent.size()))) << c.name;
        EXPECT_EQ(rig.keyboard->State().remap_slots[3].target, c.target) << c.name;
    }
}

TEST(FamilyBKeyAssignments, FullRewriteClearsUsedSlotsThenWritesTheProfile) {
    ProtocolRig rig;
    rig.Connect(0);
    // The keyboard still holds a macro in slot 2 and a remap in slot 1.
    rig.manager.SendFeature({7, 0xFA, 1, 1, 0x30, 1, 0x31, 1});
    rig.protocol.WriteMacroSlot(0x33, 2, 7, 3);
    rig.keyboard->ClearTransfers();
    rig.clock.ClearPauses();

    const int macro = rig.AddMacro(1, {{2, kVkA, 10}, {3, kVkA, 10}});
    rig.Assign(kKeyQ, 3, macro);
    rig.Assign(kKeyW, 2, 0x05);
    rig.Assign(0x08, 0, 0); // default: skipped
    rig.Assign(0x09, 7, 4);
    rig.Assign(0x0A, 2, 0x06, 2); // another profile
    rig.protocol.WriteKeyAssignments();

    const auto features = rig.SentHex(SimTransferKind::SetFeature, 4);
    // Slot table query, clear macro 2, clear remap 1, macro 1, remap 1, shortcut on macro 2.
    ASSERT_EQ(features.size(), 1u + 28 + 1 + 28 + 1 + 28);
    EXPECT_EQ(features[0], "07 fb 01 00");
    EXPECT_EQ(features[1], "07 f1 01 02");
    EXPECT_EQ(features[29], "07 fa 01 01");
    EXPECT_EQ(features[30], "07 f1 01 01");
    EXPECT_EQ(features[58], "07 fa 01 01");
    EXPECT_EQ(features[59], "07 f1 01 02");
    EXPECT_EQ(rig.Sent(SimTransferKind::GetFeature).size(), 4u);

    const SimKeyboardState state = rig.keyboard->State();
    EXPECT_EQ(state.slot_table[1], kKeyQ);
    EXPECT_EQ(state.slot_table[2], 0x09);
    EXPECT_EQ(state.slot_table[14], kKeyW);
    EXPECT_EQ(state.remap_slots[0].target, 0x05);
    EXPECT_EQ(Hex({state.macro_images[0].begin(), state.macro_images[0].end()}, 8),
              "01 01 14 01 04 01 04 81");
}

TEST(FamilyBKeyAssignments, StopsAtTheKeyboardsSlotCounts) {
    ProtocolRig rig;
    rig.Connect(0);
    for (int i = 0; i < 15; ++i) {
        rig.Assign(0x04 + i, 7, 1);
    }
    for (int i = 0; i < 12; ++i) {
        rig.Assign(0x1E + i, 2, 0x05);
    }
    rig.protocol.WriteKeyAssignments();
    EXPECT_EQ(rig.Sent(SimTransferKind::SetFeature).size(), 1u + 13 * 28 + 10);
    const SimKeyboardState state = rig.keyboard->State();
    for (int slot = 1; slot <= 13; ++slot) {
        EXPECT_EQ(state.slot_table[slot], 0x04 + slot - 1) << slot;
    }
    EXPECT_EQ(state.slot_table[23], 0x1E + 9);
}

TEST(FamilyBKeyAssignments, GarbageSlotTableDoesNotStopTheRewrite) {
    ProtocolRig rig;
    rig.Connect(0);
    rig.Assign(kKeyW, 2, 0x05);
    rig.keyboard->InjectFault(SimTransferKind::GetFeature, SimFault::Error, 0, 1);
    rig.keyboard->InjectFault(SimTransferKind::GetFeature, SimFault::ShortReply, 0, 3);
    rig.protocol.WriteKeyAssignments();
    EXPECT_EQ(rig.keyboard->State().slot_table[14], kKeyW);
}

TEST(FamilyBLighting, WiredAndWirelessBytes) {
    struct Case {
        const char* name;
        int connection;
        int mode;
        int brightness, speed, direction, colorindex, color, config;
        int option;
        std::string sent;
    };
    const Case cases[] = {
        {"wired", 0, 2, 4, 3, 1, 5, 0xFF, 0x100, 2, "07 f7 01 05 01 02 03 02"},
        {"wired, no option bit", 0, 2, 4, 3, 1, 5, 0xFF, 0x0FF, 2, "07 f7 01 05 01 02 03 00"},
        {"wired, zero speed and brightness", 0, 3, 0, 0, 0, 0, 0, 0, 0, "07 f7 02 00 00 00 00 00"},
        {"wired mode 4", 0, 4, 5, 3, 1, 2, 0x336699, 0x100, 1, "07 f7 03 02 99 66 04 33"},
        {"wired mode 9", 0, 9, 5, 3, 1, 2, 0, 0, 0, "07 f7 08 02 01 03 04 00"},
        {"receiver", 1, 2, 4, 3, 1, 5, 0xFF, 0x100, 2, "00 bb aa 99 88 aa 01 05 01 02 03 02 00"},
        {"bluetooth mode 4", 2, 4, 5, 3, 1, 2, 0x336699, 0x100, 1,
         "00 bb aa 99 88 aa 03 02 99 66 04 33 00"},
        {"receiver mode 9", 1, 9, 5, 3, 1, 2, 0, 0, 0, "00 bb aa 99 88 aa 08 02 01 02 04 00 00"},
    };
    for (const Case& c : cases) {
        ProtocolRig rig;
        rig.Connect(c.connection);
        rig.AddLight(c.mode, c.brightness, c.speed, c.direction, c.colorindex, c.color, c.config);
        rig.host.light_mode = c.mode;
        rig.host.option = c.option;
        rig.protocol.WriteLighting();
        const auto kind = c.connection == 0 ? SimTransferKind::SetFeature : SimTransferKind::Write;
        const auto sent = rig.SentHex(kind, 13);
        ASSERT_EQ(sent.size(), 1u) << c.name;
        EXPECT_EQ(sent[0], c.sent) << c.name;
        const SimKeyboardState state = rig.keyboard->State();
        const std::size_t light_at = c.connection == 0 ? 2 : 6;
        EXPECT_EQ(Hex({state.light.begin(), state.light.end()}), sent[0].substr(light_at * 3, 17))
            << c.name;
        EXPECT_EQ(rig.clock.Pauses(), c.connection == 0 ? Repeat(16, 1) : Repeat(16, 0));
    }
}

TEST(FamilyBLighting, NothingWithoutARowOrAKeyboard) {
    ProtocolRig rig;
    rig.Connect(0);
    rig.host.light_mode = 6;
    rig.protocol.WriteLighting();
    EXPECT_TRUE(rig.keyboard->Transfers().empty());

    rig.AddLight(6, 1, 1, 0, 0, 0, 0);
    rig.manager.CloseAll();
    rig.protocol.WriteLighting();
    EXPECT_TRUE(rig.keyboard->Transfers().empty());
    EXPECT_TRUE(rig.clock.Pauses().empty());
}

TEST(FamilyBFactoryReset, WiredSendsOneReportThenWaits) {
    ProtocolRig rig;
    rig.Connect(0);
    rig.manager.SendFeature({7, 0xFA, 1, 1, 0x30, 1, 0x31, 1});
    rig.keyboard->ClearTransfers();
    rig.protocol.FactoryReset();
    EXPECT_EQ(rig.SentHex(SimTransferKind::SetFeature),
              std::vector<std::string>{"07 f0 aa 00 00 00 00 00"});
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<int>{16, 100}));
    EXPECT_EQ(rig.keyboard->State().factory_resets, 1);
    EXPECT_EQ(rig.keyboard->State().slot_table[14], 0);
    EXPECT_EQ(rig.host.refreshes, 1);
}

TEST(FamilyBFactoryReset, WirelessSendsTwoPayloads1600MillisecondsApart) {
    ProtocolRig rig;
    rig.Connect(1);
    rig.protocol.FactoryReset();
    const auto writes = rig.Sent(SimTransferKind::Write);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(Hex(writes[0].bytes, 12), "00 bb aa 99 88 aa aa aa aa aa aa 00");
    EXPECT_EQ(Hex(writes[1].bytes, 12), "00 bb aa 99 88 00 00 00 00 00 00 00");
    EXPECT_EQ(writes[1].time_us - writes[0].time_us, 1600 * 1000);
    EXPECT_EQ(rig.keyboard->State().factory_resets, 1);
    EXPECT_EQ(rig.host.refreshes, 1);

    // Only the pair resets the keyboard: a lost second payload leaves it be.
    ProtocolRig lost;
    lost.Connect(1);
    lost.keyboard->InjectFault(SimTransferKind::Write, SimFault::Error, 1, 2);
    lost.protocol.FactoryReset();
    EXPECT_EQ(lost.keyboard->State().factory_resets, 0);
    EXPECT_EQ(lost.clock.Pauses(), (std::vector<int>{1600, 32}));
}

TEST(MusicLevel, LevelFromTheTenthSampleFromTheEnd) {
    struct Case {
        const char* name;
        std::vector<std::int16_t> block;
        int slider; // 0: never set
        int level;
    };
    std::vector<std::int16_t> loud(12, 0);
    loud[2] = -12800; // |x| >> 8 = 50
    std::vector<std::int16_t> extreme(10, 0);
    extreme[0] = -32768;
    const Case cases[] = {
        {"default sensitivity", loud, 0, 50},
        {"doubled", loud, 100, 100},
        {"clamped", extreme, 150, 255},
        {"slider far past its range", extreme, std::numeric_limits<int>::max(), 255},
        {"short block", std::vector<std::int16_t>(9, 30000), 50, 0},
        {"empty block", {}, 50, 0},
    };
    for (const Case& c : cases) {
        ProtocolRig rig;
        rig.Connect(0);
        rig.host.view = {{4, 0}, {5, 0x0000FF}};
        if (c.slider != 0) {
            rig.protocol.SetMusicSensitivity(c.slider);
        }
        rig.protocol.SendMusicLevel(c.block);
        char expected[32];
        std::snprintf(expected, sizeof expected, "07 23 45 67 89 01 00 %02x", c.level);
        EXPECT_EQ(rig.SentHex(SimTransferKind::SetFeature), std::vector<std::string>{expected})
            << c.name;
        EXPECT_EQ(rig.keyboard->State().music_level, c.level) << c.name;
        EXPECT_EQ(rig.host.view[1].colour, 0xFFFF00u) << c.name;
        EXPECT_TRUE(rig.clock.Pauses().empty()) << c.name;
    }
}

TEST(MusicLevel, EffectColourAndTheShownCheck) {
    ProtocolRig rig;
    rig.Connect(0);
    rig.protocol.SetMusicEffect(3);
    rig.protocol.SetMusicColour(6);
    rig.protocol.SendMusicLevel({});
    EXPECT_EQ(rig.keyboard->State().music_effect, 3);
    EXPECT_EQ(rig.keyboard->State().music_colour, 6);

    rig.keyboard->ClearTransfers();
    rig.host.music_shown = false;
    rig.protocol.SendMusicLevel(std::vector<std::int16_t>(20, 1000));
    EXPECT_TRUE(rig.keyboard->Transfers().empty());
}

} // namespace
} // namespace Quillon
