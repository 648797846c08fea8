#include "app/core/AppSettings.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "app/core/AppPaths.h"
#include "app/core/IniFile.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/Utf.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

namespace fs = std::filesystem;

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { VellumUI::Manager::SetDeviceName(L"Corvane Q400"); }
    fs::path Store() const { return m_home.ConfigHome() / "Corvane Q400" / "settings.ini"; }
    void WriteStore(const std::string& bytes) {
        fs::create_directories(Store().parent_path());
        std::ofstream(Store(), std::ios::binary) << bytes;
    }
    std::string ReadStore() const {
        std::ifstream in(Store(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    QuillonTesting::TempHome m_home;
};

TEST_F(AppSettingsTest, FirstReadCreatesTheStoreAndWritesNeedIt) {
    EXPECT_EQ(GetSettingsFilePath(), Store());
    // Writing before any read creates nothing, like writing to a missing key.
    WriteLanguageSetting(1046);
    EXPECT_FALSE(fs::exists(Store()));

    EXPECT_EQ(ReadLanguageSetting(), 0);
    EXPECT_TRUE(fs::exists(Store()));
    EXPECT_EQ(ReadLanguageSetting(), 0); // store there, value not yet

    WriteLanguageSetting(1046);
    WriteAppSetting(kSettingExitMode, L"7");
    EXPECT_EQ(ReadLanguageSetting(), 1046);
    EXPECT_EQ(ReadAppSetting(kSettingExitMode), 7);
    WriteAppSetting(kSettingExitMode, L"1");
    EXPECT_EQ(ReadAppSetting(kSettingExitMode), 1);
    EXPECT_EQ(ReadLanguageSetting(), 1046);
    const IniFile stored(ReadStore());
    EXPECT_EQ(stored.GetValue(L"Settings", L"LCID").value_or(L""), L"1046");
    EXPECT_EQ(stored.GetValue(L"Settings", L"exit_mode").value_or(L""), L"1");
}

TEST_F(AppSettingsTest, ExitModeReadCreatesTheStoreToo) {
    EXPECT_EQ(ReadAppSetting(kSettingExitMode), 0);
    EXPECT_TRUE(fs::exists(Store()));
}

TEST_F(AppSettingsTest, GarbledStoreReadsDefaultsAndTakesNewValues) {
    WriteStore(std::string("\0\xff\xfe[[[=\n\x80LCID\n", 14));
    EXPECT_EQ(ReadLanguageSetting(), 0);
    EXPECT_EQ(ReadAppSetting(kSettingExitMode), 0);
    WriteLanguageSetting(2052);
    EXPECT_EQ(ReadLanguageSetting(), 2052);

    WriteStore("[Settings]\nLCID=abc\nexit_mode= 12xyz\n");
    EXPECT_EQ(ReadLanguageSetting(), 0);
    EXPECT_EQ(ReadAppSetting(kSettingExitMode), 12);
}

TEST_F(AppSettingsTest, UnusableStoreGivesTheFailureDefaults) {
    // A folder where the file should be: the store can be neither opened nor made.
    fs::create_directories(Store());
    EXPECT_EQ(ReadLanguageSetting(), 1033);
    EXPECT_EQ(ReadAppSetting(kSettingExitMode), 0);
    WriteLanguageSetting(2052);
    EXPECT_TRUE(fs::is_directory(Store()));
}

TEST_F(AppSettingsTest, EachDeviceNameHasItsOwnStore) {
    ReadLanguageSetting();
    WriteLanguageSetting(2052);
    VellumUI::Manager::SetDeviceName(L"Other/Keyboard");
    EXPECT_EQ(ReadLanguageSetting(), 0);
    EXPECT_TRUE(fs::exists(m_home.ConfigHome() / "Other_Keyboard" / "settings.ini"));
    VellumUI::Manager::SetDeviceName(L"Corvane Q400");
    EXPECT_EQ(ReadLanguageSetting(), 2052);
}

TEST(DecimalValue, ReadsTheLeadingNumber) {
    const struct {
        const wchar_t* text;
        int value;
    } cases[] = {
        {L"1046", 1046},
        {L"", 0},
        {L"x12", 0},
        {L"12x", 12},
        {L"  -3", -3},
        {L"+7", 7},
        {L"99999999999", 2147483647},
        {L"-99999999999", -2147483647 - 1},
        {L"٣", 0}, // only ASCII digits count
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecimalValue(c.text), c.value) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(AppPaths, FoldersFollowTheXdgVariablesAndTheDeviceName) {
    QuillonTesting::TempHome home;
    VellumUI::Manager::SetDeviceName(L"Corvane 键盘");
    const std::wstring data = VellumUI::Utf8ToWide(home.DataHome().string());
    EXPECT_EQ(GetDataFolder(), data + L"/Corvane 键盘 Files/");
    EXPECT_EQ(GetDatabaseFolder(), data + L"/Corvane 键盘 Files/db/");
    EXPECT_EQ(GetDownloadFolder(), data + L"/Corvane 键盘 Files/temp/");

    QuillonTesting::ScopedEnv env;
    env.Unset("XDG_DATA_HOME");
    env.Set("XDG_CONFIG_HOME", "relative/ignored");
    const std::wstring homeText = VellumUI::Utf8ToWide(home.Home().string());
    EXPECT_EQ(GetDataFolder(), homeText + L"/.local/share/Corvane 键盘 Files/");
    EXPECT_EQ(GetSettingsFolder(), homeText + L"/.config/Corvane 键盘/");

    // Without HOME the account's home is used, never a folder all users share.
    env.Unset("HOME");
    const passwd* account = getpwuid(getuid());
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(GetDataFolder(),
              VellumUI::Utf8ToWide(account->pw_dir) + L"/.local/share/Corvane 键盘 Files/");
}

TEST(AppPaths, ProgramFolderHoldsTheExecutable) {
    const std::wstring folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'/');
    EXPECT_TRUE(fs::exists(fs::path(VellumUI::WideToUtf8(folder)) / "quillon_core_tests"));
    EXPECT_EQ(GetConfigFilePath(), folder + L"config.xml");
    EXPECT_EQ(GetLanguageFilePath(2052), folder + L"language/2052.lan");
    EXPECT_EQ(GetSkinFolder(), folder + L"skins/theme1/");
    // The toolkit's program folder is the one: data files and skins agree.
    VellumUI::Manager::SetProgramFolder(L"/opt/quillon");
    EXPECT_EQ(GetLanguageFilePath(1046), L"/opt/quillon/language/1046.lan");
    EXPECT_EQ(GetSkinFolder(), L"/opt/quillon/skins/theme1/");
    VellumUI::Manager::SetProgramFolder(L"");
    EXPECT_EQ(GetProgramFolder(), folder);
}

TEST(AppPaths, EnsureDirectoryMakesEveryParent) {
    QuillonTesting::TempDir dir;
    const fs::path deep = dir.Path() / "A" / "B" / "C";
    EXPECT_TRUE(EnsureDirectory(VellumUI::Utf8ToWide(deep.string())));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(EnsureDirectory(VellumUI::Utf8ToWide(deep.string() + "/")));
    const fs::path file = dir.WriteFile("plain", "x");
    EXPECT_FALSE(EnsureDirectory(VellumUI::Utf8ToWide((file / "sub").string())));
    EXPECT_FALSE(EnsureDirectory(VellumUI::Utf8ToWide(file.string())));
}

TEST(AppPaths, PathComponents) {
    EXPECT_EQ(PathComponentOf(L"Corvane"), L"Corvane");
    EXPECT_EQ(PathComponentOf(L"a/b"), L"a_b");
    EXPECT_EQ(PathComponentOf(L".."), L"_..");
    EXPECT_EQ(PathComponentOf(L""), L"_");
}

} // namespace
} // namespace Quillon
