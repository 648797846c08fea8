#include "app/core/Language.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/core/AppPaths.h"
#include "app/core/AppSettings.h"
#include "toolkit/platform/Utf.h"

namespace Quillon {

namespace {

std::atomic<int> g_currentLanguage{kLanguageEnglish};

struct LocaleLanguage {
    std::string_view locale; // language, or language_TERRITORY
    int language;
};

// Windows language ids of the locales a desktop commonly runs with. A
// territory-specific row wins over the bare language.
constexpr std::array<LocaleLanguage, 40> kLocaleLanguages = {{
    {"en", 1033},    {"zh_CN", 2052}, {"zh_SG", 4100}, {"zh_TW", 1028}, {"zh_HK", 3076},
    {"zh_MO", 5124}, {"zh", 2052},    {"pt_BR", 1046}, {"pt_PT", 2070}, {"pt", 2070},
    {"de", 1031},    {"fr", 1036},    {"es", 3082},    {"it", 1040},    {"ja", 1041},
    {"ko", 1042},    {"ru", 1049},    {"nl", 1043},    {"pl", 1045},    {"tr", 1055},
    {"sv", 1053},    {"da", 1030},    {"fi", 1035},    {"nb", 1044},    {"no", 1044},
    {"cs", 1029},    {"hu", 1038},    {"el", 1032},    {"he", 1037},    {"ar", 1025},
    {"th", 1054},    {"vi", 1066},    {"uk", 1058},    {"id", 1057},    {"ro", 1048},
    {"sk", 1051},    {"bg", 1026},    {"hr", 1050},    {"ca", 1027},    {"ms", 1086},
}};

int Lookup(std::string_view locale) {
    for (const LocaleLanguage& row : kLocaleLanguages) {
        if (row.locale == locale) {
            return row.language;
        }
    }
    return 0;
}

bool LanguageFileExists(int language) {
    std::error_code error;
    return std::filesystem::is_regular_file(VellumUI::WideToUtf8(GetLanguageFilePath(language)),
                                            error);
}

} // namespace

int GetCurrentLanguage() {
    return g_currentLanguage.load(std::memory_order_acquire);
}

void SetCurrentLanguage(int language) {
    g_currentLanguage.store(language, std::memory_order_release);
}

int LanguageFromLocale(std::string_view locale) {
    // language[_TERRITORY][.codeset][@modifier]
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::string_view language = locale.substr(0, locale.find('_'));
    if (int id = Lookup(locale); id != 0) {
        return id;
    }
    if (int id = Lookup(language); id != 0) {
        return id;
    }
    return kLanguageEnglish;
}

int GetSystemUILanguage() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return LanguageFromLocale(value);
        }
    }
    return kLanguageEnglish;
}

int ChooseFirstRunLanguage() {
    // A language without a file would leave every text of the window empty,
    // so it is never chosen, not even for the current run.
    const int system = GetSystemUILanguage();
    if (LanguageFileExists(system)) {
        return system;
    }
    return system == kLanguageEnglish ? kLanguageEnglish : kLanguageChinese;
}

int SettleLanguage() {
    const int stored = ReadLanguageSetting();
    if (stored != 0) {
        SetCurrentLanguage(stored);
        return stored;
    }
    const int chosen = ChooseFirstRunLanguage();
    SetCurrentLanguage(chosen);
    WriteLanguageSetting(chosen);
    return chosen;
}

} // namespace Quillon
