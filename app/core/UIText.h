// Looking up user-visible texts by number in the language file of the
// current language (program folder + "language/<id>.lan", section
// "KB.DIALOG", key = the id in decimal). Callable from any thread: the file
// is read again whenever the language or the file itself has changed, so a
// lookup never answers from a stale copy.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace Quillon {

inline constexpr const wchar_t* kUITextSection = L"KB.DIALOG";
// Texts are cut to this many characters, as the lookup always has.
inline constexpr std::size_t kUITextMaxLength = 259;

// The text, or the empty text when the file, the section or the key is
// missing. No other language is tried.
std::wstring LoadUIText(std::wstring_view section, int id);
inline std::wstring LoadUIText(int id) {
    return LoadUIText(kUITextSection, id);
}
// The same lookup in a given file.
std::wstring LoadUITextFrom(const std::filesystem::path& path, std::wstring_view section, int id);

} // namespace Quillon
