// Character-level pieces shared by the XML parser, the attribute reader, the
// editor and the file loader: name and blank classes, reference decoding and
// escaping, and the result log's entry format. Pure functions; any thread.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace Quillon::XmlSyntax {

inline bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// A tag name starts with a letter, an underscore, a colon or any character
// from U+007B upward.
inline bool IsNameStart(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L':' ||
           c >= 0x7B;
}

// The end of a name starting at `pos`: a blank, "=", "/", "[", "]", ">" or
// the end of the text.
std::size_t NameEnd(std::wstring_view text, std::size_t pos);

// The character of a named entity (the HTML 4 set plus "apos"), or 0 when the
// name is unknown. An exact match wins; otherwise the name is tried again in
// lower case, so "AMP" still reads as "&".
char32_t LookupEntity(std::wstring_view name);

// Decodes character references ("&#65;", "&#x42;") and named entities; any
// reference that is broken or unknown stays as it stands.
std::wstring DecodeReferences(std::wstring_view raw);

// Escapes &, <, >, " and ' for an attribute value.
std::wstring EscapeAttribute(std::wstring_view value);
// Escapes &, < and > for element content.
std::wstring EscapeContent(std::wstring_view value);

// Appends one event to a result log as an empty element, for example
// <read encoding="UTF-8" length="12"/>. Nothing is added once the log is
// longer than kMaxLogLength characters; long values are shortened.
inline constexpr std::size_t kMaxLogLength = 999;
using LogAttribute = std::pair<std::wstring_view, std::wstring>;
void AppendLog(std::wstring& log, std::wstring_view event,
               std::initializer_list<LogAttribute> attributes = {});

} // namespace Quillon::XmlSyntax
