// How the description files write numbers, key places and key rectangles.
// Pure functions; any thread.
#pragma once

#include <string_view>

#include "app/device/KeyboardDef.h"

namespace Quillon {

// Decimal text as the files have always been read: leading blanks, an
// optional sign, digits up to the first non-digit; 0 when there are none.
// Values beyond the int range saturate.
int ParseDecimal(std::wstring_view text);

// Hexadecimal text: leading blanks, an optional sign, an optional "0x", hex
// digits up to the first other character; 0 when there are none. "1E" and
// "0x1E" both read 30. Values beyond the 32-bit range saturate.
int ParseHexadecimal(std::wstring_view text);

// A key's place in the key matrix from its row_col text: the row is the
// first character as one decimal digit; the column is the last character of
// a three-character text and the last two characters otherwise ("3,7",
// "3,17"). A row that is not a digit reads as -1. The caller checks the
// place against the matrix.
struct KeyPlace {
    int row = -1;
    int column = -1;
};
KeyPlace ParseRowCol(std::wstring_view text);

// A key's rectangle from its rect text "x#y#w#h": left x, top y, right x + w,
// bottom y + h. Missing numbers read as 0.
KeyRect ParseKeyRect(std::wstring_view text);

// The rectangle at (x, y) of the given size; sums beyond the int range
// saturate.
KeyRect MakeKeyRect(int x, int y, int width, int height);

} // namespace Quillon
