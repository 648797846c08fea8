#include "app/device/KeyboardDefText.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace Quillon {

namespace {

constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
constexpr std::int64_t kIntMin = std::numeric_limits<int>::min();

bool IsSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

int DigitValue(wchar_t c, int base) {
    int d = -1;
    if (c >= L'0' && c <= L'9')
        d = c - L'0';
    else if (c >= L'a' && c <= L'f')
        d = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F')
        d = c - L'A' + 10;
    return d < base ? d : -1;
}

int Clamp(std::int64_t value) {
    return static_cast<int>(value > kIntMax ? kIntMax : value < kIntMin ? kIntMin : value);
}

// Reads blanks, a sign, an optional "0x" for base 16, and digits.
int ParseInBase(std::wstring_view text, int base) {
    std::size_t pos = 0;
    while (pos < text.size() && IsSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-'))
        negative = text[pos++] == L'-';
    if (base == 16 && pos + 2 < text.size() && text[pos] == L'0' &&
        (text[pos + 1] == L'x' || text[pos + 1] == L'X') && DigitValue(text[pos + 2], 16) >= 0)
        pos += 2;
    // Saturates early: one more digit past the limit cannot bring it back.
    std::int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        int d = DigitValue(text[pos], base);
        if (d < 0)
            break;
        if (value <= kIntMax + 1)
            value = value * base + d;
    }
    return Clamp(negative ? -value : value);
}

} // namespace

int ParseDecimal(std::wstring_view text) {
    return ParseInBase(text, 10);
}

int ParseHexadecimal(std::wstring_view text) {
    return ParseInBase(text, 16);
}

KeyPlace ParseRowCol(std::wstring_view text) {
    KeyPlace place;
    if (text.empty())
        return place;
    if (text[0] >= L'0' && text[0] <= L'9')
        place.row = text[0] - L'0';
    constexpr std::size_t kShortForm = 3; // row, separator, one-digit column
    std::size_t columnLength = text.size() == kShortForm ? 1 : 2;
    place.column = ParseDecimal(text.substr(text.size() - std::min(columnLength, text.size())));
    return place;
}

KeyRect ParseKeyRect(std::wstring_view text) {
    int numbers[4] = {0, 0, 0, 0};
    std::size_t pos = 0;
    for (int& n : numbers) {
        if (pos > text.size())
            break;
        std::size_t hash = text.find(L'#', pos);
        n = ParseDecimal(
            text.substr(pos, hash == std::wstring_view::npos ? text.npos : hash - pos));
        pos = hash == std::wstring_view::npos ? text.size() + 1 : hash + 1;
    }
    return MakeKeyRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

KeyRect MakeKeyRect(int x, int y, int width, int height) {
    return {x, y, Clamp(static_cast<std::int64_t>(x) + width),
            Clamp(static_cast<std::int64_t>(y) + height)};
}

} // namespace Quillon
