#pragma once
// A thin owner of one SQLite connection for the history: statements with their bindings,
// rows read by column, transactions that roll back unless committed. Every failure becomes a
// HistoryError carrying SQLite's message.

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvia {

class HistoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSqliteFile;

// A prepared statement. Bind by 1-based index, Step through rows, Reset before reuse.
class TStatement {
public:
    TStatement(TSqliteFile& file, std::string_view sql);

    TStatement& Bind(int index, std::int64_t number);
    TStatement& Bind(int index, std::string_view text);
    TStatement& BindNull(int index);
    // True while a row is there.
    bool Step();
    // Runs a statement that returns no row, then resets it.
    void Run();
    void Reset();

    bool IsNull(int column) const;
    std::int64_t Integer(int column) const;
    std::string_view Text(int column) const;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
    };
    TSqliteFile& file_;
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

class TSqliteFile {
public:
    // flags as for sqlite3_open_v2.
    TSqliteFile(const std::string& path, int flags);

    void Exec(const char* sql);
    std::int64_t LastInsertId() const { return sqlite3_last_insert_rowid(db_.get()); }
    [[noreturn]] void Fail() const;
    sqlite3* Handle() const { return db_.get(); }

private:
    struct Closer {
        void operator()(sqlite3* db) const { sqlite3_close(db); }
    };
    std::unique_ptr<sqlite3, Closer> db_;
};

// BEGIN now; ROLLBACK on leaving the scope unless Commit() succeeded.
class TTransaction {
public:
    explicit TTransaction(TSqliteFile& file);
    ~TTransaction();
    void Commit();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;

private:
    TSqliteFile& file_;
    bool open_ = true;
};

} // namespace quorvia
