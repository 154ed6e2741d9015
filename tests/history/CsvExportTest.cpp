// The CSV files read back by a reader written to RFC 4180, and an export that fails leaving
// the file it would have replaced whole.

#include "history/CsvExport.h"
#include "store/Tables.h"

#include "FileSizeLimit.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <sstream>

using namespace quorvia;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// RFC 4180: fields split at commas, records at CR LF; a quoted field may hold commas, CR, LF
// and doubled quotes. Anything else malformed fails the test.
Rows ReadCsv(const std::string& text) {
    Rows rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = rows.back().back();
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
                EXPECT_TRUE(i + 1 == text.size() || text[i + 1] == ',' || text[i + 1] == '\r')
                    << "text after a closing quote at " << i;
            }
        } else if (c == '"') {
            EXPECT_TRUE(field.empty()) << "a quote inside an unquoted field at " << i;
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r') {
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "a bare CR at " << i;
            ++i;
            rows.emplace_back(1);
        } else {
            EXPECT_NE(c, '\n') << "a bare LF at " << i;
            field += c;
        }
    }
    EXPECT_FALSE(quoted) << "an open quote at the end";
    EXPECT_EQ(rows.back(), std::vector<std::string>(1)) << "no line end after the last row";
    rows.pop_back();
    return rows;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kTricky =
    "say \"hi\", then\nbye \xC3\xBC\xC3\xA9 \xE2\x80\x94 r\xC3\xA9sum\xC3\xA9";

} // namespace

TEST(CsvExport, ATrickyKeywordComesBackWholeFromHistoryAndFromTheGrid) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    THistoryStore history(folder + "/History.db", nullptr);
    TPairMeasurement m{"site.example", "Web, \"the\" one", kTricky, 50, Date(2026, 5, 17), {}, {}};
    m.results = {{1, 1, "http://a.test/x,y"}, {2, 1, "http://www.site.example/p"}};
    m.found = {m.results[1]};
    history.Append(m);
    m.date = Date(2026, 5, 18);
    m.found.clear();
    history.Append(m);
    ExportHistoryCsv(history, std::string("site.example"), folder + "/history.csv");
    EXPECT_EQ(ReadCsv(FileText(folder + "/history.csv")),
              (Rows{{"date", "site", "engine", "keyword", "url", "position", "page", "depth"},
                    {"2026-05-17", "site.example", "Web, \"the\" one", kTricky,
                     "http://www.site.example/p", "2", "1", "50"},
                    {"2026-05-18", "site.example", "Web, \"the\" one", kTricky, "", "not found", "",
                     "50"}}));
    ExportHistoryCsv(history, std::string("nobody.example"), folder + "/none.csv");
    EXPECT_EQ(ReadCsv(FileText(folder + "/none.csv")).size(), 1u);

    TTables tables;
    TClientDataSet& rows = tables.ResClientDataSet;
    rows.Append(); // an engine row
    rows.FieldByName("SENAME").SetAsString("Web");
    rows.FieldByName("Keyword").SetAsString("Web");
    rows.Post();
    rows.Append();
    rows.FieldByName("SENAME").SetAsString("Web");
    rows.FieldByName("Keyword").SetAsString(kTricky);
    rows.FieldByName("url").SetAsString("/p?a=1,b=\"2\"");
    rows.FieldByName("Position").SetAsInteger(7);
    rows.FieldByName("Page").SetAsInteger(1);
    rows.FieldByName("ChangePosition").SetAsInteger(-3);
    rows.FieldByName("BestPosition").SetAsInteger(4);
    rows.FieldByName("DT").SetAsDate(Date(2026, 5, 18));
    rows.Post();
    ExportResultRowsCsv(rows, folder + "/grid.csv");
    const Rows grid = ReadCsv(FileText(folder + "/grid.csv"));
    ASSERT_EQ(grid.size(), 2u);
    EXPECT_EQ(grid[0][0], "Search engine");
    EXPECT_EQ(grid[1], (std::vector<std::string>{"Web", kTricky, "/p?a=1,b=\"2\"", "1", "7", "-3",
                                                 "4", "", "", "", "", "2026-05-18", "", ""}));
    EXPECT_EQ(grid[0].size(), grid[1].size());
}

TEST(CsvExport, AFailedWriteLeavesTheExistingFileWhole) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string target = folder + "/rankings.csv";
    std::ofstream(target, std::ios::binary) << "the user's earlier export\r\n";
    const std::string big(3 << 20, 'x');
    const auto write = [&](std::string& out, const std::function<void()>& flush) {
        out += big;
        flush();
    };

    std::string message;
    try {
        const quorvia::testing::TFileSizeLimit full(64 << 10);
        WriteFileWhole(target, write);
    } catch (const ExportError& e) {
        message = e.what();
    }
    EXPECT_NE(message.find(target), std::string::npos) << message;

    // And a folder that does not exist.
    EXPECT_THROW(WriteFileWhole(folder + "/missing/x.csv", write), ExportError);

    EXPECT_EQ(FileText(target), "the user's earlier export\r\n");
    EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
    WriteFileWhole(target, write);
    EXPECT_EQ(FileText(target), big);
}
