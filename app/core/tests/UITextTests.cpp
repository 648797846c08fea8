#include "app/core/UIText.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/core/AppPaths.h"
#include "app/core/AppSettings.h"
#include "app/core/IniFile.h"
#include "app/core/Language.h"
#include "toolkit/platform/Utf.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

namespace fs = std::filesystem;

// Restores the current language after a test that changes it.
class LanguageGuard {
public:
    LanguageGuard() : m_saved(GetCurrentLanguage()) {}
    ~LanguageGuard() { SetCurrentLanguage(m_saved); }

private:
    int m_saved;
};

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

TEST(LoadUITextFrom, MissingFileSectionOrKeyGiveTheEmptyText) {
    QuillonTesting::TempDir dir;
    const fs::path file = dir.WriteFile("1046.lan", "[Other]\n1=x\n[KB.DIALOG]\n170=Sair\n");
    EXPECT_EQ(LoadUITextFrom(file, kUITextSection, 170), L"Sair");
    EXPECT_EQ(LoadUITextFrom(file, kUITextSection, 171), L"");
    EXPECT_EQ(LoadUITextFrom(file, L"Missing", 170), L"");
    EXPECT_EQ(LoadUITextFrom(dir.Path() / "3082.lan", kUITextSection, 170), L"");
    EXPECT_EQ(LoadUITextFrom(dir.Path(), kUITextSection, 170), L""); // a folder
}

TEST(LoadUITextFrom, LongTextsAreCutTo259Characters) {
    QuillonTesting::TempDir dir;
    std::wstring longText;
    for (int i = 0; i < 300; ++i) {
        longText.push_back(i % 2 ? L'字' : L'a');
    }
    const fs::path file =
        dir.WriteFile("2052.lan", "[KB.DIALOG]\n1=" + VellumUI::WideToUtf8(longText) + "\n2=" +
                                      VellumUI::WideToUtf8(longText.substr(0, 259)) + "\n");
    EXPECT_EQ(LoadUITextFrom(file, kUITextSection, 1), longText.substr(0, 259));
    EXPECT_EQ(LoadUITextFrom(file, kUITextSection, 2), longText.substr(0, 259));
}

TEST(LoadUITextFrom, AChangedFileIsReadAgain) {
    QuillonTesting::TempDir dir;
    const fs::path file = dir.WriteFile("1033.lan", "[KB.DIALOG]\n5=one\n");
    EXPECT_EQ(LoadUITextFrom(file, kUITextSection, 5), L"one");
    // Same size, written in place: the modification time tells.
    Write(file, "[KB.DIALOG]\n5=two\n");
    EXPECT_EQ(LoadUITextFrom(file, kUITextSection, 5), L"two");
    // Replaced by another file.
    const fs::path other = dir.WriteFile("new.lan", "[KB.DIALOG]\n5=three\n");
    fs::rename(other, file);
    EXPECT_EQ(LoadUITextFrom(file, kUITextSection, 5), L"three");
    fs::remove(file);
    EXPECT_EQ(LoadUITextFrom(file, kUITextSection, 5), L"");
}

TEST(LoadUIText, FollowsTheCurrentLanguageAtOnce) {
    LanguageGuard guard;
    const auto shipped = [](int language, int id) {
        const auto file = IniFile::Load(VellumUI::WideToUtf8(GetLanguageFilePath(language)));
        return file ? file->GetValue(kUITextSection, std::to_wstring(id)).value_or(L"") : L"";
    };
    SetCurrentLanguage(kLanguagePortugueseBrazil);
    const std::wstring portuguese = LoadUIText(kUITextSection, 170);
    EXPECT_FALSE(portuguese.empty());
    EXPECT_EQ(portuguese, shipped(kLanguagePortugueseBrazil, 170));
    SetCurrentLanguage(kLanguageChinese);
    EXPECT_EQ(LoadUIText(170), shipped(kLanguageChinese, 170));
    EXPECT_NE(LoadUIText(170), portuguese);
    SetCurrentLanguage(3082); // no Spanish file ships
    EXPECT_EQ(LoadUIText(170), L"");
    SetCurrentLanguage(kLanguagePortugueseBrazil);
    EXPECT_EQ(LoadUIText(170), portuguese);
}

TEST(Language, LocaleNamesMapToLanguageIds) {
    const struct {
        const char* locale;
        int language;
    } cases[] = {
        {"en_US.UTF-8", 1033}, {"en_GB", 1033},      {"C", 1033},
        {"POSIX", 1033},       {"", 1033},           {"zh_CN.UTF-8", 2052},
        {"zh_TW.UTF-8", 1028}, {"zh", 2052},         {"pt_BR.UTF-8", 1046},
        {"pt_PT", 2070},       {"de_DE@euro", 1031}, {"es_ES.UTF-8", 3082},
        {"xx_YY", 1033},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LanguageFromLocale(c.locale), c.language) << c.locale;
    }
}

TEST(Language, SystemLanguageTakesTheFirstSetVariable) {
    QuillonTesting::ScopedEnv env;
    env.Set("LC_ALL", "");
    env.Set("LC_MESSAGES", "pt_BR.UTF-8");
    env.Set("LANG", "zh_CN.UTF-8");
    EXPECT_EQ(GetSystemUILanguage(), 1046);
    env.Set("LC_ALL", "de_DE.UTF-8");
    EXPECT_EQ(GetSystemUILanguage(), 1031);
    env.Unset("LC_ALL");
    env.Unset("LC_MESSAGES");
    EXPECT_EQ(GetSystemUILanguage(), 2052);
    env.Unset("LANG");
    EXPECT_EQ(GetSystemUILanguage(), 1033);
}

TEST(Language, FirstRunChoosesAndStoresTheLanguage) {
    const struct {
        const char* locale;
        int language; // used now and stored for the next start
    } cases[] = {
        {"en_US.UTF-8", 1033},
        {"zh_CN.UTF-8", 2052},
        {"pt_BR.UTF-8", 1046},
        {"de_DE.UTF-8", 2052}, // no German texts ship
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        LanguageGuard guard;
        QuillonTesting::TempHome home;
        QuillonTesting::ScopedEnv env;
        env.Unset("LC_ALL");
        env.Unset("LC_MESSAGES");
        env.Set("LANG", c.locale);
        SetCurrentLanguage(0);
        EXPECT_EQ(SettleLanguage(), c.language);
        EXPECT_EQ(GetCurrentLanguage(), c.language);
        EXPECT_EQ(ReadLanguageSetting(), c.language);
        // The next start takes the stored value, whatever the locale says.
        env.Set("LANG", "en_US.UTF-8");
        SetCurrentLanguage(0);
        EXPECT_EQ(SettleLanguage(), c.language);
    }
}

} // namespace
} // namespace Quillon
