#include "toolkit/platform/Utf.h"

#include <cstdint>

namespace VellumUI {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes the sequence at utf8[i]; returns its length, or 0 when malformed.
size_t DecodeOne(std::string_view utf8, size_t i, char32_t& out) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    size_t length;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        out = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (utf8.size() - i < length) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(utf8[i + k]);
        if (!IsContinuation(b)) {
            return 0;
        }
        value = (value << 6) | (b & 0x3F);
    }
    if (value < minimum || value > kMaxCodePoint || IsSurrogate(value)) {
        return 0;
    }
    out = value;
    return length;
}

void Append(std::string& out, char32_t c) {
    if (c > kMaxCodePoint || IsSurrogate(c)) {
        c = kReplacement;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        const size_t length = DecodeOne(utf8, i, c);
        if (length == 0) {
            out += static_cast<wchar_t>(kReplacement);
            ++i;
        } else {
            out += static_cast<wchar_t>(c);
            i += length;
        }
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (wchar_t c : wide) {
        Append(out, static_cast<char32_t>(static_cast<std::uint32_t>(c)));
    }
    return out;
}

} // namespace VellumUI
