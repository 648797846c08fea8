#include "app/core/AppConfig.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/core/AppPaths.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/Utf.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

TEST(AppConfig, DeviceNameComesFromTheSoftwareElement) {
    QuillonTesting::TempDir dir;
    const struct {
        const char* what;
        const char* text; // nullptr: no file at all
        bool read;
        const wchar_t* name; // the device name afterwards
    } cases[] = {
        {"no file", nullptr, false, L"before"},
        {"not xml", "this is not xml", false, L"before"},
        {"no software element", "<config><device.info/></config>", false, L"before"},
        {"software outside config", "<other><software name=\"X\"/></other>", false, L"before"},
        {"named",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config><device.info>"
         "<keyboard name=\"Q400\"/></device.info><software name=\"Corvane &amp; Co 键盘\" "
         "version=\"1.0.3\"><website url=\"http://x\"/></software></config>",
         true, L"Corvane & Co 键盘"},
        {"empty name", "<config><software name=\"\"/></config>", true, L""},
        {"no name attribute", "<config><software/></config>", true, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VellumUI::Manager::SetDeviceName(L"before");
        const auto path = c.text ? dir.WriteFile("config.xml", c.text) : dir.Path() / "none.xml";
        EXPECT_EQ(LoadDeviceName(path), c.read);
        EXPECT_EQ(VellumUI::Manager::GetDeviceName(), c.name);
    }
}

TEST(AppConfig, AWidePathOutsideAsciiIsRead) {
    QuillonTesting::TempDir dir;
    const auto folder = dir.Path() / "Programas Corvane 键盘";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "config.xml") << "<config><software name=\"Q\"/></config>";
    VellumUI::Manager::SetDeviceName(L"before");
    EXPECT_TRUE(LoadDeviceName(VellumUI::Utf8ToWide((folder / "config.xml").string())));
    EXPECT_EQ(VellumUI::Manager::GetDeviceName(), L"Q");
}

TEST(AppConfig, TheShippedConfigNamesTheInstallation) {
    const std::filesystem::path path = VellumUI::WideToUtf8(GetConfigFilePath());
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "config.xml is not in the runtime folder yet";
    }
    VellumUI::Manager::SetDeviceName(L"");
    EXPECT_TRUE(LoadDeviceName(path));
    EXPECT_FALSE(VellumUI::Manager::GetDeviceName().empty());
}

} // namespace
} // namespace Quillon
