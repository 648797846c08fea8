#include "app/core/IniFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "toolkit/platform/Utf.h"

namespace Quillon {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// The name of a "[section]" line, or nullopt for any other line.
std::optional<std::wstring_view> SectionName(std::wstring_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != L'[') {
        return std::nullopt;
    }
    const std::size_t close = line.find(L']');
    if (close == std::wstring_view::npos) {
        return std::nullopt;
    }
    return line.substr(1, close - 1);
}

// Splits "key=value"; comment lines (";" or "#") and lines without "=" have
// no key.
bool SplitKeyValue(std::wstring_view line, std::wstring_view& key, std::wstring_view& value) {
    const std::wstring_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == L';' || trimmed.front() == L'#') {
        return false;
    }
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
        return false;
    }
    key = line.substr(0, equals);
    value = line.substr(equals + 1);
    return true;
}

std::wstring Unquote(std::wstring_view value) {
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::wstring(value);
}

std::wstring DecodeUtf16Le(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const auto low = static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 2]) |
                                                   static_cast<unsigned char>(bytes[i + 3]) << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text.push_back(
                    static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                i += 2;
                continue;
            }
        }
        const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
        text.push_back(surrogate ? L'\xFFFD' : static_cast<wchar_t>(unit));
    }
    return text;
}

} // namespace

IniFile::IniFile(std::string_view bytes) {
    std::wstring text;
    if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
        text = DecodeUtf16Le(bytes.substr(kUtf16LeBom.size()));
    } else {
        if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
            bytes.remove_prefix(kUtf8Bom.size());
        }
        text = VellumUI::Utf8ToWide(bytes);
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') {
            line.pop_back();
        }
        m_lines.push_back(std::move(line));
        start = end + 1;
    }
}

std::optional<IniFile> IniFile::Load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    return IniFile(bytes);
}

std::optional<IniFile::Range> IniFile::FindSection(std::wstring_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = SectionName(m_lines[i]);
        if (!name || !SameName(*name, section)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < m_lines.size() && !SectionName(m_lines[end])) {
            ++end;
        }
        return Range{i + 1, end};
    }
    return std::nullopt;
}

std::optional<std::wstring> IniFile::GetValue(std::wstring_view section,
                                              std::wstring_view key) const {
    const auto range = FindSection(section);
    if (!range) {
        return std::nullopt;
    }
    for (std::size_t i = range->begin; i < range->end; ++i) {
        std::wstring_view name, value;
        if (SplitKeyValue(m_lines[i], name, value) && SameName(name, key)) {
            return Unquote(value);
        }
    }
    return std::nullopt;
}

void IniFile::SetValue(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    std::wstring line = std::wstring(Trim(key)) + L"=";
    for (wchar_t c : value) {
        line.push_back(c == L'\r' || c == L'\n' ? L' ' : c);
    }
    auto range = FindSection(section);
    if (!range) {
        m_lines.push_back(L"[" + std::wstring(Trim(section)) + L"]");
        m_lines.push_back(std::move(line));
        return;
    }
    for (std::size_t i = range->begin; i < range->end; ++i) {
        std::wstring_view name, old;
        if (SplitKeyValue(m_lines[i], name, old) && SameName(name, key)) {
            m_lines[i] = std::move(line);
            return;
        }
    }
    // After the section's last non-empty line, so blank separators stay put.
    std::size_t at = range->end;
    while (at > range->begin && Trim(m_lines[at - 1]).empty()) {
        --at;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

std::string IniFile::ToUtf8() const {
    std::string out;
    for (const std::wstring& line : m_lines) {
        out += VellumUI::WideToUtf8(line);
        out += '\n';
    }
    return out;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::string temp = path.string() + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        written += ok ? static_cast<std::size_t>(n) : 0;
    }
    // The data must be on disk before the rename makes it the file.
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
    }
    return ok;
}

} // namespace Quillon
