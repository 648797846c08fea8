#include "app/core/UITextIds.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "app/core/AppPaths.h"
#include "app/core/IniFile.h"
#include "app/core/Language.h"
#include "app/core/UIText.h"
#include "toolkit/platform/Utf.h"
#include "tools/testing/TestEnvironment.h"

namespace Quillon {
namespace {

namespace fs = std::filesystem;

constexpr int kShippedLanguages[] = {kLanguageEnglish, kLanguageChinese, kLanguagePortugueseBrazil};

IniFile ShippedFile(int language) {
    // The runtime folder, where the build puts the shipped data files next
    // to the executable, as an installation does.
    const fs::path path = VellumUI::WideToUtf8(GetLanguageFilePath(language));
    auto file = IniFile::Load(path);
    EXPECT_TRUE(file.has_value()) << path;
    return file.value_or(IniFile());
}

// Effect names of the layout file: id, then the text of each language in
// the order English, Chinese, Portuguese.
std::vector<std::vector<std::string>> LightEffectRows() {
    std::ifstream in(QuillonTesting::SourceDir() / "tools/keyboard/light_effects.tsv");
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::getline(in, line); // heading
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream stream(line);
        for (std::string cell; std::getline(stream, cell, '\t');) {
            cells.push_back(cell);
        }
        if (cells.size() >= 4) {
            rows.push_back(cells);
        }
    }
    return rows;
}

TEST(UITextIds, EveryIdHasATextInEveryShippedLanguage) {
    std::vector<int> ids(kFixedUITextIds.begin(), kFixedUITextIds.end());
    for (int id = kTextAreaFirst; id <= kTextAreaLast; ++id) {
        ids.push_back(id);
    }
    for (int id = 1; id <= kShortcutCount; ++id) {
        ids.push_back(kTextShortcutBase + id);
    }
    for (int language : kShippedLanguages) {
        SCOPED_TRACE(language);
        const IniFile file = ShippedFile(language);
        for (int id : ids) {
            const auto text = file.GetValue(kUITextSection, std::to_wstring(id));
            EXPECT_TRUE(text && !text->empty()) << "text " << id << " is missing";
            EXPECT_LE(text.value_or(L"").size(), kUITextMaxLength) << id;
        }
    }
}

TEST(UITextIds, LightEffectNamesMatchTheLayoutTable) {
    const auto rows = LightEffectRows();
    if (rows.empty()) {
        GTEST_SKIP() << "no light effect table in the source tree";
    }
    for (std::size_t column = 0; column < 3; ++column) {
        const IniFile file = ShippedFile(kShippedLanguages[column]);
        for (const auto& row : rows) {
            const int id = std::stoi(row[0]);
            EXPECT_GE(id, kTextLightEffectFirst);
            EXPECT_LE(id, kTextLightEffectLast);
            EXPECT_EQ(file.GetValue(kUITextSection, std::to_wstring(id)).value_or(L""),
                      VellumUI::Utf8ToWide(row[1 + column]))
                << "language " << kShippedLanguages[column] << ", text " << id;
        }
    }
}

TEST(UITextIds, TheWordsOfDefaultNamesAreTheOnesTheNameRulesLookFor) {
    // Generated profile and macro names are recognised across languages by
    // these exact words, so the files must use them.
    const struct {
        int language;
        const wchar_t* profile;
        const wchar_t* macro;
    } cases[] = {
        {kLanguageEnglish, L"Profile", L"Macro"},
        {kLanguageChinese, L"配置方案", L"宏"},
        {kLanguagePortugueseBrazil, L"Perfil", L"Macro"},
    };
    for (const auto& c : cases) {
        const IniFile file = ShippedFile(c.language);
        EXPECT_EQ(file.GetValue(kUITextSection, std::to_wstring(kTextProfileWord)).value_or(L""),
                  c.profile);
        EXPECT_EQ(file.GetValue(kUITextSection, std::to_wstring(kTextMacroWord)).value_or(L""),
                  c.macro);
    }
}

} // namespace
} // namespace Quillon
