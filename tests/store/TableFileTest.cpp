#include "store/Tables.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <random>

using namespace quorvia;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ExecSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

class TableFiles : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const {
        return dir.path().toStdString() + "/" + name;
    }

    // Two sites with rankings; a quote and multi-byte text in the values, nulls left open.
    void Fill(TTables& t) {
        for (const char* site : {"a.com", "b.com"}) {
            t.WebSiteClientDataSet.Append();
            t.WebSiteClientDataSet.FieldByName("SiteName").SetAsString(site);
            t.WebSiteClientDataSet.Post();
            for (int i = 0; i < 3; ++i) {
                TClientDataSet& c = t.SECacheClientDataSet;
                c.Append();
                c.FieldByName("SENAME").SetAsString("Web");
                c.FieldByName("Keyword").SetAsString("o'neil \xC3\xA9t\xC3\xA9");
                c.FieldByName("url").SetAsString(std::string("http://") + site + "/" +
                                                 std::to_string(i));
                c.FieldByName("Position").SetAsInteger(i); // 0 is a value, not null
                if (i == 1)
                    c.FieldByName("DTLast").SetAsDate(Date(2026, 2, 28));
                c.FieldByName("DT").SetAsDate(Date());
                c.Post();
            }
        }
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(TableFiles, RoundTripKeepsFieldsRecordsAndNulls) {
    TTables saved;
    Fill(saved);
    SaveDataSet(saved.WebSiteClientDataSet, Path("WebSite.cds"));
    SaveDataSet(saved.SECacheClientDataSet, Path("SECache.cds")); // all sites, not just the current
    EXPECT_FALSE(std::filesystem::exists(Path("SECache.cds.tmp")));

    TTables loaded;
    loaded.SECacheClientDataSet.LoadFromFile(Path("SECache.cds"));
    loaded.WebSiteClientDataSet.LoadFromFile(Path("WebSite.cds"));
    EXPECT_EQ(loaded.SECacheClientDataSet.AllRecords(), saved.SECacheClientDataSet.AllRecords());
    EXPECT_EQ(loaded.WebSiteClientDataSet.AllRecords(), saved.WebSiteClientDataSet.AllRecords());

    TClientDataSet& c = loaded.SECacheClientDataSet;
    EXPECT_EQ(c.RecordCount(), 3); // the master link applies to the loaded records
    ASSERT_TRUE(c.Locate("url", {"http://a.com/0"}));
    EXPECT_FALSE(c.FieldByName("Position").IsNull());
    EXPECT_TRUE(c.FieldByName("LastPosition").IsNull());
    EXPECT_TRUE(c.FieldByName("DTLast").IsNull());
    EXPECT_FALSE(c.FieldByName("DT").IsNull());
    EXPECT_EQ(c.FieldByName("Keyword").AsString(), "o'neil \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(c.Fields()[3].size, 250);
}

TEST_F(TableFiles, LoadReplacesRecordsAndTakesTheStoredFields) {
    TClientDataSet wide("Wide", {TextField("SiteName", 10), IntegerField("Extra")});
    wide.Append();
    wide.FieldByName("SiteName").SetAsString("x");
    wide.FieldByName("Extra").SetAsInteger(7);
    wide.Post();
    SaveDataSet(wide, Path("wide.cds"));

    TTables t;
    t.WebSiteClientDataSet.Append();
    t.WebSiteClientDataSet.FieldByName("SiteName").SetAsString("old");
    t.WebSiteClientDataSet.Post();
    t.WebSiteClientDataSet.LoadFromFile(Path("wide.cds"));
    EXPECT_EQ(t.WebSiteClientDataSet.RecordCount(), 1);
    EXPECT_EQ(t.WebSiteClientDataSet.FieldByName("extra").AsInteger(), 7);
    EXPECT_EQ(t.WebSiteClientDataSet.Fields()[0].size, 10);

    // A file lacking a field the table sorts on is refused, and the table stays as it was.
    TTables other;
    Fill(other);
    EXPECT_THROW(other.SECacheClientDataSet.LoadFromFile(Path("wide.cds")), TableError);
    EXPECT_EQ(other.SECacheClientDataSet.AllRecords().size(), 6u);
}

TEST_F(TableFiles, SaveFinishesAPendingEdit) {
    TTables t;
    TClientDataSet& sites = t.WebSiteClientDataSet;
    sites.Append();
    sites.FieldByName("SiteName").SetAsString("typed");
    SaveDataSet(sites, Path("a.cds")); // changed: posted
    sites.Append();
    SaveDataSet(sites, Path("b.cds")); // untouched: dropped

    for (const char* file : {"a.cds", "b.cds"}) {
        TTables back;
        back.WebSiteClientDataSet.LoadFromFile(Path(file));
        EXPECT_EQ(back.WebSiteClientDataSet.RecordCount(), 1) << file;
        EXPECT_EQ(back.WebSiteClientDataSet.FieldByName("SiteName").AsString(), "typed");
    }
    EXPECT_EQ(sites.State(), TableState::Browse);
}

TEST_F(TableFiles, MissingFileAndUnwritablePlaceAreReportedByPath) {
    TTables t;
    const std::string missing = Path("nope.cds");
    try {
        t.WebSiteClientDataSet.LoadFromFile(missing);
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }

    std::ofstream(Path("plain")) << "a file, not a folder";
    for (const std::string& target : {Path("plain") + "/WebSite.cds", dir.path().toStdString()}) {
        try {
            SaveDataSet(t.WebSiteClientDataSet, target);
            FAIL() << target;
        } catch (const TableError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file " + target);
        }
    }
}

TEST_F(TableFiles, FailedSaveLeavesTheOldFileAlone) {
    TTables t;
    Fill(t);
    const std::string path = Path("SECache.cds");
    SaveDataSet(t.SECacheClientDataSet, path);
    const std::string before = ReadAll(path);

    // The temporary file's place is taken by a folder that cannot be removed.
    std::filesystem::create_directories(path + ".tmp/busy");
    t.SECacheClientDataSet.EmptyDataSet();
    EXPECT_THROW(SaveDataSet(t.SECacheClientDataSet, path), TableError);
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(TableFiles, DamagedFilesAreRefusedWithTheFileAndTheFault) {
    TTables good;
    Fill(good);
    const std::string valid = Path("valid.cds");
    SaveDataSet(good.SECacheClientDataSet, valid);

    auto copyValid = [&](const std::string& name) {
        std::filesystem::copy_file(valid, Path(name));
        return Path(name);
    };
    std::string random(4096, '\0');
    std::mt19937 gen(7);
    for (char& c : random)
        c = char(gen());

    struct Case {
        std::string name;
        std::function<void(const std::string&)> make; // damages the file at the path
        std::string fault;
    };
    const std::vector<Case> cases = {
        {"empty.cds", [](const std::string& p) { std::ofstream{p}; }, "no such table: meta"},
        {"random.cds", [&](const std::string& p) { std::ofstream(p, std::ios::binary) << random; },
         "not a database"},
        {"other.cds", [](const std::string& p) { ExecSql(p, "CREATE TABLE t(a, b)"); },
         "no such table: meta"},
        {"format.cds",
         [](const std::string& p) {
             ExecSql(p, "UPDATE meta SET value = 'something else' WHERE key = 'format'");
         },
         "unknown format"},
        {"column.cds",
         [](const std::string& p) { ExecSql(p, "ALTER TABLE records RENAME COLUMN url TO link"); },
         "column 4 of records is link"},
        {"extra.cds",
         [](const std::string& p) { ExecSql(p, "ALTER TABLE records ADD COLUMN more"); },
         "undeclared column more"},
        {"type.cds",
         [](const std::string& p) { ExecSql(p, "UPDATE fields SET type = 'blob' WHERE ord = 2"); },
         "unknown type 'blob'"},
        {"value.cds",
         [](const std::string& p) { ExecSql(p, "UPDATE records SET Position = 'five'"); },
         "field Position: not a 32-bit integer"},
        {"date.cds",
         [](const std::string& p) { ExecSql(p, "UPDATE records SET DT = '2026-13-01'"); },
         "'2026-13-01' is not a date"},
        {"nosize.cds",
         [](const std::string& p) { ExecSql(p, "UPDATE fields SET size = NULL WHERE ord = 1"); },
         "no valid size"},
    };
    for (const Case& c : cases) {
        std::string path = Path(c.name);
        if (c.name == "empty.cds" || c.name == "random.cds" || c.name == "other.cds")
            c.make(path);
        else
            c.make(path = copyValid(c.name));
        TTables t;
        Fill(t);
        try {
            t.SECacheClientDataSet.LoadFromFile(path);
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const TableError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("File " + path + " is damaged"), std::string::npos) << message;
            EXPECT_NE(message.find(c.fault), std::string::npos) << message;
        }
        EXPECT_EQ(t.SECacheClientDataSet.AllRecords().size(), 6u) << c.name;
    }
}
