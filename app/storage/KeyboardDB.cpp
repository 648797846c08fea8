#include "app/storage/KeyboardDB.h"

#include <array>
#include <climits>
#include <cstdint>
#include <initializer_list>
#include <system_error>

#include "app/storage/RowAccess.h"

namespace Quillon {

using namespace StorageDetail;

namespace {

// The schema, in the order it is created: each table followed by the index on
// its key (t_configdata has none). Columns are read by position, so their
// order is part of the file format.
constexpr std::array<const char*, 17> kSchemaStatements = {
    "CREATE TABLE IF NOT EXISTS t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, key TEXT, value TEXT)",
    "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, "
    "name TEXT, status INTEGER, app TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile)",
    "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc "
    "TEXT, macro_type INTEGER, macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, "
    "macro_desc TEXT)",
    "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id)",
    "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, "
    "macro_desc TEXT, param TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value)",
    "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "play_times INTEGER, delay_type INTEGER, delay_time INTEGER, link_count INTEGER, name TEXT)",
    "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id)",
    "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "macro_id INTEGER, type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, delay_time "
    "INTEGER)",
    "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id)",
    "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, direction "
    "INTEGER, colorful INTEGER, colorindex INTEGER, color_value INTEGER, config_func INTEGER, "
    "reserved INTEGER, status INTEGER)",
    "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id)",
    "CREATE TABLE IF NOT EXISTS t_key_light_data(keylight_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, light_id INTEGER, key_code INTEGER, key_rgb INTEGER)",
    "CREATE INDEX IF NOT EXISTS keylightindex ON t_key_light_data(keylight_id)",
    "CREATE TABLE IF NOT EXISTS t_musiclayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, name TEXT, deviceindex INTEGER, foremode INTEGER, fore_amplitude INTEGER, "
    "backmode INTEGER, backb_right INTEGER, sel INTEGER)",
    "CREATE INDEX IF NOT EXISTS musiclayerindex ON t_musiclayer_data(layer_id)",
};

// Configuration rows written with the first profiles; nothing reads them back,
// they are kept for files shared with other versions of the program.
struct ConfigValue {
    const char* key;
    const char* value;
};
constexpr std::array<ConfigValue, 11> kDefaultConfig = {{
    {"version", "1.0.1"},
    {"keyboard_layout", "1"},
    {"fn_layer", "0"},
    {"lightmode", "1"},
    {"sleep_light", "1"},
    {"userlight", "0"},
    {"customlight_run", "0"},
    {"gamemode", "0"},
    {"disable_alttab", "0"},
    {"disable_altf4", "0"},
    {"disable_win", "0"},
}};

// Configuration and light rows always belong to the light profile.
constexpr int kLightProfile = 1;

// The keyboard name becomes part of a file name: a separator or a NUL in it
// must not lead the path out of the db folder.
std::string FileNameOf(const std::wstring& keyboardName) {
    std::string name = VellumUI::WideToUtf8(keyboardName);
    for (char& c : name) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    return name + "_data_v2.db";
}

ProfileInfo ReadProfile(const SQLiteStatement& s) {
    ProfileInfo row;
    row.profile = s.ColumnInt(0);
    row.name = ReadText(s, 1);
    row.status = s.ColumnInt(2);
    row.app = ReadText(s, 3);
    row.type = s.ColumnInt(4);
    return row;
}

KeyMacroInfo ReadKeyMacro(const SQLiteStatement& s) {
    KeyMacroInfo row;
    row.key_id = s.ColumnInt(0);
    row.profile = s.ColumnInt(1);
    row.fn_layer = s.ColumnInt(2);
    row.key_code = s.ColumnInt(3);
    row.layout_value = s.ColumnInt(4);
    row.layout_desc = ReadText(s, 5);
    row.macro_type = s.ColumnInt(6);
    row.macro_value = s.ColumnInt(7);
    row.macro_value2 = s.ColumnInt(8);
    row.macro_value3 = s.ColumnInt(9);
    row.macro_desc = ReadText(s, 10);
    return row;
}

} // namespace

KeyboardDB& KeyboardDB::Instance() {
    // A function-local static is made once, safely, on the first call.
    static KeyboardDB instance;
    return instance;
}

int KeyboardDB::InsertRow(SQLiteStatement& statement) {
    if (!IsWriteOk(statement.Step())) {
        return 0;
    }
    // Ids are 32-bit everywhere else; one past that range would be cut to
    // another row's id, so it counts as a failure.
    const std::int64_t id = m_database.GetLastInsertId();
    return id > 0 && id <= INT_MAX ? static_cast<int>(id) : 0;
}

int KeyboardDB::StepCount(SQLiteStatement& statement) {
    return statement.Step() == kSQLiteRow ? statement.ColumnInt(0) : 0;
}

// ---- file ----

std::filesystem::path KeyboardDB::DatabasePath(const std::filesystem::path& dataFolder,
                                               const std::wstring& keyboardName) {
    return dataFolder / "db" / FileNameOf(keyboardName);
}

bool KeyboardDB::OpenForKeyboard(const std::filesystem::path& dataFolder,
                                 const std::wstring& keyboardName) {
    Lock lock(m_lock);
    const std::filesystem::path path = DatabasePath(dataFolder, keyboardName);
    m_path = path.string();
    std::error_code error;
    // A file of no bytes holds nothing (a first start cut short before its
    // tables reached the disk); it gets the schema like a missing one.
    const bool empty = std::filesystem::is_regular_file(path, error) &&
                       std::filesystem::file_size(path, error) == 0 && !error;
    bool result = false;
    if (std::filesystem::exists(path, error) && !empty) {
        result = m_database.IsOpen() ||
                 m_database.Open(m_path, m_key, kSQLiteOpenReadWrite | kSQLiteOpenFullMutex);
    } else {
        result = CreateSchema();
    }
    m_opened = result;
    return result;
}

bool KeyboardDB::OpenForKeyboard(const std::wstring& dataFolder, const std::wstring& keyboardName) {
    return OpenForKeyboard(std::filesystem::path(VellumUI::WideToUtf8(dataFolder)), keyboardName);
}

void KeyboardDB::Close() {
    Lock lock(m_lock);
    // A connection left open by a half-failed schema creation is closed too,
    // so the next model never works on the previous model's file.
    m_database.Close();
    m_opened = false;
}

bool KeyboardDB::IsOpened() const {
    Lock lock(m_lock);
    return m_opened;
}

void KeyboardDB::DeleteDatabaseFile(const std::filesystem::path& dataFolder,
                                    const std::wstring& keyboardName) {
    const std::filesystem::path path = DatabasePath(dataFolder, keyboardName);
    std::error_code error;
    std::filesystem::remove(path, error);
    // A journal or write-ahead log left behind (by an interrupted write, or
    // by another tool that switched the file to WAL) must not be replayed
    // into the fresh file that takes the old one's place.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        std::filesystem::remove(path.string() + suffix, error);
    }
}

void KeyboardDB::DeleteDatabaseFile(const std::wstring& dataFolder,
                                    const std::wstring& keyboardName) {
    DeleteDatabaseFile(std::filesystem::path(VellumUI::WideToUtf8(dataFolder)), keyboardName);
}

bool KeyboardDB::CreateSchema() {
    Lock lock(m_lock);
    if (m_database.IsOpen()) {
        return true;
    }
    // An empty path would make SQLite open a private temporary file.
    if (m_path.empty()) {
        return false;
    }
    std::error_code error;
    const bool isNew = std::filesystem::symlink_status(m_path, error).type() ==
                       std::filesystem::file_type::not_found;
    if (!m_database.Open(m_path, m_key,
                         kSQLiteOpenReadWrite | kSQLiteOpenCreate | kSQLiteOpenFullMutex)) {
        return false;
    }
    bool ok = true;
    for (const char* statement : kSchemaStatements) {
        ok = m_database.Exec(statement) == kSQLiteOk && ok;
    }
    if (!ok && isNew && m_database.Close()) {
        // An existing file is used as it is, so a file this call made but
        // could not fill (a full disk, say) would stay without tables for
        // good. It holds nothing yet: remove it and let the next open retry.
        std::filesystem::remove(m_path, error);
    }
    return ok;
}

void KeyboardDB::InsertDefaultConfig() {
    Lock lock(m_lock);
    SQLiteStatement statement;
    for (const ConfigValue& config : kDefaultConfig) {
        m_database.Prepare(statement,
                           "INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);");
        statement.BindInt(1, kLightProfile);
        statement.BindText(2, config.key);
        statement.BindText(3, config.value);
        statement.Step();
    }
}

// ---- profiles ----

int KeyboardDB::AddProfile(const ProfileInfo& profile) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s,
                       "INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);");
    s.BindText(1, ToUtf8(profile.name));
    s.BindInt(2, 0);
    s.BindText(3, ToUtf8(profile.app));
    s.BindInt(4, 0);
    return InsertRow(s);
}

bool KeyboardDB::DeleteProfile(int id) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "DELETE FROM t_profile_data WHERE profile = ?");
    s.BindInt(1, id);
    return IsWriteOk(s.Step());
}

bool KeyboardDB::RenameProfile(int id, const std::wstring& name) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "UPDATE t_profile_data SET name = ? WHERE profile = ?");
    s.BindText(1, ToUtf8(name));
    s.BindInt(2, id);
    return IsWriteOk(s.Step());
}

bool KeyboardDB::GetProfileName(int id, std::wstring& name) {
    name.clear();
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT name FROM t_profile_data WHERE profile = ?");
    s.BindInt(1, id);
    if (s.Step() != kSQLiteRow) {
        return false;
    }
    name = ReadText(s, 0);
    return true;
}

int KeyboardDB::GetProfiles(std::vector<ProfileInfo>& list) {
    list.clear();
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT * FROM t_profile_data");
    while (s.Step() == kSQLiteRow) {
        list.push_back(ReadProfile(s));
    }
    return static_cast<int>(list.size());
}

bool KeyboardDB::SetActiveProfile(int id) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "UPDATE t_profile_data SET status = ?");
    s.BindInt(1, 0);
    s.Step();
    m_database.Prepare(s, "UPDATE t_profile_data SET status = ? WHERE profile = ?");
    s.BindInt(1, 1);
    s.BindInt(2, id);
    return IsWriteOk(s.Step());
}

int KeyboardDB::GetActiveProfile() {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT profile FROM t_profile_data WHERE status = ?");
    s.BindInt(1, 1);
    return s.Step() == kSQLiteRow ? s.ColumnInt(0) : 0;
}

// ---- key assignments ----

int KeyboardDB::SaveKeyAssignment(const KeyMacroInfo& row) {
    if (row.key_code == 0) {
        return 0;
    }
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(
        s, "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
    s.BindInt(1, row.profile);
    s.BindInt(2, row.fn_layer);
    s.BindInt(3, row.key_code);
    s.Step();
    // No row at all is how a key keeps (or gets back) its own function.
    if (row.macro_value == 0 && row.macro_value2 == 0) {
        return 0;
    }
    m_database.Prepare(s, "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, "
                          "layout_value, layout_desc, macro_type, macro_value, macro_value2, "
                          "macro_value3, macro_desc) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
    s.BindInt(1, row.profile);
    s.BindInt(2, row.fn_layer);
    s.BindInt(3, row.key_code);
    s.BindInt(4, row.layout_value);
    s.BindText(5, ToUtf8(row.layout_desc));
    s.BindInt(6, row.macro_type);
    s.BindInt(7, row.macro_value);
    s.BindInt(8, row.macro_value2);
    s.BindInt(9, row.macro_value3);
    s.BindText(10, ToUtf8(row.macro_desc));
    return InsertRow(s);
}

bool KeyboardDB::GetKeyAssignment(int profile, int layer, int keyCode, KeyMacroInfo& row) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(
        s, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?");
    s.BindInt(1, profile);
    s.BindInt(2, layer);
    s.BindInt(3, keyCode);
    if (s.Step() != kSQLiteRow) {
        return false;
    }
    row = ReadKeyMacro(s);
    return true;
}

int KeyboardDB::GetKeyAssignments(int profile, int layer, std::vector<KeyMacroInfo>& list) {
    list.clear();
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?");
    s.BindInt(1, profile);
    s.BindInt(2, layer);
    while (s.Step() == kSQLiteRow) {
        list.push_back(ReadKeyMacro(s));
    }
    return static_cast<int>(list.size());
}

void KeyboardDB::DeleteProfileKeys(int profile) {
    // Taken although only the UI thread calls this: the lock is cheap and
    // keeps the connection's statements from interleaving whoever calls.
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "DELETE FROM t_key_macro_data WHERE profile = ?");
    s.BindInt(1, profile);
    s.Step();
}

int KeyboardDB::AddKeyOtherData(const KeyOtherInfo& row) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s, "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);");
    s.BindText(1, ToUtf8(row.macro_desc));
    s.BindText(2, ToUtf8(row.param));
    s.BindInt(3, row.type);
    return InsertRow(s);
}

bool KeyboardDB::GetKeyOtherData(int id, std::wstring& text, std::wstring& param, int& type) {
    Lock lock(m_lock);
    SQLiteStatement s;
    m_database.Prepare(s,
                       "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?");
    s.BindInt(1, id);
    if (s.Step() == kSQLiteRow) {
        text = ReadText(s, 0);
        param = ReadText(s, 1);
        type = s.ColumnInt(2);
    }
    // Callers keep their defaults for a missing row.
    return true;
}

} // namespace Quillon
