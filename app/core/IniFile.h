// A small INI text: "[section]" headers and "key=value" lines, as the
// language files and the per-user settings file use them. Lookups follow
// the classic profile-string rules: section and key names compare without
// regard to ASCII case and surrounding blanks, values lose their surrounding
// blanks and one pair of matching quotes, and the first match wins. Lines
// that are neither (comments, garbage) are kept as they are, so rewriting a
// damaged file changes only the value written. Plain value type; not shared
// between threads.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Quillon {

class IniFile {
public:
    IniFile() = default;
    // Takes UTF-8 text (a byte-order mark is dropped) or UTF-16 LE text
    // with its byte-order mark.
    explicit IniFile(std::string_view bytes);

    // Reads a whole file; nullopt when it cannot be read.
    static std::optional<IniFile> Load(const std::filesystem::path& path);

    std::optional<std::wstring> GetValue(std::wstring_view section, std::wstring_view key) const;
    // Replaces the first matching line or adds one at the end of the
    // section (adding the section when missing). Line breaks in the value
    // become spaces so a value can never add lines of its own.
    void SetValue(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    // The text as UTF-8, one "\n" after every line.
    std::string ToUtf8() const;

private:
    // Index of the first line of the section's body and one past its last
    // line, or nullopt.
    struct Range {
        std::size_t begin;
        std::size_t end;
    };
    std::optional<Range> FindSection(std::wstring_view section) const;

    std::vector<std::wstring> m_lines;
};

// Writes `bytes` to `path` through a temporary file in the same folder and a
// rename, so a reader sees the old file or the new one, never a part.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace Quillon
