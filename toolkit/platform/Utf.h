// Conversions between the program's wide strings and UTF-8, the encoding of
// every edge: files, SQLite, GTK/Pango, HTTP. On Linux wchar_t holds a whole
// code point, so a wide string is UTF-32.
#pragma once

#include <string>
#include <string_view>

namespace VellumUI {

// Decodes UTF-8. A malformed or truncated sequence, an overlong form, a
// surrogate or a value past U+10FFFF becomes one U+FFFD per bad byte, so any
// input decodes without loss of the text around it.
std::wstring Utf8ToWide(std::string_view utf8);

// Encodes as UTF-8. Values that are not Unicode scalar values (surrogates,
// past U+10FFFF) become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

} // namespace VellumUI
