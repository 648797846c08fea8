#include "app/storage/SQLiteDB.h"

#include <sqlite3.h>

#include <utility>

namespace Quillon {

static_assert(kSQLiteOk == SQLITE_OK && kSQLiteMisuse == SQLITE_MISUSE &&
              kSQLiteRow == SQLITE_ROW && kSQLiteDone == SQLITE_DONE);
static_assert(kSQLiteOpenReadWrite == SQLITE_OPEN_READWRITE &&
              kSQLiteOpenCreate == SQLITE_OPEN_CREATE &&
              kSQLiteOpenFullMutex == SQLITE_OPEN_FULLMUTEX);

// ---- SQLiteDB ----

SQLiteDB::~SQLiteDB() {
    if (m_connection != nullptr) {
        sqlite3_interrupt(m_connection);
        // close_v2 never fails for open statements: the handle goes once the
        // last one is finalized, so the destructor leaks nothing.
        sqlite3_close_v2(m_connection);
    }
}

SQLiteDB::SQLiteDB(SQLiteDB&& other) noexcept
    : m_connection(std::exchange(other.m_connection, nullptr)) {}

SQLiteDB& SQLiteDB::operator=(SQLiteDB&& other) noexcept {
    if (this != &other) {
        if (m_connection != nullptr) {
            sqlite3_close_v2(m_connection);
        }
        m_connection = std::exchange(other.m_connection, nullptr);
    }
    return *this;
}

bool SQLiteDB::Open(const std::string& path, const std::string& key, int flags) {
    if (m_connection != nullptr) {
        sqlite3_interrupt(m_connection);
        if (!Close()) {
            // A statement is still open somewhere: let SQLite release the
            // old handle once it is finalized rather than lose track of it.
            sqlite3_close_v2(m_connection);
            m_connection = nullptr;
        }
    }
    sqlite3* connection = nullptr;
    if (sqlite3_open_v2(path.c_str(), &connection, flags, nullptr) != SQLITE_OK) {
        // SQLite hands out a handle even when the open fails.
        sqlite3_close(connection);
        return false;
    }
    m_connection = connection;
    // Writes are not flushed at every commit; the file is a settings store.
    sqlite3_exec(m_connection, "PRAGMA synchronous = OFF; ", nullptr, nullptr, nullptr);
    if (!key.empty()) {
        // This build carries no encryption: an encrypted file cannot be read
        // and a plain one must not be taken for a protected one.
        Close();
        return false;
    }
    return true;
}

bool SQLiteDB::Close() {
    if (m_connection == nullptr) {
        return true;
    }
    if (sqlite3_close(m_connection) != SQLITE_OK) {
        return false;
    }
    m_connection = nullptr;
    return true;
}

int SQLiteDB::Exec(const char* sql) {
    if (m_connection == nullptr || sql == nullptr) {
        return SQLITE_MISUSE;
    }
    return sqlite3_exec(m_connection, sql, nullptr, nullptr, nullptr);
}

std::int64_t SQLiteDB::GetLastInsertId() const {
    if (m_connection == nullptr) {
        return -1;
    }
    return sqlite3_last_insert_rowid(m_connection);
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length) {
    statement.Finalize();
    if (m_connection == nullptr || sql == nullptr) {
        return SQLITE_MISUSE;
    }
    // A negative length lets SQLite read up to the terminating zero.
    return sqlite3_prepare_v2(m_connection, sql, length < 0 ? -1 : length, &statement.m_statement,
                              nullptr);
}

// ---- SQLiteStatement ----

SQLiteStatement::~SQLiteStatement() {
    Finalize();
}

SQLiteStatement::SQLiteStatement(SQLiteStatement&& other) noexcept
    : m_done(std::exchange(other.m_done, true)),
      m_statement(std::exchange(other.m_statement, nullptr)) {}

SQLiteStatement& SQLiteStatement::operator=(SQLiteStatement&& other) noexcept {
    if (this != &other) {
        Finalize();
        m_done = std::exchange(other.m_done, true);
        m_statement = std::exchange(other.m_statement, nullptr);
    }
    return *this;
}

int SQLiteStatement::BindInt(int index, int value) {
    if (m_statement == nullptr) {
        return SQLITE_MISUSE;
    }
    return sqlite3_bind_int(m_statement, index, value);
}

int SQLiteStatement::BindText(int index, std::string_view utf8) {
    if (m_statement == nullptr) {
        return SQLITE_MISUSE;
    }
    // The string_view need not be zero-terminated: pass its exact length.
    // An empty view may have no buffer at all, which SQLite would store as
    // NULL rather than as the empty text.
    const char* data = utf8.data() != nullptr ? utf8.data() : "";
    return sqlite3_bind_text64(m_statement, index, data, utf8.size(), SQLITE_TRANSIENT,
                               SQLITE_UTF8);
}

int SQLiteStatement::Step() {
    if (m_statement == nullptr) {
        return SQLITE_MISUSE;
    }
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_DONE) {
        m_done = true;
    } else {
        m_done = false;
    }
    return result;
}

int SQLiteStatement::ColumnInt(int column) const {
    if (m_statement == nullptr) {
        return 0;
    }
    return sqlite3_column_int(m_statement, column);
}

const char* SQLiteStatement::ColumnText(int column) const {
    if (m_statement == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
}

void SQLiteStatement::Finalize() {
    if (m_statement != nullptr) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
    m_done = true;
}

// ---- SQLiteAutoTransaction ----

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB& database) : m_database(&database) {
    if (m_database->IsOpen()) {
        // A failed BEGIN (for instance inside another transaction) must not
        // be followed by an END that would commit someone else's work.
        m_active = m_database->Exec("BEGIN") == SQLITE_OK;
    }
}

SQLiteAutoTransaction::~SQLiteAutoTransaction() {
    if (m_active) {
        m_database->Exec("END");
    }
}

bool SQLiteAutoTransaction::Begin() {
    if (m_active) {
        return false;
    }
    m_active = m_database->Exec("BEGIN") == SQLITE_OK;
    return m_active;
}

bool SQLiteAutoTransaction::End() {
    // Without a BEGIN of its own, an END would commit whatever transaction
    // the connection has open for someone else.
    if (!m_active) {
        return false;
    }
    const bool ok = m_database->Exec("END") == SQLITE_OK;
    m_active = false;
    return ok;
}

} // namespace Quillon
