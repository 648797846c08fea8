// The program's folders and files. Every getter recomputes its path on each
// call, because the device name and the current language may change while
// the program runs. Folder paths end with "/". Callable from any thread.
//
//   program folder   the folder of the running executable; holds config.xml,
//                    layouts/, language/, skins/, font/ and driver/
//   data folder      $XDG_DATA_HOME (default ~/.local/share) + "/<device name> Files/"
//   database folder  data folder + "db/"
//   download folder  data folder + "temp/"
#pragma once

#include <string>

namespace Quillon {

std::wstring GetProgramFolder();
std::wstring GetConfigFilePath();
// program folder + "language/<current language>.lan"
std::wstring GetLanguageFilePath();
std::wstring GetLanguageFilePath(int language);
std::wstring GetSkinFolder();
std::wstring GetDataFolder();
std::wstring GetDatabaseFolder();
std::wstring GetDownloadFolder();
// $XDG_CONFIG_HOME (default ~/.config) + "/<device name>/"
std::wstring GetSettingsFolder();

// Creates the folder and every missing parent. True when the folder exists
// afterwards.
bool EnsureDirectory(const std::wstring& path);

// The device name made safe as one path component: "/" and NUL become "_",
// and a name that is empty, "." or ".." gets a leading "_".
std::wstring PathComponentOf(const std::wstring& name);

} // namespace Quillon
