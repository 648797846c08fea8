#include "app/device/KeyboardDefText.h"

#include <gtest/gtest.h>

#include <climits>

namespace Quillon {
namespace {

TEST(KeyboardDefTextTest, DecimalReadsLikeTheFilesExpect) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"42", 42},
        {L"  -7x", -7},
        {L"+5", 5},
        {L"\t\n12", 12},
        {L"", 0},
        {L"abc", 0},
        {L"0x1E", 0},
        {L"- 3", 0},
        {L"99999999999", INT_MAX},
        {L"-99999999999", INT_MIN},
        {L"2147483647", INT_MAX},
        {L"-2147483648", INT_MIN},
        {L"007", 7},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseDecimal(text), expected) << testing::PrintToString(text);
}

TEST(KeyboardDefTextTest, HexadecimalAcceptsAnOptionalPrefix) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"1E", 30},
        {L"0x1E", 30},
        {L"0X1e", 30},
        {L" 37F1", 0x37F1},
        {L"1Eg", 30},
        {L"", 0},
        {L"zz", 0},
        {L"0x", 0},
        {L"0xg", 0},
        {L"-1E", -30},
        {L"+ff", 255},
        {L"7FFFFFFF", INT_MAX},
        {L"FFFFFFFFF", INT_MAX},
        {L"-FFFFFFFFF", INT_MIN},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseHexadecimal(text), expected) << testing::PrintToString(text);
}

TEST(KeyboardDefTextTest, RowColReadsRowDigitAndOneOrTwoColumnDigits) {
    struct Case {
        const wchar_t* text;
        int row;
        int column;
    };
    const Case cases[] = {
        {L"3,7", 3, 7}, {L"3,17", 3, 17}, {L"37", 3, 37},   {L"7#31", 7, 31}, {L"0,0", 0, 0},
        {L"", -1, -1},  {L"x,1", -1, 1},  {L"3,-1", 3, -1}, {L"5", 5, 5},     {L"9,99", 9, 99},
    };
    for (const Case& c : cases) {
        KeyPlace place = ParseRowCol(c.text);
        EXPECT_EQ(place.row, c.row) << testing::PrintToString(c.text);
        EXPECT_EQ(place.column, c.column) << testing::PrintToString(c.text);
    }
}

TEST(KeyboardDefTextTest, RectAddsSizeToPosition) {
    const std::pair<const wchar_t*, KeyRect> cases[] = {
        {L"10#20#30#40", {10, 20, 40, 60}},
        {L"1#2", {1, 2, 1, 2}},
        {L"", {0, 0, 0, 0}},
        {L"5#x#3#4", {5, 0, 8, 4}},
        {L"2147483647#0#5#-1", {INT_MAX, 0, INT_MAX, -1}},
        {L"1#2#3#4#99", {1, 2, 4, 6}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseKeyRect(text), expected) << testing::PrintToString(text);
}

} // namespace
} // namespace Quillon
