// Macro rows of KeyboardDB: t_macro_data and its steps in t_macrorecord.
#include "app/storage/KeyboardDB.h"
#include "app/storage/RowAccess.h"

namespace Quillon {

using namespace StorageDetail;

namespace {

constexpr const char* kInsertMacro = "INSERT INTO t_macro_data(play_times, delay_type, "
                                     "delay_time, link_count, name) VALUES (?, ?, ?, ?, ?);";
constexpr const char* kInsertMacroRecord =
    "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) VALUES (?, "
    "?, ?, ?, ?, ?);";
constexpr const char* kSelectMacroRecords =
    "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC";

// A new macro plays once, with the recorded delays.
constexpr int kNewMacroPlayTimes = 1;
constexpr int kNewMacroDelayType = 1;

MacroInfo ReadMacro(const SQLiteStatement& s) {
    MacroInfo row;
    row.macro_id = s.ColumnInt(0);
    row.play_times = s.ColumnInt(1);
    row.delay_type = s.ColumnInt(2);
    row.delay_time = s.ColumnInt(3);
    row.link_count = s.ColumnInt(4);
    row.name = ReadText(s, 5);
    return row;
}

MacroRecordInfo ReadMacroRecord(const SQLiteStatement& s) {
    MacroRecordInfo row;
    row.record_id = s.ColumnInt(0);
    row.macro_id = s.ColumnInt(1);
    row.type = s.ColumnInt(2);
    row.record_index = s.ColumnInt(3);
    row.desc = ReadText(s, 4);
    row.value = s.ColumnInt(5);
    row.delay_time = s.ColumnInt(6);
    return row;
}

void BindMacroRecord(SQLiteStatement& s, const MacroRecordInfo& record) {
    s.BindInt(1, record.macro_id);
    s.BindInt(2, record.type);
    s.BindInt(3, record.record_index);
    s.BindText(4, ToUtf8(record.desc));
    s.BindInt(5, record.value);
    s.BindInt(6, record.delay_time);
}

} // namespace

int KeyboardDB::AddMacro(const std::wstring& name) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, kInsertMacro);
    s.BindInt(1, kNewMacroPlayTimes);
    s.BindInt(2, kNewMacroDelayType);
    s.BindInt(3, 0);
    s.BindInt(4, 0);
    s.BindText(5, ToUtf8(name));
    return InsertRow(s);
}

int KeyboardDB::AddMacroFull(const MacroInfo& macro) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, kInsertMacro);
    s.BindInt(1, macro.play_times);
    s.BindInt(2, macro.delay_type);
    s.BindInt(3, macro.delay_time);
    s.BindInt(4, macro.link_count);
    s.BindText(5, ToUtf8(macro.name));
    return InsertRow(s);
}

bool KeyboardDB::RenameMacro(int id, const std::wstring& name) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "UPDATE t_macro_data SET name = ? WHERE macro_id = ?");
    s.BindText(1, ToUtf8(name));
    s.BindInt(2, id);
    return IsWriteOk(s.Step());
}

bool KeyboardDB::UpdateMacroPlay(const MacroInfo& macro) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "UPDATE t_macro_data SET play_times = ?, delay_type = ?, delay_time = ? "
                          "WHERE macro_id = ?");
    s.BindInt(1, macro.play_times);
    s.BindInt(2, macro.delay_type);
    s.BindInt(3, macro.delay_time);
    s.BindInt(4, macro.macro_id);
    return IsWriteOk(s.Step());
}

bool KeyboardDB::DeleteMacro(int id) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "DELETE FROM t_macro_data WHERE macro_id = ?");
    s.BindInt(1, id);
    s.Step();
    m_database.Prepare(s, "DELETE FROM t_macrorecord WHERE macro_id = ?");
    s.BindInt(1, id);
    s.Step();
    // Keys of every profile that played the macro get their own function back.
    m_database.Prepare(s, "DELETE FROM t_key_macro_data WHERE macro_type = ? and macro_value = ?");
    s.BindInt(1, kMacroAssignmentType);
    s.BindInt(2, id);
    return IsWriteOk(s.Step());
}

bool KeyboardDB::GetMacroPlayTimes(int id, int& count) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT play_times FROM t_macro_data WHERE macro_id = ?");
    s.BindInt(1, id);
    if (s.Step() != kSQLiteRow) {
        return false;
    }
    count = s.ColumnInt(0);
    return true;
}

bool KeyboardDB::GetMacro(int id, MacroInfo& macro) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT * FROM t_macro_data WHERE macro_id = ?");
    s.BindInt(1, id);
    if (s.Step() != kSQLiteRow) {
        return false;
    }
    macro = ReadMacro(s);
    return true;
}

int KeyboardDB::GetMacros(std::vector<MacroInfo>& list) {
    list.clear();
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT * FROM t_macro_data");
    while (s.Step() == kSQLiteRow) {
        list.push_back(ReadMacro(s));
    }
    return static_cast<int>(list.size());
}

int KeyboardDB::AddMacroRecord(const MacroRecordInfo& record) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, kInsertMacroRecord);
    BindMacroRecord(s, record);
    return InsertRow(s);
}

void KeyboardDB::SaveMacroRecords(const std::vector<MacroRecordInfo>& records) {
    Lock lock(m_lock);
    // One transaction for all steps: a long macro is one write, not hundreds.
    SQLiteAutoTransaction transaction(m_database);
    SQLiteStatement s;
    for (const MacroRecordInfo& record : records) {
        m_database.Prepare(s, kInsertMacroRecord);
        BindMacroRecord(s, record);
        s.Step();
    }
}

int KeyboardDB::GetMacroRecords(int id, std::vector<MacroRecordInfo>& list) {
    list.clear();
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, kSelectMacroRecords);
    s.BindInt(1, id);
    while (s.Step() == kSQLiteRow) {
        list.push_back(ReadMacroRecord(s));
    }
    return static_cast<int>(list.size());
}

bool KeyboardDB::DeleteMacroRecords(int id) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "DELETE FROM t_macrorecord WHERE macro_id = ?");
    s.BindInt(1, id);
    return IsWriteOk(s.Step());
}

int KeyboardDB::CountMacroKeyRecords(int id) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, kSelectMacroRecords);
    s.BindInt(1, id);
    int count = 0;
    while (s.Step() == kSQLiteRow) {
        if (s.ColumnInt(2) != kMacroRecordDelayType) {
            ++count;
        }
    }
    return count;
}

} // namespace Quillon
