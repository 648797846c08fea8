// Helpers shared by the KeyboardDB source files: text conversion at the
// SQLite edge and the write-success rule. Internal to the storage library.
#pragma once

#include <string>

#include "app/storage/SQLiteDB.h"
#include "toolkit/platform/Utf.h"

namespace Quillon::StorageDetail {

// A write succeeded when its last step returned OK, ROW or DONE.
inline bool IsWriteOk(int result) {
    return result == kSQLiteOk || result == kSQLiteRow || result == kSQLiteDone;
}

inline std::string ToUtf8(const std::wstring& text) {
    return VellumUI::WideToUtf8(text);
}

// A NULL column reads as the empty text.
inline std::wstring ReadText(const SQLiteStatement& statement, int column) {
    const char* text = statement.ColumnText(column);
    return text != nullptr ? VellumUI::Utf8ToWide(text) : std::wstring();
}

} // namespace Quillon::StorageDetail
