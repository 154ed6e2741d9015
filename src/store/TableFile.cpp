// Table files: one SQLite database per table (tables meta, fields, sort_orders, records).
// A save builds the whole database in "<path>.tmp" inside one transaction and renames it
// over the target only when complete; a load reads everything into temporaries and replaces
// the table in one step, so a bad file leaves the table as it was.
#include "store/Table.h"

#include "platform/Text.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <set>

namespace quorvia {

namespace {

namespace fs = std::filesystem;

constexpr const char* kFormat = "quorvia-table 1";

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

std::string Quoted(std::string_view identifier) {
    std::string out = "\"";
    for (char c : identifier) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

const char* TypeName(FieldType type) {
    switch (type) {
    case FieldType::Text:
        return "text";
    case FieldType::Integer:
        return "integer";
    case FieldType::Date:
        return "date";
    }
    return "";
}

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* text = sqlite3_column_blob(stmt, column);
    const int size = sqlite3_column_bytes(stmt, column);
    return text ? std::string(static_cast<const char*>(text), std::size_t(size)) : std::string();
}

// Runs statements against one open file; every SQLite failure becomes a TableError
// carrying the caller's prefix and SQLite's own message.
class Connection {
public:
    Connection(Db db, std::string errorPrefix)
        : db_(std::move(db)), errorPrefix_(std::move(errorPrefix)) {}

    [[noreturn]] void Fail(const std::string& what) const { throw TableError(errorPrefix_ + what); }
    [[noreturn]] void FailSqlite() const { Fail(sqlite3_errmsg(db_.get())); }

    void Exec(const std::string& sql) {
        if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            FailSqlite();
    }
    Stmt Prepare(const std::string& sql) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_.get(), sql.c_str(), int(sql.size()), &stmt, nullptr) !=
            SQLITE_OK)
            FailSqlite();
        return Stmt(stmt);
    }
    // True while a row is there; throws on an error.
    bool Step(sqlite3_stmt* stmt) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        FailSqlite();
    }
    void Run(sqlite3_stmt* stmt) {
        Step(stmt);
        sqlite3_reset(stmt);
    }
    void Close() {
        if (sqlite3_close(db_.get()) != SQLITE_OK)
            FailSqlite();
        db_.release();
    }

private:
    Db db_;
    std::string errorPrefix_;
};

std::string FullPath(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::absolute(path, ec);
    return ec ? path : full.string();
}

std::vector<FieldDef> ReadFields(Connection& db) {
    std::vector<FieldDef> fields;
    std::set<std::string> seen;
    Stmt stmt = db.Prepare("SELECT name, type, size FROM fields ORDER BY ord");
    while (db.Step(stmt.get())) {
        FieldDef field;
        field.name = ColumnText(stmt.get(), 0);
        const std::string type = ColumnText(stmt.get(), 1);
        if (field.name.empty())
            db.Fail("field " + std::to_string(fields.size() + 1) + " has no name");
        if (!seen.insert(LowerAscii(field.name)).second)
            db.Fail("field " + field.name + " is declared twice");
        if (type == "text") {
            field.type = FieldType::Text;
            const sqlite3_int64 size = sqlite3_column_int64(stmt.get(), 2);
            if (sqlite3_column_type(stmt.get(), 2) != SQLITE_INTEGER || size <= 0 ||
                size > 1'000'000)
                db.Fail("text field " + field.name + " has no valid size");
            field.size = int(size);
        } else if (type == "integer") {
            field.type = FieldType::Integer;
        } else if (type == "date") {
            field.type = FieldType::Date;
        } else {
            db.Fail("field " + field.name + " has the unknown type '" + type + "'");
        }
        fields.push_back(std::move(field));
    }
    if (fields.empty())
        db.Fail("no fields are declared");
    return fields;
}

void CheckRecordColumns(Connection& db, const std::vector<FieldDef>& fields) {
    Stmt stmt = db.Prepare("PRAGMA table_info(records)");
    std::size_t column = 0;
    while (db.Step(stmt.get())) {
        const std::string name = ColumnText(stmt.get(), 1);
        if (column >= fields.size())
            db.Fail("records has the undeclared column " + name);
        if (!EqualsIgnoreAsciiCase(name, fields[column].name))
            db.Fail("column " + std::to_string(column + 1) + " of records is " + name +
                    ", expected " + fields[column].name);
        ++column;
    }
    if (column == 0)
        db.Fail("no such table: records");
    if (column < fields.size())
        db.Fail("records lacks the column " + fields[column].name);
}

std::vector<Record> ReadRecords(Connection& db, const std::vector<FieldDef>& fields) {
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < fields.size(); ++i)
        sql += (i ? ", " : "") + Quoted(fields[i].name);
    Stmt stmt = db.Prepare(sql + " FROM records ORDER BY rowid");
    std::vector<Record> records;
    while (db.Step(stmt.get())) {
        Record record(fields.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const int column = int(i);
            const int type = sqlite3_column_type(stmt.get(), column);
            if (type == SQLITE_NULL)
                continue;
            const FieldDef& field = fields[i];
            auto bad = [&](const std::string& what) {
                db.Fail("record " + std::to_string(records.size() + 1) + ", field " + field.name +
                        ": " + what);
            };
            switch (field.type) {
            case FieldType::Text:
                if (type != SQLITE_TEXT && type != SQLITE_BLOB)
                    bad("not a text");
                else
                    record[i] = CutToChars(ColumnText(stmt.get(), column), std::size_t(field.size));
                break;
            case FieldType::Integer: {
                const sqlite3_int64 number = sqlite3_column_int64(stmt.get(), column);
                if (type != SQLITE_INTEGER || number < INT32_MIN || number > INT32_MAX)
                    bad("not a 32-bit integer");
                else
                    record[i] = std::int32_t(number);
                break;
            }
            case FieldType::Date: {
                const std::string text = ColumnText(stmt.get(), column);
                auto date = type == SQLITE_TEXT ? Date::FromIso(text) : std::nullopt;
                if (!date)
                    bad("'" + text + "' is not a date");
                else
                    record[i] = *date;
                break;
            }
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

void WriteTable(Connection& db, const TClientDataSet& table) {
    db.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=NORMAL; BEGIN");
    db.Exec("CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT);"
            "CREATE TABLE fields(ord INTEGER PRIMARY KEY, name TEXT NOT NULL, "
            "type TEXT NOT NULL, size INTEGER);"
            "CREATE TABLE sort_orders(name TEXT, fields TEXT)");

    Stmt meta = db.Prepare("INSERT INTO meta VALUES (?, ?)");
    for (const auto& [key, value] :
         {std::pair<std::string, std::string>{"format", kFormat}, {"table", table.Name()}}) {
        sqlite3_bind_text(meta.get(), 1, key.data(), int(key.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(meta.get(), 2, value.data(), int(value.size()), SQLITE_TRANSIENT);
        db.Run(meta.get());
    }

    const std::vector<FieldDef>& fields = table.Fields();
    Stmt field = db.Prepare("INSERT INTO fields VALUES (?, ?, ?, ?)");
    std::string columns, placeholders;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        sqlite3_bind_int64(field.get(), 1, sqlite3_int64(i + 1));
        sqlite3_bind_text(field.get(), 2, f.name.data(), int(f.name.size()), SQLITE_STATIC);
        sqlite3_bind_text(field.get(), 3, TypeName(f.type), -1, SQLITE_STATIC);
        if (f.type == FieldType::Text)
            sqlite3_bind_int64(field.get(), 4, f.size);
        else
            sqlite3_bind_null(field.get(), 4);
        db.Run(field.get());
        columns += (i ? ", " : "") + Quoted(f.name) +
                   (f.type == FieldType::Integer ? " INTEGER" : " TEXT");
        placeholders += i ? ", ?" : "?";
    }

    Stmt order = db.Prepare("INSERT INTO sort_orders VALUES (?, ?)");
    auto addOrder = [&](const std::string& name, const std::string& list) {
        sqlite3_bind_text(order.get(), 1, name.data(), int(name.size()), SQLITE_STATIC);
        sqlite3_bind_text(order.get(), 2, list.data(), int(list.size()), SQLITE_STATIC);
        db.Run(order.get());
    };
    if (!table.IndexFieldNames().empty())
        addOrder("", table.IndexFieldNames());
    for (const auto& index : table.Indexes())
        addOrder(index.name, index.fields);

    db.Exec("CREATE TABLE records(" + columns + ")");
    Stmt insert = db.Prepare("INSERT INTO records VALUES (" + placeholders + ")");
    std::string dateText;
    for (const Record& record : table.AllRecords()) {
        for (std::size_t i = 0; i < record.size(); ++i) {
            const int column = int(i) + 1;
            const Value& value = record[i];
            if (auto* text = std::get_if<std::string>(&value))
                sqlite3_bind_text(insert.get(), column, text->data(), int(text->size()),
                                  SQLITE_STATIC);
            else if (auto* number = std::get_if<std::int32_t>(&value))
                sqlite3_bind_int(insert.get(), column, *number);
            else if (auto* date = std::get_if<Date>(&value)) {
                dateText = date->ToIso();
                sqlite3_bind_text(insert.get(), column, dateText.data(), int(dateText.size()),
                                  SQLITE_TRANSIENT);
            } else
                sqlite3_bind_null(insert.get(), column);
        }
        db.Run(insert.get());
    }
    insert.reset();
    meta.reset();
    field.reset();
    order.reset();
    db.Exec("COMMIT");
}

} // namespace

void TClientDataSet::LoadFromFile(const std::string& path) {
    const std::string full = FullPath(path);
    std::error_code ec;
    if (!fs::is_regular_file(full, ec))
        throw TableError("Cannot open file " + full);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(full.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Db handle(raw);
    if (rc != SQLITE_OK)
        throw TableError("Cannot open file " + full);
    Connection db(std::move(handle), "File " + full + " is damaged: ");

    Stmt format = db.Prepare("SELECT value FROM meta WHERE key = 'format'");
    if (!db.Step(format.get()))
        db.Fail("it carries no format mark");
    const std::string mark = ColumnText(format.get(), 0);
    if (mark != kFormat)
        db.Fail("unknown format '" + mark + "'");
    format.reset();

    std::vector<FieldDef> fields = ReadFields(db);
    db.Prepare("SELECT name, fields FROM sort_orders"); // part of the layout
    CheckRecordColumns(db, fields);
    std::vector<Record> records = ReadRecords(db, fields);
    try {
        Replace(std::move(fields), std::move(records));
    } catch (const TableError& e) {
        throw TableError("File " + full + " does not fit table " + name_ + ": " + e.what());
    }
}

void TClientDataSet::SaveToFile(const std::string& path) {
    CheckBrowseMode();
    const std::string full = FullPath(path);
    const std::string temp = full + ".tmp";
    std::error_code ec;
    if (fs::is_directory(full, ec))
        throw TableError("Cannot create file " + full);
    fs::remove(temp, ec); // a leftover of an interrupted save
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(temp.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Db handle(raw);
    if (rc != SQLITE_OK)
        throw TableError("Cannot create file " + full);

    struct TempRemover {
        const std::string& path;
        bool keep = false;
        ~TempRemover() {
            std::error_code ignored;
            if (!keep)
                fs::remove(path, ignored);
        }
    } remover{temp};

    Connection db(std::move(handle), "Cannot write file " + full + ": ");
    WriteTable(db, *this);
    db.Close();
    fs::rename(temp, full, ec);
    if (ec)
        throw TableError("Cannot create file " + full);
    remover.keep = true;
}

void SaveDataSet(TClientDataSet& table, const std::string& path) {
    table.SaveToFile(path);
}

} // namespace quorvia
