// Family A reports (device types up to 200), the per-key colour upload and
// the live colour stream, against the simulated keyboard's family A memory.
#include <gtest/gtest.h>

#include "app/device/tests/ProtocolRig.h"

namespace Quillon {
namespace {

using Testing::Hex;
using Testing::ProtocolRig;

constexpr int kVkA = 65;

struct FamilyARig : ProtocolRig {
    FamilyARig() {
        Connect(0);
        definition.current_device_type = kFamilyAType;
    }
    // Bytes 1..n of each output report written to the vendor interface.
    std::vector<std::string> Reports(std::size_t count) const {
        std::vector<std::string> list;
        for (const SimTransfer& transfer : Sent(SimTransferKind::Write)) {
            if (transfer.role == SimRole::Main) {
                list.push_back(Hex({transfer.bytes.begin() + 1, transfer.bytes.end()}, count));
            }
        }
        return list;
    }
};

TEST(FamilyAKeyAssignments, KeyTableEntriesAndChunks) {
    FamilyARig rig;
    rig.definition.key_index_table = {{0x04, 5}, {0x05, 6}, {0x06, 7}, {0x07, 179}, {0x08, 180}};
    rig.Assign(0x04, 1, 0x33);   // key: 00 20
    rig.Assign(0x05, 2, 0x1129); // key code: low byte, 20
    rig.Assign(0x06, 9, 0x05);   // other kinds are not sent in family A
    rig.Assign(0x07, 1, 1);      // index 179: the last entry
    rig.Assign(0x08, 1, 1);      // index 180: beyond the table
    rig.Assign(0x09, 1, 1);      // not in the layout
    rig.protocol.WriteKeyAssignments();

    const auto reports = rig.Reports(4);
    EXPECT_EQ(reports, (std::vector<std::string>{"8d 3c 00 00", "8d 3c 3c 00", "8d 3c 78 00",
                                                 "8d 28 b4 00"}));
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<int>{20, 10, 10, 10, 10}));
    const SimKeyboardState state = rig.keyboard->State();
    EXPECT_EQ(Hex({state.a_key_table.begin() + 10, state.a_key_table.begin() + 16}),
              "00 20 29 20 00 00");
    // Index 179 lies beyond the 240 bytes the four chunks carry.
    EXPECT_EQ(state.a_key_table[358], 0);
    EXPECT_EQ(std::count(state.a_key_table.begin(), state.a_key_table.end(), 0x20), 2);
}

TEST(FamilyAKeyAssignments, EmptyLayoutTableMapsEveryKeyToIndexZero) {
    FamilyARig rig;
    rig.Assign(0x2C, 2, 0x04);
    rig.protocol.WriteKeyAssignments();
    const SimKeyboardState state = rig.keyboard->State();
    EXPECT_EQ(Hex({state.a_key_table.begin(), state.a_key_table.begin() + 2}), "04 20");
}

TEST(FamilyAMacros, NineteenRecordsGoOutInChunksOf59And1) {
    FamilyARig rig;
    rig.definition.key_index_table = {{0x14, 3}, {0x15, 4}};
    std::vector<ProtocolRig::Step> steps;
    for (int i = 0; i < 19; ++i) {
        steps.push_back({i % 2 == 0 ? 2 : 3, kVkA, 0x0123});
    }
    const int macro = rig.AddMacro(300, steps);
    rig.Assign(0x14, 3, macro);
    rig.Assign(0x15, 7, 1);
    rig.protocol.WriteKeyAssignments();

    const auto reports = rig.Reports(11);
    ASSERT_EQ(reports.size(), 2u + 1 + 4);
    EXPECT_EQ(reports[0], "8e 3b 00 00 00 ff 13 04 23 81 04");
    EXPECT_EQ(reports[1].substr(0, 14), "8e 01 3b 00 00");
    // The shortcut takes the next slot: Ctrl, A down; A, Ctrl up, 100 ms each.
    const auto shortcut = rig.Sent(SimTransferKind::Write)[2].bytes;
    EXPECT_EQ(Hex({shortcut.begin() + 1, shortcut.begin() + 20}),
              "8e 0c 00 00 01 01 04 e0 64 80 04 64 80 04 64 00 e0 64 00");
    EXPECT_EQ(rig.clock.Pauses(), (std::vector<int>{10, 100, 100, 10, 20, 10, 10, 10, 10}));

    const SimKeyboardState state = rig.keyboard->State();
    ASSERT_EQ(state.a_macros.count(0), 1u);
    EXPECT_EQ(state.a_macros.at(0).size(), 60u);
    EXPECT_EQ(Hex(state.a_macros.at(0), 8), "ff 13 04 23 81 04 a3 01");
    EXPECT_EQ(Hex({state.a_key_table.begin() + 6, state.a_key_table.begin() + 10}), "00 40 01 40");
    EXPECT_EQ(rig.protocol.GetFamilyAMacroSlot(0x14), 0);
    EXPECT_EQ(rig.protocol.GetFamilyAMacroSlot(0x15), 1);
}

TEST(FamilyAMacros, MoreThan255RecordsGoOutAsTheFirst255) {
    FamilyARig rig;
    std::vector<ProtocolRig::Step> steps;
    for (int i = 0; i < 300; ++i) {
        steps.push_back({i % 2 == 0 ? 2 : 3, kVkA, 5});
    }
    rig.Assign(0x14, 3, rig.AddMacro(1, steps));
    rig.protocol.WriteKeyAssignments();

    // T = 3 x (255 + 1) = 768 bytes: thirteen chunks of 59 and one of 1.
    const auto reports = rig.Reports(7);
    ASSERT_EQ(reports.size(), 14u + 4);
    EXPECT_EQ(reports[0], "8e 3b 00 00 00 01 ff");
    EXPECT_EQ(reports[13].substr(0, 11), "8e 01 ff 02");
}

TEST(FamilyAMacros, FailedChunkStopsTheUploadButNotTheKeyTable) {
    FamilyARig rig;
    rig.definition.key_index_table = {{0x14, 1}, {0x15, 2}, {0x16, 3}};
    const int first = rig.AddMacro(1, {{2, kVkA, 5}, {3, kVkA, 5}});
    const int second = rig.AddMacro(1, {{2, kVkA, 5}});
    rig.Assign(0x14, 3, first);
    rig.Assign(0x15, 3, second);
    rig.Assign(0x16, 7, 2);
    // The first macro's only chunk fails, retry included.
    rig.keyboard->InjectFault(SimTransferKind::Write, SimFault::Error, 0, 2);
    rig.protocol.WriteKeyAssignments();

    const auto reports = rig.Reports(1);
    EXPECT_EQ(reports, (std::vector<std::string>{"8e", "8e", "8d", "8d", "8d", "8d"}));
    EXPECT_EQ(rig.protocol.GetFamilyAMacroSlot(0x14), -1);
    EXPECT_EQ(rig.protocol.GetFamilyAMacroSlot(0x16), -1);
    const SimKeyboardState state = rig.keyboard->State();
    EXPECT_EQ(std::count(state.a_key_table.begin(), state.a_key_table.end(), 0x40), 0);
}

TEST(FamilyAMacros, UnknownShortcutSendsFourEmptyEvents) {
    FamilyARig rig;
    rig.Assign(0x14, 7, 42);
    rig.protocol.WriteKeyAssignments();
    const auto writes = rig.Sent(SimTransferKind::Write);
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(Hex({writes[0].bytes.begin() + 1, writes[0].bytes.begin() + 21}),
              "8e 0c 00 00 00 01 04 00 00 00 00 00 00 00 00 00 00 00 00 00");
}

TEST(FamilyALighting, SelectsTheModeOnceThenTunesIt) {
    FamilyARig rig;
    rig.AddLight(3, 4, 0x17, 6, 0, 0x336699, 0, 1);
    rig.host.light_mode = 3;
    // f = (direction & 3) << 4 | colourful 0x40 | speed & 0x0F = 0x20 | 0x40 | 0x07.
    rig.protocol.WriteLighting();
    rig.protocol.ClearLightModeSelected();
    rig.protocol.WriteLighting();
    EXPECT_TRUE(rig.protocol.IsLightModeSelected());
    rig.protocol.WriteLighting();
    EXPECT_EQ(rig.Reports(7),
              (std::vector<std::string>{"89 00 67 99 66 33 04", "88 00 03 00 00 00 00",
                                        "89 00 67 99 66 33 04"}));
    const SimKeyboardState state = rig.keyboard->State();
    EXPECT_EQ(state.a_light_mode, 3);
    EXPECT_EQ(Hex({state.a_light_parameters.begin(), state.a_light_parameters.end()}),
              "67 99 66 33 04");
}

TEST(FamilyAFactoryReset, ResetReportThenPause) {
    FamilyARig rig;
    rig.protocol.FactoryReset();
    EXPECT_EQ(rig.Reports(5), std::vector<std::string>{"ff fe aa ff 00"});
    EXPECT_EQ(rig.clock.Pauses(), std::vector<int>{100});
    EXPECT_EQ(rig.keyboard->State().factory_resets, 1);
    EXPECT_EQ(rig.host.refreshes, 1);

    ProtocolRig other; // device type 300: no family
    other.Connect(0);
    other.definition.current_device_type = 300;
    other.protocol.FactoryReset();
    other.protocol.WriteLighting();
    other.protocol.WriteKeyAssignments();
    EXPECT_TRUE(other.keyboard->Transfers().empty());
    EXPECT_EQ(other.host.refreshes, 0);
}

TEST(CustomKeyColours, EightChunksOfTheStoredColours) {
    // Any device type, the Q400 included.
    for (int device_type : {100, 201}) {
        ProtocolRig rig;
        rig.Connect(0);
        rig.definition.current_device_type = device_type;
        rig.definition.light_index_table = {{0x04, 2}, {0x05, 149}, {0x06, 150}};
        rig.database.SaveKeyLights({{0, 1, 128, 0x04, 0x336699},
                                    {0, 1, 128, 0x05, 0x010203},
                                    {0, 1, 128, 0x06, 0x111111},   // index 150: skipped
                                    {0, 1, 128, 0x07, 0x222222},   // not in the layout
                                    {0, 1, 129, 0x04, 0x444444}}); // another set
        rig.protocol.WriteCustomKeyColours();
        const auto writes = rig.Sent(SimTransferKind::Write);
        ASSERT_EQ(writes.size(), 8u);
        EXPECT_EQ(Hex(writes[0].bytes, 5), "00 8b 3c 00 00");
        EXPECT_EQ(Hex(writes[7].bytes, 5), "00 8b 14 a4 01");
        EXPECT_EQ(rig.clock.Pauses(), std::vector<int>(8, 1));
        const SimKeyboardState state = rig.keyboard->State();
        EXPECT_EQ(Hex({state.a_custom_colours.begin() + 8, state.a_custom_colours.begin() + 12}),
                  "99 66 33 ff");
        // Index 149 lies beyond the 440 bytes sent.
        EXPECT_EQ(state.a_custom_colours[596], 0);
        EXPECT_EQ(std::count(state.a_custom_colours.begin(), state.a_custom_colours.end(), 0xFF),
                  1);
    }
}

TEST(CustomKeyColours, StopsAtTheFirstFailedChunk) {
    FamilyARig rig;
    rig.keyboard->InjectFault(SimTransferKind::Write, SimFault::Error, 2, 2);
    rig.protocol.WriteCustomKeyColours();
    EXPECT_EQ(rig.Sent(SimTransferKind::Write).size(), 4u); // 2 good, 1 failed + retry
}

TEST(CustomColourSet, SelectsTheSetAndShowsItsColours) {
    FamilyARig rig;
    rig.AddLight(5, 3, 2, 0, 0, 0, 0x100);
    rig.host.light_mode = 5;
    rig.host.option = 1;
    rig.host.view = {{0x04, 0}, {0x05, 0}};
    rig.database.SaveKeyLights({{0, 1, 130, 0x05, 0x00FF00}});
    rig.protocol.ApplyCustomColourSet(2);
    EXPECT_EQ(rig.SentHex(SimTransferKind::SetFeature),
              std::vector<std::string>{"07 ff ff 04 03 02 00 01"});
    EXPECT_EQ(rig.clock.Pauses(), std::vector<int>{16});
    EXPECT_EQ(rig.host.view[1].colour, 0x00FF00u);
    EXPECT_EQ(rig.host.view[0].colour, 0u);

    ProtocolRig q400; // device type 201: nothing at all
    q400.Connect(0);
    q400.AddLight(5, 3, 2, 0, 0, 0, 0);
    q400.host.light_mode = 5;
    q400.protocol.ApplyCustomColourSet(0);
    EXPECT_TRUE(q400.keyboard->Transfers().empty());
}

TEST(LiveColours, StartReportOncePerRunThenSixAuxChunks) {
    FamilyARig rig;
    rig.definition.light_index_table = {{0x04, 0}, {0x05, 109}, {0x06, 110}, {0x07, 200}};
    rig.host.view = {{0x04, 0x030201}, {0x05, 0x0A0B0C}, {0x06, 0x777777}, {0x07, 0x888888}};
    ASSERT_TRUE(rig.protocol.StreamKeyColours());
    ASSERT_TRUE(rig.protocol.StreamKeyColours());

    const auto writes = rig.Sent(SimTransferKind::Write);
    ASSERT_EQ(writes.size(), 1u + 6 + 6);
    EXPECT_EQ(writes[0].role, SimRole::Main);
    EXPECT_EQ(Hex(writes[0].bytes, 5), "00 f0 f4 01 00");
    EXPECT_EQ(writes[1].role, SimRole::Aux);
    EXPECT_EQ(Hex(writes[1].bytes, 8), "00 f1 3c 00 00 01 02 03");
    EXPECT_EQ(Hex(writes[6].bytes, 5), "00 f1 1e 2c 01");
    EXPECT_EQ(writes[7].role, SimRole::Aux);
    EXPECT_EQ(rig.clock.Pauses(), std::vector<int>(12, 1));

    const SimKeyboardState state = rig.keyboard->State();
    EXPECT_TRUE(state.a_live_mode);
    EXPECT_EQ(Hex({state.a_live_colours.begin() + 327, state.a_live_colours.begin() + 333}),
              "0c 0b 0a 00 00 00"); // index 110 lies beyond the 330 bytes sent
}

TEST(LiveColours, NothingForDarkKeysWirelessOrTheQ400) {
    struct Case {
        const char* name;
        int device_type;
        int connection;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {"dark keys", 100, 0, 1},
        {"wireless", 100, 1, 0xFFFFFF},
        {"family B", 201, 0, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        ProtocolRig rig;
        rig.Connect(c.connection);
        rig.definition.current_device_type = c.device_type;
        rig.host.view = {{0x04, c.colour}, {0x05, 0}};
        EXPECT_FALSE(rig.protocol.StreamKeyColours()) << c.name;
        EXPECT_TRUE(rig.keyboard->Transfers().empty()) << c.name;
    }
}

TEST(LiveColours, StopsWhenTheAuxiliaryInterfaceIsMissing) {
    ProtocolRig rig;
    rig.Connect(2); // Bluetooth: no auxiliary interface
    rig.host.connection_mode = 0;
    rig.definition.current_device_type = 100;
    rig.host.view = {{0x04, 0xFFFFFF}};
    EXPECT_FALSE(rig.protocol.StreamKeyColours());
    EXPECT_EQ(rig.Sent(SimTransferKind::Write).size(), 1u); // the start report only
}

} // namespace
} // namespace Quillon
