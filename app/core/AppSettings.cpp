#include "app/core/AppSettings.h"

#include <climits>
#include <optional>
#include <system_error>

#include "app/core/AppPaths.h"
#include "app/core/IniFile.h"
#include "app/core/Language.h"
#include "toolkit/platform/Utf.h"

namespace Quillon {

namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kSettingsSection = L"Settings";

enum class StoreState { Opened, Created, Failed };

// Opens the store, creating an empty one when it does not exist yet, as the
// settings key is opened or created.
StoreState OpenOrCreate(std::optional<IniFile>& store) {
    const fs::path path = GetSettingsFilePath();
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        fs::create_directories(path.parent_path(), error);
        return WriteFileAtomically(path, "") ? StoreState::Created : StoreState::Failed;
    }
    if (status.type() != fs::file_type::regular) {
        return StoreState::Failed;
    }
    store = IniFile::Load(path);
    return store ? StoreState::Opened : StoreState::Failed;
}

int ReadValue(const std::wstring& name, int failure) {
    std::optional<IniFile> store;
    switch (OpenOrCreate(store)) {
    case StoreState::Created:
        return 0;
    case StoreState::Failed:
        return failure;
    case StoreState::Opened:
        break;
    }
    const auto value = store->GetValue(kSettingsSection, name);
    return value ? DecimalValue(*value) : 0;
}

void WriteValue(const std::wstring& name, const std::wstring& text) {
    const fs::path path = GetSettingsFilePath();
    std::error_code error;
    // Writing never creates the store: only a read does.
    if (!fs::is_regular_file(path, error)) {
        return;
    }
    std::optional<IniFile> store = IniFile::Load(path);
    if (!store) {
        return;
    }
    store->SetValue(kSettingsSection, name, text);
    WriteFileAtomically(path, store->ToUtf8());
}

} // namespace

fs::path GetSettingsFilePath() {
    return fs::path(VellumUI::WideToUtf8(GetSettingsFolder())) / "settings.ini";
}

int DecimalValue(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    value = negative ? -value : value;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

int ReadLanguageSetting() {
    return ReadValue(kSettingLanguage, kLanguageEnglish);
}

void WriteLanguageSetting(int language) {
    WriteValue(kSettingLanguage, std::to_wstring(language));
}

int ReadAppSetting(const std::wstring& name) {
    return ReadValue(name, 0);
}

void WriteAppSetting(const std::wstring& name, const std::wstring& text) {
    WriteValue(name, text);
}

} // namespace Quillon
