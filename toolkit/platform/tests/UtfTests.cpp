#include "toolkit/platform/Utf.h"

#include <gtest/gtest.h>

using VellumUI::Utf8ToWide;
using VellumUI::WideToUtf8;

TEST(Utf, RoundTripsEveryPlane) {
    const std::wstring text = L"Aé€中\U0001F600";
    EXPECT_EQ(WideToUtf8(text), "A\xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
}

TEST(Utf, MalformedInputBecomesReplacementPerByte) {
    struct Case {
        std::string input;
        std::wstring expected;
    } cases[] = {
        {"a\xC3", L"a\xFFFD"},                          // truncated at the end
        {"\xC3(b", L"\xFFFD(b"},                        // bad continuation
        {"\xC0\xAF", L"\xFFFD\xFFFD"},                  // overlong '/'
        {"\xED\xA0\x80", L"\xFFFD\xFFFD\xFFFD"},        // surrogate
        {"\xF4\x90\x80\x80", L"\xFFFD\xFFFD\xFFFD\xFFFD"}, // past U+10FFFF
        {"\xFF\xFE", L"\xFFFD\xFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWide(c.input), c.expected) << c.input;
    }
}

TEST(Utf, InvalidWideValuesEncodeAsReplacement) {
    std::wstring bad;
    bad += static_cast<wchar_t>(0xD800);
    bad += static_cast<wchar_t>(0x110000);
    EXPECT_EQ(WideToUtf8(bad), "\xEF\xBF\xBD\xEF\xBF\xBD");
}
