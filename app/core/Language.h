// The process-wide current language (a Windows language id such as 1033,
// 2052 or 1046, the number that names the language file) and the choice of
// the language on the first run. The current language is written at
// start-up and by the configuration page on the UI thread and read by every
// text lookup on any thread; it is an atomic cell, so a lookup always sees
// the value written last.
#pragma once

#include <string_view>

namespace Quillon {

inline constexpr int kLanguageEnglish = 1033;
inline constexpr int kLanguageChinese = 2052;
inline constexpr int kLanguagePortugueseBrazil = 1046;

int GetCurrentLanguage();
void SetCurrentLanguage(int language);

// The language id of a POSIX locale name such as "pt_BR.UTF-8" or
// "zh_CN@pinyin"; "C", "POSIX" and unknown languages give English.
int LanguageFromLocale(std::string_view locale);
// The user's UI language from LC_ALL, LC_MESSAGES or LANG, the first that is
// set and not empty.
int GetSystemUILanguage();

// The language for a user without a stored choice: the user's UI language
// when its texts ship with the program, else English for an English system
// and Chinese for any other.
int ChooseFirstRunLanguage();

// Start-up: takes the stored "LCID" setting as the current language; on the
// first run (no setting yet) picks one from the user's locale and stores it.
// Returns the current language.
int SettleLanguage();

} // namespace Quillon
