#include "app/device/KeyboardDef.h"

#include <gtest/gtest.h>

#include <string>

#include "app/device/tests/KeyboardDefFakeHost.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

using KeyboardDefTesting::FakeHost;
using View = KeyboardDefHost::KeyboardView;

const char* const kConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
  <device.info>
    <keyboard name="Alpha" device_type="201" device_info="Alpha">
      <mode value="0" desc="cable" vid="37F1" pid="0x4A01" product_name="Alpha Wired" hid_interface="0003:37F1:4A01"/>
      <mode value="2" desc="bt" vid="37f1" pid="4A03" hid_interface="0005:37F1:4A03"/>
    </keyboard>
    <keyboard name="Alpha Twin" device_type="201" device_info="Twin"/>
    <keyboard name="Beta" device_type="12" device_info="Beta">
      <mode value="1" vid="1234" pid="5678"/>
    </keyboard>
  </device.info>
  <software name="Quillon" version="1.2.3">
    <website url="https://w.example/"/>
    <store url="https://s.example/"/>
    <upgrade url="https://u.example/"/>
    <copyright info="(c) Q &amp; Co"/>
  </software>
</config>
)";

const char* const kLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<device.info>
  <menu macro="1" light_mode="0"/>
  <function sleep_time="5"/>
  <firmware version="105" file="fw.bin" url="https://f.example/"/>
  <light rgb_keyboard="1" default_mode="3" default_brightness="4" default_speed="2" brightness_max="5" speed_max="6">
    <info name="1400" mode="1" attribute="71"/>
    <info name="1401" mode="2" attribute="512"/>
  </light>
  <Keyboard xpos="10" ypos="20" width="300" height="100" image="alpha.png" row_count="6" col_count="21">
    <KeyItems>
      <key code="1E" name="1" desc="one" key_index="17" light_index="18" icon="x.png" row_col="3,7" rect="10#20#30#40"/>
      <key code="0x1F" name="2" desc="two" key_index="5" light_index="6" row_col="3,17" rect="1#1#1#1"/>
      <key code="0x1E" name="1b" desc="again" key_index="99" light_index="98" row_col="37" rect="0#0#1#1"/>
      <key code="E8" name="media" row_col="7,31"/>
      <key code="0x20" name="no place"/>
    </KeyItems>
  </Keyboard>
</device.info>
)";

// A second layout with only keys: every other element is absent.
const char* const kKeysOnly = R"(<device.info>
  <Keyboard image="twin.png"><KeyItems><key code="4" row_col="0,0"/></KeyItems></Keyboard>
</device.info>)";

class KeyboardDefTest : public testing::Test {
protected:
    void Write(const std::string& relative, const std::string& content) {
        m_dir.WriteFile(relative, content);
    }
    int PlacedKeys() const {
        int placed = 0;
        for (const auto& row : def.key_matrix)
            for (std::uint8_t cell : row)
                placed += cell != KeyboardDef::kNoKey;
        return placed;
    }

    QuillonTesting::TempDir m_dir;
    FakeHost host{m_dir.Path()};
    KeyboardDef def;
};

TEST_F(KeyboardDefTest, ConfigFillsListsRulesAndSoftwareLinks) {
    Write("config.xml", kConfig);
    Write("layouts/Alpha.xml", kLayout);
    def.LoadDeviceConfig(host);

    ASSERT_EQ(def.keyboard_list.size(), 3u);
    EXPECT_EQ(def.keyboard_list[0].name, L"Alpha");
    EXPECT_EQ(def.keyboard_list[0].device_type, 201);
    EXPECT_EQ(def.keyboard_list[0].device_info, L"Alpha");
    EXPECT_EQ(def.keyboard_list[0].vid, 0);
    EXPECT_EQ(def.keyboard_list[2].device_type, 12);

    ASSERT_EQ(def.mode_list.size(), 3u);
    const DeviceRecord& wired = def.mode_list[0];
    EXPECT_EQ(wired.name, L"Alpha Wired");
    EXPECT_EQ(wired.device_type, 201);
    EXPECT_EQ(wired.device_info, L"Alpha");
    EXPECT_EQ(wired.mode, 0);
    EXPECT_EQ(wired.vid, 0x37F1);
    EXPECT_EQ(wired.pid, 0x4A01);
    EXPECT_EQ(wired.desc, L"cable");
    EXPECT_EQ(wired.hid_interface, L"0003:37F1:4A01");
    EXPECT_EQ(wired.present, 0);
    // Without product_name the rule matches on vid and pid alone.
    EXPECT_EQ(def.mode_list[1].name, L"");
    EXPECT_EQ(def.mode_list[1].mode, 2);
    EXPECT_EQ(def.mode_list[2].desc, L"");
    EXPECT_EQ(def.mode_list[2].device_type, 12);

    EXPECT_EQ(
        host.Calls(L"AddDevice"),
        (std::vector<std::wstring>{L"AddDevice Alpha 0 0 201 0", L"AddDevice Alpha Twin 0 0 201 0",
                                   L"AddDevice Beta 0 0 12 0"}));
    EXPECT_EQ(
        host.Calls(L"AddHidRule"),
        (std::vector<std::wstring>{L"AddHidRule 14321 18945 201 0 [Alpha Wired] 0003:37F1:4A01",
                                   L"AddHidRule 14321 18947 201 2 [] 0005:37F1:4A03",
                                   L"AddHidRule 4660 22136 12 1 [] "}));

    EXPECT_EQ(def.software_version, L"1.2.3");
    EXPECT_EQ(def.website_url, L"https://w.example/");
    EXPECT_EQ(def.store_url, L"https://s.example/");
    EXPECT_EQ(def.upgrade_url, L"https://u.example/");
    EXPECT_EQ(def.copyright_info, L"(c) Q & Co");
    EXPECT_EQ(host.Calls(L"SetVersionText"),
              std::vector<std::wstring>{L"SetVersionText Ver: 1.2.3"});
    EXPECT_EQ(host.Calls(L"SetCopyrightText"),
              std::vector<std::wstring>{L"SetCopyrightText (c) Q & Co"});

    // Then the layout of device type 201, and notifications last.
    EXPECT_EQ(def.current_device_type, 201);
    EXPECT_EQ(def.keyboard_name, L"Alpha");
    EXPECT_EQ(host.Calls(L"OpenDatabase"), std::vector<std::wstring>{L"OpenDatabase [Alpha]"});
    EXPECT_FALSE(host.keys.empty());
    EXPECT_EQ(host.calls.back(), L"RegisterDeviceNotifications");
}

TEST_F(KeyboardDefTest, FirstKeyboardOfADeviceTypeWins) {
    Write("config.xml", kConfig);
    Write("layouts/Alpha.xml", kLayout);
    Write("layouts/Twin.xml", kKeysOnly);
    def.LoadDeviceConfig(host);
    EXPECT_EQ(def.keyboard_name, L"Alpha");
    EXPECT_EQ(host.Calls(L"SetKeyboardImage keys"),
              std::vector<std::wstring>{L"SetKeyboardImage keys keyboard\\alpha.png"});
}

TEST_F(KeyboardDefTest, MissingOrMalformedConfigLeavesTheDefaults) {
    Write("layouts/Alpha.xml", kLayout);
    const std::vector<std::wstring> expected = {L"CloseDatabase", L"OpenDatabase []",
                                                L"RegisterDeviceNotifications"};
    def.LoadDeviceConfig(host);
    EXPECT_EQ(host.calls, expected);

    // An unclosed keyboard element makes the whole file unusable.
    Write("config.xml", "<config><device.info><keyboard name='A' device_type='201' "
                        "device_info='Alpha'></device.info><software version='9'/></config>");
    FakeHost second(m_dir.Path());
    KeyboardDef other;
    other.LoadDeviceConfig(second);
    EXPECT_EQ(second.calls, expected);
    for (const KeyboardDef* d : {&def, &other}) {
        EXPECT_TRUE(d->keyboard_list.empty());
        EXPECT_TRUE(d->mode_list.empty());
        EXPECT_EQ(d->software_version, L"");
        EXPECT_EQ(d->current_device_type, 201);
        EXPECT_EQ(d->keyboard_name, L"");
        EXPECT_EQ(d->page_flags, KeyboardDef::kAllPages);
        EXPECT_TRUE(d->light_modes.empty());
        EXPECT_EQ(d->key_matrix[0][0], 0);
    }
}

TEST_F(KeyboardDefTest, ConfigElementsOutOfOrderAreNotFound) {
    Write("config.xml", R"(<config>
  <software version="2.0"><copyright info="c"/><website url="w"/><store url="s"/></software>
  <device.info><keyboard name="K" device_type="201" device_info="K"/></device.info>
</config>)");
    def.LoadDeviceConfig(host);
    EXPECT_EQ(def.keyboard_list.size(), 1u);
    EXPECT_EQ(def.software_version, L""); // software came before device.info
    EXPECT_TRUE(host.Calls(L"SetVersionText").empty());

    Write("config.xml", R"(<config><software version="2.0">
  <copyright info="c"/><website url="w"/><store url="s"/><upgrade url="u"/></software></config>)");
    KeyboardDef other;
    other.LoadDeviceConfig(host);
    EXPECT_EQ(other.software_version, L"2.0");
    EXPECT_EQ(other.website_url, L"w");
    EXPECT_EQ(other.store_url, L"s");
    EXPECT_EQ(other.upgrade_url, L"u");
    EXPECT_EQ(other.copyright_info, L""); // copyright came before website
}

TEST_F(KeyboardDefTest, LayoutFillsPagesLightModesTablesAndViews) {
    Write("config.xml", kConfig);
    Write("layouts/Alpha.xml", kLayout);
    host.profile = 3;
    def.LoadDeviceConfig(host);

    EXPECT_EQ(def.page_flags, 0x43u);
    EXPECT_EQ(host.Calls(L"SetTabVisible"),
              (std::vector<std::wstring>{L"SetTabVisible 1 1", L"SetTabVisible 2 1",
                                         L"SetTabVisible 3 0", L"SetTabVisible 7 1"}));
    EXPECT_EQ(def.firmware_version, L"105");
    EXPECT_EQ(def.firmware_file, L"fw.bin");
    EXPECT_EQ(def.firmware_url, L"https://f.example/");
    EXPECT_EQ(host.Calls(L"SetFirmwareUpdateVisible"),
              std::vector<std::wstring>{L"SetFirmwareUpdateVisible 1"});

    EXPECT_TRUE(def.rgb_keyboard);
    EXPECT_EQ(def.default_mode, 3);
    EXPECT_EQ(def.default_brightness, 4);
    EXPECT_EQ(def.default_speed, 2);
    EXPECT_EQ(host.Calls(L"SetBrightnessMax"), std::vector<std::wstring>{L"SetBrightnessMax 5"});
    EXPECT_EQ(host.Calls(L"SetSpeedMax"), std::vector<std::wstring>{L"SetSpeedMax 6"});
    ASSERT_EQ(def.light_modes.size(), 2u);
    const LightInfo& first = def.light_modes[0];
    EXPECT_EQ(first.light_id, 0);
    EXPECT_EQ(first.profile, 3);
    EXPECT_EQ(first.name, L"1400");
    EXPECT_EQ(first.mode, 1);
    EXPECT_EQ(first.brightness, 4);
    EXPECT_EQ(first.speed, 2);
    EXPECT_EQ(first.direction, 0);
    EXPECT_EQ(first.colorful, 1);
    EXPECT_EQ(first.colorindex, 0);
    EXPECT_EQ(first.color_value, 255);
    EXPECT_EQ(first.config_func, 71);
    EXPECT_EQ(first.reserved, 0);
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(def.light_modes[1].config_func, 512);

    // Only the views of enabled pages: light_mode 0 leaves the light view alone.
    EXPECT_EQ(host.Calls(L"ClearItem"),
              (std::vector<std::wstring>{L"ClearItem keys", L"ClearItem tab7"}));
    EXPECT_EQ(host.Calls(L"SetRect"), (std::vector<std::wstring>{L"SetRect keys 10 20 310 120",
                                                                 L"SetRect tab7 10 20 310 120"}));
    EXPECT_EQ(host.Calls(L"SetWidthAndHeight keys"),
              std::vector<std::wstring>{L"SetWidthAndHeight keys 300 100"});
    EXPECT_EQ(def.row_count, 6);
    EXPECT_EQ(def.column_count, 21);
}

TEST_F(KeyboardDefTest, KeysFillTablesMatrixAndViews) {
    Write("config.xml", kConfig);
    Write("layouts/Alpha.xml", kLayout);
    def.LoadDeviceConfig(host);

    // "1E" and "0x1E" are the same key code; the later key replaces the earlier.
    EXPECT_EQ(def.key_index_table,
              (std::map<int, int>{{0x1E, 99}, {0x1F, 5}, {0xE8, 0}, {0x20, 0}}));
    EXPECT_EQ(def.light_index_table,
              (std::map<int, int>{{0x1E, 98}, {0x1F, 6}, {0xE8, 0}, {0x20, 0}}));
    EXPECT_EQ(def.key_matrix[3][7], 0x1E);
    EXPECT_EQ(def.key_matrix[3][17], 0x1F);
    EXPECT_EQ(def.key_matrix[7][31], 0xE8);
    EXPECT_EQ(PlacedKeys(), 3); // "37" is column 37, outside; no row_col places nothing

    // Every key reaches the views, placed or not, without its icon.
    std::vector<FakeHost::Key> keys = host.KeysOf(View::Keys);
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(host.KeysOf(View::Tab7).size(), 5u);
    EXPECT_TRUE(host.KeysOf(View::Light).empty());
    EXPECT_EQ(keys[0].name, L"1");
    EXPECT_EQ(keys[0].desc, L"one");
    EXPECT_EQ(keys[0].code, 0x1E);
    EXPECT_EQ(keys[0].rect, (KeyRect{10, 20, 40, 60}));
    EXPECT_EQ(keys[0].icon, L"");
    EXPECT_EQ(keys[2].name, L"1b");
    EXPECT_EQ(keys[4].rect, (KeyRect{}));
}

TEST_F(KeyboardDefTest, ReloadKeepsAbsentSectionsAndClearsKeys) {
    Write("config.xml", kConfig);
    Write("layouts/Alpha.xml", kLayout);
    Write("layouts/Beta.xml", kKeysOnly);
    def.LoadDeviceConfig(host);
    host.calls.clear();
    host.keys.clear();

    def.LoadKeyboardLayout(host, 12);
    EXPECT_EQ(def.current_device_type, 12);
    EXPECT_EQ(def.keyboard_name, L"Beta");
    EXPECT_EQ(host.calls.front(), L"CloseDatabase");
    EXPECT_EQ(host.calls[1], L"OpenDatabase [Beta]");
    // No menu, firmware or light element: those keep the previous values,
    // except the firmware URL, which every load clears first.
    EXPECT_EQ(def.page_flags, 0x43u);
    EXPECT_EQ(def.firmware_version, L"105");
    EXPECT_EQ(def.firmware_url, L"");
    EXPECT_TRUE(def.rgb_keyboard);
    EXPECT_EQ(def.light_modes.size(), 2u);
    EXPECT_TRUE(host.Calls(L"SetTabVisible").empty());
    // The key tables hold only the new layout's keys.
    EXPECT_EQ(def.key_index_table, (std::map<int, int>{{4, 0}}));
    EXPECT_EQ(def.key_matrix[0][0], 4);
    EXPECT_EQ(def.key_matrix[3][7], KeyboardDef::kNoKey);
    EXPECT_EQ(PlacedKeys(), 1);
    EXPECT_EQ(host.KeysOf(View::Keys).size(), 1u);
}

TEST_F(KeyboardDefTest, FreshLayoutWithoutMenuShowsEveryView) {
    Write("config.xml", R"(<config><device.info>
  <keyboard name="K" device_type="201" device_info="K"/></device.info></config>)");
    Write("layouts/K.xml", kKeysOnly);
    def.LoadDeviceConfig(host);
    EXPECT_EQ(def.page_flags, KeyboardDef::kAllPages);
    EXPECT_EQ(host.Calls(L"ClearItem").size(), 3u);
    EXPECT_EQ(host.keys.size(), 3u);
}

TEST_F(KeyboardDefTest, LayoutElementsAreFoundInDocumentOrderOnly) {
    Write("config.xml", R"(<config><device.info>
  <keyboard name="K" device_type="201" device_info="K"/></device.info></config>)");
    // firmware before menu, Keyboard before light: neither firmware nor the
    // keys are read.
    Write("layouts/K.xml", R"(<device.info>
  <firmware version="1" file="f"/>
  <menu macro="0" light_mode="1"/>
  <Keyboard image="k.png"><KeyItems><key code="4" row_col="0,0"/></KeyItems></Keyboard>
  <light rgb_keyboard="0" default_speed="7"><info name="n" mode="9"/></light>
</device.info>)");
    def.LoadDeviceConfig(host);
    EXPECT_EQ(def.page_flags, 0x45u);
    EXPECT_EQ(def.firmware_version, L"");
    EXPECT_TRUE(host.Calls(L"SetFirmwareUpdateVisible").empty());
    EXPECT_EQ(def.default_speed, 7);
    ASSERT_EQ(def.light_modes.size(), 1u);
    EXPECT_EQ(def.light_modes[0].mode, 9);
    EXPECT_TRUE(def.key_index_table.empty());
    EXPECT_EQ(PlacedKeys(), 0);
    EXPECT_TRUE(host.keys.empty());
    EXPECT_TRUE(host.Calls(L"SetRect").empty());
}

TEST_F(KeyboardDefTest, UnusableLayoutChangesNothing) {
    Write("config.xml", kConfig);
    Write("layouts/Alpha.xml", kLayout);
    def.LoadDeviceConfig(host);
    const auto tables = def.key_index_table;

    struct Case {
        const char* label;
        const char* layout; // nullptr: no file
    };
    const Case cases[] = {
        {"missing file", nullptr},
        {"malformed", "<device.info><menu macro='1'><Keyboard></device.info>"},
        {"other root", "<layout><menu macro='0' light_mode='0'/></layout>"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(m_dir.Path() / "layouts/Beta.xml");
        if (c.layout)
            Write("layouts/Beta.xml", c.layout);
        host.calls.clear();
        def.LoadKeyboardLayout(host, 12);
        EXPECT_EQ(host.calls, (std::vector<std::wstring>{L"CloseDatabase", L"OpenDatabase [Beta]"}))
            << c.label;
        EXPECT_EQ(def.key_index_table, tables) << c.label;
        EXPECT_EQ(def.page_flags, 0x43u) << c.label;
    }

    // An unknown device type opens the database of the empty name.
    host.calls.clear();
    def.LoadKeyboardLayout(host, 999);
    EXPECT_EQ(def.current_device_type, 999);
    EXPECT_EQ(def.keyboard_name, L"");
    EXPECT_EQ(host.calls, (std::vector<std::wstring>{L"CloseDatabase", L"OpenDatabase []"}));
}

TEST_F(KeyboardDefTest, LayoutNameOutsideAsciiLoads) {
    Write("config.xml", "<config><device.info><keyboard name=\"K\" device_type=\"201\" "
                        "device_info=\"Tastatur-\xC3\xBC\"/></device.info></config>");
    Write("layouts/Tastatur-\xC3\xBC.xml", kKeysOnly);
    def.LoadDeviceConfig(host);
    EXPECT_EQ(def.key_index_table, (std::map<int, int>{{4, 0}}));
}

TEST_F(KeyboardDefTest, LayoutNameCannotLeaveTheLayoutsFolder) {
    Write("config.xml", R"(<config><device.info>
  <keyboard name="K" device_type="201" device_info="../evil"/></device.info></config>)");
    Write("evil.xml", kLayout);
    def.LoadDeviceConfig(host);
    EXPECT_EQ(def.keyboard_name, L"K");
    EXPECT_TRUE(host.keys.empty());
    EXPECT_EQ(def.page_flags, KeyboardDef::kAllPages);
}

} // namespace
} // namespace Quillon
