// Exports are assembled in a buffer that goes to the file in large pieces; the file is made
// durable (fsync) before it takes the target's name.

#include "history/CsvExport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include <unistd.h>

namespace quorvia {

namespace {

constexpr std::size_t kFlushSize = 1 << 20;

void EndRow(std::string& out) {
    out.back() = '\r'; // the last field's comma
    out += '\n';
}

void AddField(std::string& out, std::string_view field) {
    AppendCsvField(out, field);
    out += ',';
}

void AddNumber(std::string& out, const Value& value) {
    if (const auto* n = std::get_if<std::int32_t>(&value))
        out += std::to_string(*n);
    out += ',';
}

void AddDate(std::string& out, const Value& value) {
    if (const auto* d = std::get_if<Date>(&value))
        out += d->ToIso();
    out += ',';
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

void AppendCsvField(std::string& out, std::string_view field) {
    if (field.find_first_of("\",\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void WriteFileWhole(
    const std::string& path,
    const std::function<void(std::string& buffer, const std::function<void()>& flush)>& write) {
    const std::string temp = path + ".tmp";
    const auto fail = [&](int error) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw ExportError("Could not write \"" + path + "\": " + std::strerror(error) +
                          ". Nothing was changed.");
    };
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temp.c_str(), "wb"));
    if (!file)
        fail(errno);
    std::string buffer;
    int error = 0;
    const std::function<void()> flush = [&] {
        if (!error && !buffer.empty() &&
            std::fwrite(buffer.data(), 1, buffer.size(), file.get()) != buffer.size())
            error = errno ? errno : EIO;
        buffer.clear();
    };
    try {
        write(buffer, flush);
    } catch (...) {
        file.reset();
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw;
    }
    flush();
    if (!error && (std::fflush(file.get()) != 0 || ::fsync(fileno(file.get())) != 0))
        error = errno;
    if (std::fclose(file.release()) != 0 && !error)
        error = errno;
    if (error)
        fail(error);
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        fail(errno);
}

void ExportResultRowsCsv(TClientDataSet& rows, const std::string& path) {
    const auto field = [&](const char* name) { return rows.FindFieldIndex(name); };
    const int engine = field("SENAME"), keyword = field("Keyword"), url = field("url");
    const int numbers[] = {field("Page"),         field("Position"),     field("ChangePosition"),
                           field("BestPosition"), field("LastPosition"), field("LastPage"),
                           field("BestPage"),     field("ChangePage")};
    const int dates[] = {field("DT"), field("DTLast"), field("DTBest")};
    WriteFileWhole(path, [&](std::string& out, const std::function<void()>& flush) {
        out += "Search engine,Keyword,Web page,Page,Position,Change,Best Position,LastPosition,"
               "LastPage,BestPage,ChangePage,Checked on,Previous check,Best on\r\n";
        for (int row = 0; row < rows.RecordCount(); ++row) {
            if (std::holds_alternative<std::monostate>(rows.ValueAt(row, url)))
                continue; // an engine row: its name is in every row of its block
            AddField(out, rows.TextAt(row, engine));
            AddField(out, rows.TextAt(row, keyword));
            AddField(out, rows.TextAt(row, url));
            for (int n : numbers)
                AddNumber(out, rows.ValueAt(row, n));
            for (int d : dates)
                AddDate(out, rows.ValueAt(row, d));
            EndRow(out);
            if (out.size() > kFlushSize)
                flush();
        }
    });
}

void ExportHistoryCsv(THistoryStore& history, const std::optional<std::string>& site,
                      const std::string& path) {
    WriteFileWhole(path, [&](std::string& out, const std::function<void()>& flush) {
        out += "date,site,engine,keyword,url,position,page,depth\r\n";
        std::string date;
        Date lastDate;
        history.ForEachRow(site, [&](const THistoryRow& row) {
            if (date.empty() || row.date != lastDate) {
                lastDate = row.date;
                date = row.date.ToIso();
            }
            out += date;
            out += ',';
            AddField(out, row.site);
            AddField(out, row.engine);
            AddField(out, row.keyword);
            AddField(out, row.url);
            if (row.position > 0) {
                out += std::to_string(row.position);
                out += ',';
                out += std::to_string(row.page);
                out += ',';
            } else {
                out += "not found,,";
            }
            if (row.depth > 0)
                out += std::to_string(row.depth);
            out += "\r\n";
            if (out.size() > kFlushSize)
                flush();
        });
    });
}

} // namespace quorvia
