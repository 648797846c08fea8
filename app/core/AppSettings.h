// The two per-user settings, kept in $XDG_CONFIG_HOME/<device name>/
// settings.ini. The file plays the part of a registry key: reading creates it
// when it is missing, writing never creates it, and values are decimal
// texts. Failures are silent and read as the defaults. Written from the UI
// thread only; reads may come from any thread.
#pragma once

#include <filesystem>
#include <string>

namespace Quillon {

inline constexpr const wchar_t* kSettingLanguage = L"LCID";
inline constexpr const wchar_t* kSettingExitMode = L"exit_mode";

// What the close button does ("exit_mode").
inline constexpr int kExitModeAsk = 0;
inline constexpr int kExitModeHide = 1;
inline constexpr int kExitModeExit = 2;

std::filesystem::path GetSettingsFilePath();

// "LCID": 0 on the first run (the store is created then) and when the value
// is missing or not a number; 1033 when the store cannot be opened or made.
int ReadLanguageSetting();
void WriteLanguageSetting(int language);
// Any value as a number; 0 on every failure.
int ReadAppSetting(const std::wstring& name);
void WriteAppSetting(const std::wstring& name, const std::wstring& text);

// The leading decimal number of a text ("12ab" is 12, "x" is 0), as the
// settings have always been read; out-of-range numbers are clamped.
int DecimalValue(const std::wstring& text);

} // namespace Quillon
