// The result rows and the width row rebuilt from the ranking records, and CurrentEngine
// following the current row. Text is measured at 6 pixels a character.
#include "view/ResultsViewBuilder.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

using namespace quorvia;

namespace {

constexpr int kCharWidth = 6;

struct RankingRecord {
    std::string site, engine, keyword, url;
    std::map<std::string, int> numbers;
    std::map<std::string, Date> dates;
};

// What a result row shows, for comparing whole tables.
struct Row {
    std::string engine, keyword;
    std::optional<std::string> url; // none: an engine row
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{" << row.engine << ", " << row.keyword << ", "
               << (row.url ? *row.url : "<engine row>") << "}";
}

class ResultsViewBuilderTest : public ::testing::Test {
protected:
    ResultsViewBuilderTest()
        : builder(tables, [](std::string_view text) { return int(text.size()) * kCharWidth; }) {
        builder.RepaintGrid = [this] { ++repaints; };
        for (const char* site : {"www.Example.com", "other.org"}) {
            tables.WebSiteClientDataSet.Append();
            tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString(site);
            tables.WebSiteClientDataSet.Post();
        }
        SetKeywords("www.Example.com", {"seo", "red shoes", "", ""});
        SetKeywords("other.org", {"seo", "", "", ""});
        ChooseSite("www.Example.com");
    }

    void ChooseSite(const std::string& site) {
        ASSERT_TRUE(tables.WebSiteClientDataSet.Locate("SiteName", {Value(site)}));
        siteName = site;
    }

    void SetKeywords(const std::string& site, const std::vector<std::string>& words) {
        ChooseSite(site);
        TClientDataSet& table = tables.WordClientDataSet;
        table.Edit();
        for (int i = 0; i < 4; ++i)
            table.FieldByName("Word" + std::to_string(i + 1)).SetAsString(words[std::size_t(i)]);
        table.Post();
    }

    void Add(const RankingRecord& record) {
        const std::string chosen = siteName;
        ChooseSite(record.site);
        TClientDataSet& table = tables.SECacheClientDataSet;
        table.Append();
        table.FieldByName("SENAME").SetAsString(record.engine);
        table.FieldByName("Keyword").SetAsString(record.keyword);
        table.FieldByName("url").SetAsString(record.url);
        for (const auto& [field, value] : record.numbers)
            table.FieldByName(field).SetAsInteger(value);
        for (const auto& [field, value] : record.dates)
            table.FieldByName(field).SetAsDate(value);
        table.Post();
        ChooseSite(chosen);
    }

    void Refresh() { builder.RefreshResults(siteName, engines); }

    std::vector<Row> Rows() {
        TClientDataSet& t = tables.ResClientDataSet;
        std::vector<Row> rows;
        for (int r = 0; r < t.RecordCount(); ++r) {
            Row row{t.TextAt(r, t.FindFieldIndex("SENAME")),
                    t.TextAt(r, t.FindFieldIndex("Keyword")), std::nullopt};
            if (!std::holds_alternative<std::monostate>(t.ValueAt(r, t.FindFieldIndex("url"))))
                row.url = t.TextAt(r, t.FindFieldIndex("url"));
            rows.push_back(row);
        }
        return rows;
    }

    const Value& ResultValue(int row, const char* field) {
        return tables.ResClientDataSet.ValueAt(row, tables.ResClientDataSet.FindFieldIndex(field));
    }

    int Width(const char* field) {
        TClientDataSet& widths = tables.ResMinClientDataSet;
        EXPECT_EQ(widths.RecordCount(), 1);
        return widths.FieldByName(field).AsInteger();
    }

    TTables tables;
    TResultsViewBuilder builder;
    std::string siteName;
    std::vector<TEngineListItem> engines{{"Alpha", true}, {"Beta", true}, {"Gamma", false}};
    int repaints = 0;
};

const char* const kWidthFields[] = {
    "TextChangePositionMax", "TextPositionMax", "TextLastPositionMax", "TextBestPositionMax",
    "TextPageMax",           "TextLastPageMax", "TextBestPageMax"};

} // namespace

TEST_F(ResultsViewBuilderTest, EnginesInSourceOrderEachUnderOneEngineRow) {
    Add({"www.Example.com", "Beta", "seo", "http://example.com/b", {{"Position", 4}}, {}});
    Add({"www.Example.com", "Alpha", "seo", "http://www.example.com/Path/Page.html", {}, {}});
    Add({"www.Example.com", "Alpha", "red shoes", "http://EXAMPLE.com/", {}, {}});
    Add({"www.Example.com", "Alpha", "seo", "http://www.example.com", {}, {}});
    Add({"www.Example.com", "Gamma", "seo", "http://example.com/g", {}, {}}); // unticked
    Add({"www.Example.com", "Delta", "seo", "http://example.com/d", {}, {}}); // not listed
    Add({"www.Example.com", "Alpha", "old keyword", "http://example.com/o", {}, {}});
    Add({"other.org", "Alpha", "seo", "http://other.org/x", {}, {}});
    Add({"www.Example.com", "Alpha", "SEO", "http://example.com/case", {}, {}});
    Refresh();
    // Keywords in sort order within an engine, addresses by url; the path keeps its case.
    const std::vector<Row> expected = {
        {"Alpha", "Alpha", std::nullopt},    {"Alpha", "red shoes", "/"},    {"Alpha", "seo", "/"},
        {"Alpha", "seo", "/Path/Page.html"}, {"Beta", "Beta", std::nullopt}, {"Beta", "seo", "/b"},
    };
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(tables.ResClientDataSet.RecNo(), 0);
    EXPECT_EQ(builder.CurrentEngine(), "Alpha");
    // Hidden records stay where they are.
    EXPECT_EQ(tables.SECacheClientDataSet.RecordCount(), 8);

    // The keyword typed back shows its records again; the same keyword in two boxes still
    // gives each record one row.
    SetKeywords("www.Example.com", {"seo", "old keyword", "seo", ""});
    Refresh();
    const std::vector<Row> again = {
        {"Alpha", "Alpha", std::nullopt},    {"Alpha", "old keyword", "/o"}, {"Alpha", "seo", "/"},
        {"Alpha", "seo", "/Path/Page.html"}, {"Beta", "Beta", std::nullopt}, {"Beta", "seo", "/b"},
    };
    EXPECT_EQ(Rows(), again);

    // The other site shows its own records only.
    ChooseSite("other.org");
    Refresh();
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Alpha", "Alpha", std::nullopt}, {"Alpha", "seo", "/x"}}));
}

TEST_F(ResultsViewBuilderTest, PairsTheLastScanCouldNotCheckHaveARowEvenWithoutRecords) {
    Add({"www.Example.com", "Beta", "seo", "http://example.com/b", {{"Position", 4}}, {}});
    TPairMarks marks;
    marks.PairEnded("www.Example.com", "Beta", "seo", "Connection error: 500");       // has a row
    marks.PairEnded("www.Example.com", "Beta", "red shoes", "Connection error: 500"); // has none
    marks.PairEnded("www.Example.com", "Alpha", "seo", "No results were recognised"); // no records
    marks.PairEnded("www.Example.com", "Gamma", "seo", "Connection error: 500");      // unticked
    marks.PairEnded("www.Example.com", "Alpha", "old keyword", "gone");               // not typed
    marks.PairEnded("other.org", "Beta", "seo", "another site's");
    builder.SetPairMarks(&marks);
    Refresh();
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Beta", "Beta", std::nullopt},
                                        {"Beta", "seo", "/b"},
                                        {"Beta", "red shoes", ""},
                                        {"Alpha", "Alpha", std::nullopt},
                                        {"Alpha", "seo", ""}}));
    // Checked again: the extra rows go, the records' rows stay as they were.
    for (const char* engine : {"Alpha", "Beta"})
        for (const char* keyword : {"seo", "red shoes"})
            marks.PairEnded("www.Example.com", engine, keyword, "");
    Refresh();
    EXPECT_EQ(Rows(), (std::vector<Row>{{"Beta", "Beta", std::nullopt}, {"Beta", "seo", "/b"}}));
    EXPECT_NE(marks.Failure("other.org", "Beta", "seo"), nullptr);
}

TEST_F(ResultsViewBuilderTest, APageRowGivesTheFullAddressOfItsRecord) {
    Add({"www.Example.com", "Alpha", "seo", "https://www.example.com/Path/Page.html", {}, {}});
    Add({"www.Example.com", "Alpha", "seo", "http://EXAMPLE.com/", {}, {}});
    Add({"www.Example.com", "Beta", "seo", "http://example.com/b", {}, {}});
    Add({"www.Example.com", "Beta", "red shoes", "Not in first 50 results", {}, {}});
    Refresh();
    // Alpha, /, /Path/Page.html, Beta, Not in first..., /b
    const std::vector<std::string> expected = {
        "", "http://EXAMPLE.com/", "https://www.example.com/Path/Page.html", "",
        "", "http://example.com/b"};
    ASSERT_EQ(tables.ResClientDataSet.RecordCount(), int(expected.size()));
    for (int row = 0; row < int(expected.size()); ++row)
        EXPECT_EQ(builder.PageAddress(row), expected[std::size_t(row)]) << row;
    EXPECT_EQ(builder.PageAddress(99), "");
}

TEST_F(ResultsViewBuilderTest, ResultRowsCopyTheRecordsNumbersAndDates) {
    Add({"www.Example.com",
         "Alpha",
         "seo",
         "http://example.com/a",
         {{"Position", 3},
          {"LastPosition", 5},
          {"BestPosition", 2},
          {"ChangePosition", 0},
          {"Page", 1},
          {"LastPage", 1},
          {"BestPage", 1},
          {"ChangePage", 0}},
         {{"DT", Date(2026, 3, 4)}, {"DTLast", Date(2026, 3, 1)}, {"DTBest", Date(2026, 2, 1)}}});
    // The not-found record of a depth-50 scan that kept a best.
    Add({"www.Example.com",
         "Alpha",
         "red shoes",
         "Not in first 50 results",
         {{"BestPosition", 9}, {"BestPage", 1}, {"LastPosition", 12}},
         {{"DT", Date(2026, 3, 4)}, {"DTBest", Date(2026, 1, 5)}}});
    Refresh();
    ASSERT_EQ(Rows(), (std::vector<Row>{{"Alpha", "Alpha", std::nullopt},
                                        {"Alpha", "red shoes", "Not in first 50 results"},
                                        {"Alpha", "seo", "/a"}}));
    // The engine row carries the site and nothing else.
    EXPECT_EQ(tables.ResClientDataSet.TextAt(0, 0), "www.Example.com");
    for (const char* field : {"Position", "BestPosition", "ChangePage", "DT", "DTBest"})
        EXPECT_TRUE(std::holds_alternative<std::monostate>(ResultValue(0, field))) << field;

    EXPECT_TRUE(std::holds_alternative<std::monostate>(ResultValue(1, "Position")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(ResultValue(1, "Page")));
    EXPECT_EQ(ResultValue(1, "BestPosition"), Value(9));
    EXPECT_EQ(ResultValue(1, "DTBest"), Value(Date(2026, 1, 5)));

    EXPECT_EQ(ResultValue(2, "Position"), Value(3));
    EXPECT_EQ(ResultValue(2, "LastPosition"), Value(5));
    EXPECT_EQ(ResultValue(2, "DTLast"), Value(Date(2026, 3, 1)));
    // A change of 0 is left null; a page change of 0 is kept.
    EXPECT_TRUE(std::holds_alternative<std::monostate>(ResultValue(2, "ChangePosition")));
    EXPECT_EQ(ResultValue(2, "ChangePage"), Value(0));
    EXPECT_EQ(Width("TextChangePositionMax"), 0);
    EXPECT_EQ(Width("TextLastPositionMax"), 2 * kCharWidth);
}

TEST_F(ResultsViewBuilderTest, WidthRowHoldsTheWidestTextPerColumn) {
    Add({"www.Example.com",
         "Alpha",
         "seo",
         "http://example.com/a",
         {{"Position", 99}, {"ChangePosition", -7}, {"Page", 10}},
         {}});
    Add({"www.Example.com",
         "Alpha",
         "seo",
         "http://example.com/b",
         {{"Position", 100}, {"ChangePosition", 12}, {"Page", 9}},
         {}});
    Add({"www.Example.com",
         "Beta",
         "seo",
         "http://example.com/c",
         {{"Position", 7}, {"ChangePosition", -15}, {"BestPosition", 1}},
         {}});
    Refresh();
    EXPECT_EQ(Width("TextPositionMax"), 3 * kCharWidth);       // 100 is wider than 99
    EXPECT_EQ(Width("TextChangePositionMax"), 3 * kCharWidth); // "-15" with its sign
    EXPECT_EQ(Width("TextPageMax"), 2 * kCharWidth);
    EXPECT_EQ(Width("TextBestPositionMax"), kCharWidth);
    EXPECT_EQ(Width("TextLastPageMax"), 0);

    // A second rebuild replaces the row rather than adding one.
    engines[1].ticked = false;
    Refresh();
    EXPECT_EQ(Width("TextChangePositionMax"), 2 * kCharWidth);
    EXPECT_EQ(Width("TextBestPositionMax"), 0);
}

TEST_F(ResultsViewBuilderTest, NoEngineTickedLeavesNothing) {
    Add({"www.Example.com", "Alpha", "seo", "http://example.com/a", {{"Position", 3}}, {}});
    Refresh();
    ASSERT_EQ(builder.CurrentEngine(), "Alpha");
    for (TEngineListItem& item : engines)
        item.ticked = false;
    Refresh();
    EXPECT_TRUE(tables.ResClientDataSet.IsEmpty());
    for (const char* field : kWidthFields)
        EXPECT_EQ(Width(field), 0) << field;
    EXPECT_EQ(builder.CurrentEngine(), "");

    // A site without a keyword record shows nothing either.
    for (TEngineListItem& item : engines)
        item.ticked = true;
    tables.WebSiteClientDataSet.Append();
    tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString("new.example");
    tables.WebSiteClientDataSet.Post();
    ChooseSite("new.example");
    Add({"new.example", "Alpha", "seo", "http://new.example/a", {}, {}});
    Refresh();
    EXPECT_TRUE(tables.ResClientDataSet.IsEmpty());
}

TEST_F(ResultsViewBuilderTest, CurrentEngineFollowsTheCurrentRow) {
    Add({"www.Example.com", "Alpha", "seo", "http://example.com/a", {}, {}});
    Add({"www.Example.com", "Beta", "seo", "http://example.com/b", {}, {}});
    Add({"www.Example.com", "Beta", "red shoes", "http://example.com/c", {}, {}});
    Refresh();
    EXPECT_EQ(builder.CurrentEngine(), "Alpha");
    EXPECT_EQ(repaints, 1);

    TClientDataSet& results = tables.ResClientDataSet;
    results.MoveTo(4);
    EXPECT_EQ(builder.CurrentEngine(), "Beta");
    EXPECT_EQ(repaints, 2);
    results.MoveTo(3); // same engine: no repaint
    EXPECT_EQ(repaints, 2);
    // Moves while the table is switched off from its controls are not followed.
    results.DisableControls();
    results.MoveTo(0);
    builder.ResClientDataSetAfterScroll(results);
    EXPECT_EQ(builder.CurrentEngine(), "Beta");
    results.EnableControls();

    // A rebuild made far down the table leaves the first engine row current; the views hear
    // of the rebuild once, at its end.
    results.MoveTo(4);
    struct Counter : TTableObserver {
        int data = 0, moves = 0, switchedOn = 0;
        void DataChanged(TClientDataSet&) override { ++data; }
        void CurrentMoved(TClientDataSet&) override { ++moves; }
        void ControlsSwitched(TClientDataSet&, bool on) override { switchedOn += on; }
    } counter;
    results.AddObserver(&counter);
    Refresh();
    results.RemoveObserver(&counter);
    EXPECT_EQ(results.RecNo(), 0);
    EXPECT_EQ(builder.CurrentEngine(), "Alpha");
    EXPECT_EQ(counter.data, 0);
    EXPECT_EQ(counter.switchedOn, 1);
    EXPECT_EQ(counter.moves, 1);
}

TEST(IsEngineChecked, FirstItemOfTheNameLetterCaseIgnored) {
    const std::vector<TEngineListItem> engines{
        {"Alpha", true}, {"beta", false}, {"BETA", true}, {"Éclair", true}};
    EXPECT_TRUE(IsEngineChecked(engines, "ALPHA"));
    EXPECT_FALSE(IsEngineChecked(engines, "Beta"));  // the first "beta" is unticked
    EXPECT_TRUE(IsEngineChecked(engines, "éCLAIR")); // beyond A-Z too
    EXPECT_FALSE(IsEngineChecked(engines, "Gamma"));
    EXPECT_FALSE(IsEngineChecked({}, "Alpha"));
}

TEST(DisplayAddress, PartAfterTheSitesHost) {
    struct Case {
        const char* site;
        const char* url;
        const char* shown;
    };
    const Case cases[] = {
        {"www.Example.com", "http://www.example.com/Dir/A.html", "/Dir/A.html"},
        {"http://EXAMPLE.com/some/path", "http://Example.COM/x?q=1", "/x?q=1"},
        {"example.com", "http://example.com", "/"},
        {"example.com", "http://example.com/", "/"},
        {"example.com", "Not in first 50 results", "Not in first 50 results"},
        {"example.com", "http://shop.example.com/a", "/a"}, // the first occurrence
        {"", "http://example.com/a", "http://example.com/a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayAddress(c.url, SiteHost(c.site)), c.shown) << c.site << " " << c.url;
    EXPECT_EQ(SiteHost("http://WWW.Example.com/dir/"), "example.com");
    EXPECT_EQ(SiteHost(""), "");
}
