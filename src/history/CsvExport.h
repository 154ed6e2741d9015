#pragma once
// CSV export of what the program shows and keeps: RFC 4180 quoting, UTF-8 as the texts are
// kept, CR LF line ends, a header row. The window's "Export..." and the command-line tool
// write through these same functions, so both give the same file.
//
//   ExportResultRowsCsv(tables.ResClientDataSet, "rankings.csv");
//   ExportHistoryCsv(history, "www.site.example", "history.csv");
//
// A file is written under a temporary name beside it and renamed over the target only when
// complete: on any failure (ExportError, naming the file) an existing file stays whole.

#include "history/HistoryStore.h"
#include "store/Table.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvia {

class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One field: quoted when it holds a quote, comma, CR or LF (quotes doubled), else as it is.
void AppendCsvField(std::string& out, std::string_view field);

// Writes the file through a temporary beside it. write gets a buffer to append to and a
// function that passes the buffer on to the file (to bound memory on long exports).
void WriteFileWhole(
    const std::string& path,
    const std::function<void(std::string& buffer, const std::function<void()>& flush)>& write);

// The result rows of the grid (ResClientDataSet as built for the current site): one line per
// keyword-and-page row, engine rows folded into the "Search engine" column.
void ExportResultRowsCsv(TClientDataSet& resultRows, const std::string& path);

// The history of one site (every site when nothing): date, site, engine, keyword, url,
// position, page, depth; a check that met no page of the site has "not found" as position.
void ExportHistoryCsv(THistoryStore& history, const std::optional<std::string>& site,
                      const std::string& path);

} // namespace quorvia
