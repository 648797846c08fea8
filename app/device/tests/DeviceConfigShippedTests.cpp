// The config.xml that ships with the program describes the Q400 and its three
// connection modes.
#include <gtest/gtest.h>

#include "app/device/KeyboardDef.h"
#include "app/device/tests/KeyboardDefFakeHost.h"
#include "app/xml/XmlDocument.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

TEST(DeviceConfigShippedTest, DescribesTheQ400AndItsModes) {
    KeyboardDefTesting::FakeHost host(QuillonTesting::SourceDir() / "data");
    KeyboardDef def;
    def.LoadDeviceConfig(host);

    ASSERT_EQ(def.keyboard_list.size(), 1u);
    EXPECT_EQ(def.keyboard_list[0].name, L"Q400-RGB PT");
    EXPECT_EQ(def.keyboard_list[0].device_type, 201);
    EXPECT_EQ(def.keyboard_list[0].device_info, L"Q400");
    EXPECT_EQ(def.keyboard_name, L"Q400-RGB PT");

    struct Mode {
        int mode;
        int pid;
        const wchar_t* hid_interface;
    };
    const Mode modes[] = {
        {0, 0x4A01, L"0003:37F1:4A01"},
        {1, 0x4A02, L"0003:37F1:4A02"},
        {2, 0x4A03, L"0005:37F1:4A03"},
    };
    ASSERT_EQ(def.mode_list.size(), std::size(modes));
    for (std::size_t i = 0; i < std::size(modes); ++i) {
        const DeviceRecord& r = def.mode_list[i];
        EXPECT_EQ(r.mode, modes[i].mode);
        EXPECT_EQ(r.device_type, 201);
        EXPECT_EQ(r.vid, 0x37F1);
        EXPECT_EQ(r.pid, modes[i].pid);
        EXPECT_EQ(r.hid_interface, modes[i].hid_interface);
        // Only an empty product name matches: the enumeration reads none.
        EXPECT_EQ(r.name, L"");
        EXPECT_FALSE(r.desc.empty());
    }

    EXPECT_EQ(def.software_version, L"1.0.0.1");
    EXPECT_TRUE(def.website_url.starts_with(L"https://quillon.example/"));
    EXPECT_TRUE(def.store_url.starts_with(L"https://quillon.example/"));
    EXPECT_TRUE(def.upgrade_url.starts_with(L"https://quillon.example/"));
    EXPECT_FALSE(def.copyright_info.empty());
}

TEST(DeviceConfigShippedTest, NamesTheInstallationQuillon) {
    XmlDocument doc;
    ASSERT_TRUE(doc.Load(QuillonTesting::SourceDir() / "data" / "config.xml"));
    ASSERT_TRUE(doc.FindElement(L"config"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"software"));
    EXPECT_EQ(doc.GetAttribute(L"name"), L"Quillon");
}

// With the shipped layout in place, the start-up load fills the key tables.
TEST(DeviceConfigShippedTest, LoadsTheShippedLayout) {
    auto folder = QuillonTesting::SourceDir() / "data";
    if (!std::filesystem::exists(folder / "layouts" / "Q400.xml"))
        GTEST_SKIP() << "no Q400 layout in data/layouts";
    KeyboardDefTesting::FakeHost host(folder);
    KeyboardDef def;
    def.LoadDeviceConfig(host);
    EXPECT_FALSE(def.key_index_table.empty());
    EXPECT_FALSE(def.light_modes.empty());
    EXPECT_GT(def.row_count, 0);
    EXPECT_LE(def.row_count, KeyboardDef::kMatrixRows);
    EXPECT_GT(def.column_count, 0);
    EXPECT_LE(def.column_count, KeyboardDef::kMatrixColumns);
    EXPECT_FALSE(host.keys.empty());
}

} // namespace
} // namespace Quillon
