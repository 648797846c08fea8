#include "app/core/AppPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/core/Language.h"
#include "toolkit/core/Manager.h"
#include "toolkit/platform/Utf.h"

namespace Quillon {

namespace {

namespace fs = std::filesystem;

std::wstring WithSlash(std::wstring path) {
    if (path.empty() || path.back() != L'/') {
        path.push_back(L'/');
    }
    return path;
}

// The user's home: HOME, else the account's entry. A shared folder such as
// /tmp would let other users plant the settings or the database, so it is
// only the last resort.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    std::vector<char> buffer(16384); // ample for one passwd entry
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return "/tmp";
}

// An XDG base folder: the variable when it holds an absolute path (the
// standard says relative ones are ignored), else the home + the fallback.
std::wstring XdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return WithSlash(VellumUI::Utf8ToWide(value));
    }
    return WithSlash(VellumUI::Utf8ToWide(HomeFolder() + "/" + fallback));
}

} // namespace

std::wstring PathComponentOf(const std::wstring& name) {
    std::wstring safe = name;
    for (wchar_t& c : safe) {
        if (c == L'/' || c == L'\0') {
            c = L'_';
        }
    }
    if (safe.empty() || safe == L"." || safe == L"..") {
        safe.insert(safe.begin(), L'_');
    }
    return safe;
}

std::wstring GetProgramFolder() {
    // The toolkit finds its skins and fonts in the same folder; one source
    // keeps the program's data files and the toolkit's pictures together.
    return WithSlash(VellumUI::Manager::GetProgramFolder());
}

std::wstring GetConfigFilePath() {
    return GetProgramFolder() + L"config.xml";
}

std::wstring GetLanguageFilePath() {
    return GetLanguageFilePath(GetCurrentLanguage());
}

std::wstring GetLanguageFilePath(int language) {
    return GetProgramFolder() + L"language/" + std::to_wstring(language) + L".lan";
}

std::wstring GetSkinFolder() {
    return VellumUI::Manager::NormalizePath(GetProgramFolder() + L"skins/" +
                                            VellumUI::Manager::GetTheme());
}

std::wstring GetDataFolder() {
    // The name keeps its own spelling ("<device name> Files"); only a
    // separator in it is neutralised.
    return XdgFolder("XDG_DATA_HOME", ".local/share") +
           PathComponentOf(VellumUI::Manager::GetDeviceName() + L" Files") + L"/";
}

std::wstring GetDatabaseFolder() {
    return GetDataFolder() + L"db/";
}

std::wstring GetDownloadFolder() {
    return GetDataFolder() + L"temp/";
}

std::wstring GetSettingsFolder() {
    return XdgFolder("XDG_CONFIG_HOME", ".config") +
           PathComponentOf(VellumUI::Manager::GetDeviceName()) + L"/";
}

bool EnsureDirectory(const std::wstring& path) {
    const fs::path folder(VellumUI::WideToUtf8(path));
    std::error_code error;
    if (fs::is_directory(folder, error)) {
        return true;
    }
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error);
}

} // namespace Quillon
