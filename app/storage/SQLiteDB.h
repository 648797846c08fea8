// Thin RAII wrappers over one SQLite connection, one prepared statement and a
// scoped transaction. They return SQLite's result codes as they come and
// never throw; an operation without a handle answers SQLITE_MISUSE (21).
// Thread use: a connection is opened in serialized mode by KeyboardDB, which
// also serialises whole statements with its own lock; a statement or a
// transaction object belongs to the thread that made it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace Quillon {

class SQLiteStatement;

// SQLite's result codes the program tests for.
inline constexpr int kSQLiteOk = 0;
inline constexpr int kSQLiteMisuse = 21;
inline constexpr int kSQLiteRow = 100;
inline constexpr int kSQLiteDone = 101;

// Open flags (the values of SQLITE_OPEN_*).
inline constexpr int kSQLiteOpenReadWrite = 0x00000002;
inline constexpr int kSQLiteOpenCreate = 0x00000004;
inline constexpr int kSQLiteOpenFullMutex = 0x00010000;

// One connection; owns its handle, closed by the destructor.
class SQLiteDB {
public:
    SQLiteDB() = default;
    virtual ~SQLiteDB();
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;
    SQLiteDB(SQLiteDB&& other) noexcept;
    SQLiteDB& operator=(SQLiteDB&& other) noexcept;

    // Closes an open connection first. With a non-empty key the key is
    // applied after opening; this build has no encryption, so a key makes
    // the open fail rather than leave a file the caller thinks is protected.
    bool Open(const std::string& path, const std::string& key, int flags);
    // True when there is nothing to close or the close succeeded; a failed
    // close keeps the handle.
    bool Close();
    bool IsOpen() const { return m_connection != nullptr; }
    int Exec(const char* sql);
    // -1 without a connection.
    std::int64_t GetLastInsertId() const;
    // Finalizes the statement's previous handle, then prepares `sql`. A
    // negative length means the whole zero-terminated text.
    int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);

private:
    sqlite3* m_connection = nullptr;
};

// One prepared statement; may be prepared again for the next text in a row.
class SQLiteStatement {
public:
    SQLiteStatement() = default;
    virtual ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;
    SQLiteStatement(SQLiteStatement&& other) noexcept;
    SQLiteStatement& operator=(SQLiteStatement&& other) noexcept;

    // 1-based parameter index.
    int BindInt(int index, int value);
    // The text is copied by SQLite, so the caller's buffer may go at once.
    int BindText(int index, std::string_view utf8);
    // SQLITE_DONE also marks the statement done.
    int Step();
    // 0-based column; 0 / null without a handle or for a NULL column.
    int ColumnInt(int column) const;
    const char* ColumnText(int column) const;
    void Finalize();
    bool IsDone() const { return m_done; }
    bool IsPrepared() const { return m_statement != nullptr; }

private:
    friend class SQLiteDB;
    bool m_done = true;
    sqlite3_stmt* m_statement = nullptr;
};

// Runs "BEGIN" when made (if the database is open) and "END" when it goes,
// unless End was called before. The database must outlive the object.
class SQLiteAutoTransaction {
public:
    explicit SQLiteAutoTransaction(SQLiteDB& database);
    virtual ~SQLiteAutoTransaction();
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;

    // False when already active or when "BEGIN" failed.
    bool Begin();
    // Commits; false, with nothing run, when not active.
    bool End();
    bool IsActive() const { return m_active; }

private:
    SQLiteDB* m_database; // not owned
    bool m_active = false;
};

} // namespace Quillon
