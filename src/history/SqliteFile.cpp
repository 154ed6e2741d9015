#include "history/SqliteFile.h"

namespace quorvia {

TStatement::TStatement(TSqliteFile& file, std::string_view sql) : file_(file) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(file.Handle(), sql.data(), int(sql.size()), &raw, nullptr) != SQLITE_OK)
        file.Fail();
    stmt_.reset(raw);
}

TStatement& TStatement::Bind(int index, std::int64_t number) {
    sqlite3_bind_int64(stmt_.get(), index, number);
    return *this;
}

TStatement& TStatement::Bind(int index, std::string_view text) {
    sqlite3_bind_text(stmt_.get(), index, text.data(), int(text.size()), SQLITE_TRANSIENT);
    return *this;
}

TStatement& TStatement::BindNull(int index) {
    sqlite3_bind_null(stmt_.get(), index);
    return *this;
}

bool TStatement::Step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_.get());
    file_.Fail();
}

void TStatement::Run() {
    Step();
    Reset();
}

void TStatement::Reset() {
    sqlite3_reset(stmt_.get());
}

bool TStatement::IsNull(int column) const {
    return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL;
}

std::int64_t TStatement::Integer(int column) const {
    return sqlite3_column_int64(stmt_.get(), column);
}

std::string_view TStatement::Text(int column) const {
    const auto* text = static_cast<const char*>(sqlite3_column_blob(stmt_.get(), column));
    return text ? std::string_view(text, std::size_t(sqlite3_column_bytes(stmt_.get(), column)))
                : std::string_view();
}

TSqliteFile::TSqliteFile(const std::string& path, int flags) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        if (!raw)
            throw HistoryError("out of memory");
        Fail();
    }
}

void TSqliteFile::Exec(const char* sql) {
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail();
}

void TSqliteFile::Fail() const {
    throw HistoryError(sqlite3_errmsg(db_.get()));
}

TTransaction::TTransaction(TSqliteFile& file) : file_(file) {
    file_.Exec("BEGIN");
}

TTransaction::~TTransaction() {
    if (open_)
        sqlite3_exec(file_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void TTransaction::Commit() {
    file_.Exec("COMMIT");
    open_ = false;
}

} // namespace quorvia
