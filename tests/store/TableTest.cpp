#include "store/Tables.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quorvia;

namespace {

void AddSite(TTables& t, const std::string& site) {
    t.WebSiteClientDataSet.Append();
    t.WebSiteClientDataSet.FieldByName("SiteName").SetAsString(site);
    t.WebSiteClientDataSet.Post();
}

// Appends a ranking record for the current site.
void AddRanking(TClientDataSet& cache, const std::string& engine, const std::string& keyword,
                const std::string& url, int position) {
    cache.Append();
    cache.FieldByName("SENAME").SetAsString(engine);
    cache.FieldByName("Keyword").SetAsString(keyword);
    cache.FieldByName("url").SetAsString(url);
    cache.FieldByName("Position").SetAsInteger(position);
    cache.Post();
}

std::vector<std::string> Column(TClientDataSet& table, const std::string& field) {
    std::vector<std::string> values;
    for (table.First(); !table.Eof(); table.Next())
        values.push_back(table.FieldByName(field).AsString());
    return values;
}

using Strings = std::vector<std::string>;

// A cache with two sites sharing an engine and keyword, the second site current.
class RankingTables : public ::testing::Test {
protected:
    void SetUp() override {
        AddSite(t, "a.com");
        AddRanking(cache, "Web", "rock", "http://a.com/2", 2);
        AddRanking(cache, "Web", "rock", "http://a.com/1", 1);
        AddSite(t, "b.com");
        AddRanking(cache, "Web", "rock", "http://b.com/1", 5);
        AddRanking(cache, "Web", "o'neil", "http://b.com/q", 7);
        AddRanking(cache, "Alpha", "rock", "http://b.com/z", 9);
    }
    TTables t;
    TClientDataSet& cache = t.SECacheClientDataSet;
};

} // namespace

TEST(TableFields, NullIsDistinctFromZeroEmptyAndZeroDate) {
    TTables t;
    TClientDataSet& cache = t.SECacheClientDataSet;
    cache.Append();
    cache.FieldByName("Position").SetAsInteger(0);
    cache.FieldByName("url").SetAsString("");
    cache.FieldByName("DT").SetAsDate(Date());
    cache.Post();

    EXPECT_FALSE(cache.FieldByName("Position").IsNull());
    EXPECT_FALSE(cache.FieldByName("url").IsNull());
    EXPECT_FALSE(cache.FieldByName("DT").IsNull());
    for (const char* never : {"LastPosition", "Keyword", "DTLast"})
        EXPECT_TRUE(cache.FieldByName(never).IsNull()) << never;
    EXPECT_EQ(cache.FieldByName("LastPosition").AsInteger(), 0);
    EXPECT_EQ(cache.FieldByName("Keyword").AsString(), "");
    EXPECT_EQ(cache.FieldByName("DTLast").AsDate(), Date());

    cache.Edit();
    cache.FieldByName("Position").Clear();
    cache.FieldByName("DT").SetAsString("2026-12-10");
    cache.Post();
    EXPECT_TRUE(cache.FieldByName("Position").IsNull());
    EXPECT_EQ(cache.FieldByName("DT").AsDate(), Date(2026, 12, 10));
    EXPECT_EQ(cache.FieldByName("DT").AsString(), "2026-12-10");
}

TEST(TableFields, NamesAreMatchedWithoutRegardToCase) {
    TTables t;
    TClientDataSet& cache = t.SECacheClientDataSet;
    cache.Append();
    cache.FieldByName("SeName").SetAsString("Web");
    cache.FieldByName("URL").SetAsString("u");
    cache.Post();
    EXPECT_EQ(cache.FieldByName("SENAME").AsString(), "Web");
    EXPECT_EQ(cache.FieldByName("sename").Name(), "SENAME");
    EXPECT_TRUE(cache.Locate("sename;Url", {"Web", "u"}));
    EXPECT_THROW(cache.FieldByName("SE Name"), TableError);
}

TEST(TableFields, WritesNeedEditAndBadValuesAreRefused) {
    TTables t;
    TClientDataSet& cache = t.SECacheClientDataSet;
    EXPECT_THROW(cache.FieldByName("url").SetAsString("x"), TableError);
    cache.Append();
    EXPECT_THROW(cache.FieldByName("Position").SetAsString("12a"), TableError);
    EXPECT_THROW(cache.FieldByName("DT").SetAsString("2026-02-30"), TableError);
    EXPECT_THROW(cache.FieldByName("DT").SetAsInteger(3), TableError);
    cache.FieldByName("Position").SetAsString("-42");
    EXPECT_EQ(cache.FieldByName("Position").AsInteger(), -42);
    cache.FieldByName("Position").SetAsString(""); // empty text makes a number null
    EXPECT_TRUE(cache.FieldByName("Position").IsNull());
}

TEST(TableFields, LongTextsAreCutToTheFieldWithoutSplittingACharacter) {
    TTables t;
    const std::string address = "http://example.com/" + std::string(300, 'x');
    AddSite(t, address);
    EXPECT_EQ(t.WebSiteClientDataSet.FieldByName("SiteName").AsString(), address.substr(0, 250));

    std::string engine;
    for (int i = 0; i < 31; ++i)
        engine += "\xC3\xA9"; // 31 two-byte letters into Text(30)
    t.SE_ClientDataSet.Append();
    t.SE_ClientDataSet.FieldByName("SENAME").SetAsString(engine);
    t.SE_ClientDataSet.Post();
    EXPECT_EQ(t.SE_ClientDataSet.FieldByName("SENAME").AsString(), engine.substr(0, 60));
}

TEST(TableSort, PostKeepsTheSortOrderAndTheRecordCurrent) {
    TTables t;
    AddSite(t, "s");
    TClientDataSet& cache = t.SECacheClientDataSet;
    AddRanking(cache, "Web", "b", "u2", 1);
    AddRanking(cache, "Web", "b", "u1", 2);
    AddRanking(cache, "Alpha", "z", "u9", 3);
    AddRanking(cache, "Web", "a", "u5", 4);
    EXPECT_EQ(Column(cache, "url"), (Strings{"u9", "u5", "u1", "u2"}));

    ASSERT_TRUE(cache.Locate("url", {"u9"}));
    cache.Edit();
    cache.FieldByName("SENAME").SetAsString("Zeta");
    cache.Post();
    EXPECT_EQ(cache.FieldByName("url").AsString(), "u9");
    EXPECT_EQ(cache.RecNo(), 3);
    EXPECT_EQ(Column(cache, "url"), (Strings{"u5", "u1", "u2", "u9"}));
}

TEST(TableSort, NamedOrderFieldListAndAddingOrder) {
    TTables t;
    for (const char* name : {"Web", "Alpha", "Mid"}) {
        t.SE_ClientDataSet.Append();
        t.SE_ClientDataSet.FieldByName("SENAME").SetAsString(name);
        t.SE_ClientDataSet.Post();
        t.ResClientDataSet.Append();
        t.ResClientDataSet.FieldByName("SENAME").SetAsString(name);
        t.ResClientDataSet.Post();
    }
    EXPECT_EQ(t.SE_ClientDataSet.IndexName(), "SE_ClientDataSetIndex1");
    EXPECT_EQ(Column(t.SE_ClientDataSet, "SENAME"), (Strings{"Alpha", "Mid", "Web"}));
    EXPECT_EQ(Column(t.ResClientDataSet, "SENAME"), (Strings{"Web", "Alpha", "Mid"}));

    t.ResClientDataSet.SetIndexFieldNames("sename");
    EXPECT_EQ(Column(t.ResClientDataSet, "SENAME"), (Strings{"Alpha", "Mid", "Web"}));
    EXPECT_THROW(t.ResClientDataSet.SetIndexFieldNames("SENAME;nosuch"), TableError);
    EXPECT_THROW(t.ResClientDataSet.SetIndexName("nosuch"), TableError);
}

TEST_F(RankingTables, LocateIsExactAmongTheVisibleRecords) {
    EXPECT_EQ(cache.RecordCount(), 3);
    ASSERT_TRUE(cache.Locate("SENAME;Keyword;url", {"Web", "rock", "http://b.com/1"}));
    EXPECT_EQ(cache.FieldByName("Position").AsInteger(), 5);

    // Misses leave the current record where it was.
    struct Miss {
        const char* fields;
        std::vector<Value> values;
    };
    const Miss misses[] = {
        {"SENAME;Keyword;url", {"web", "rock", "http://b.com/1"}}, // letter case counts
        {"SENAME;Keyword", {"We", "rock"}},                        // no partial match
        {"url", {"http://a.com/1"}},                               // another site's record
        {"Position", {"5x"}},
        {"Position", {"05"}},
        {"SENAME", {Value()}},
    };
    for (const Miss& miss : misses) {
        EXPECT_FALSE(cache.Locate(miss.fields, miss.values)) << miss.fields;
        EXPECT_EQ(cache.FieldByName("url").AsString(), "http://b.com/1");
    }
    EXPECT_THROW(cache.Locate("SENAME;Keyword", {"Web"}), TableError);

    // The first match in sort order, on any fields.
    ASSERT_TRUE(cache.Locate("Keyword", {"rock"}));
    EXPECT_EQ(cache.FieldByName("SENAME").AsString(), "Alpha");
    ASSERT_TRUE(cache.Locate("Position", {std::int32_t(7)}));
    EXPECT_EQ(cache.FieldByName("Keyword").AsString(), "o'neil");
}

TEST_F(RankingTables, PairFilterShowsOnlyTheCurrentSitesPairEvenWithQuotes) {
    EXPECT_EQ(PairFilter("Web", "o'neil"), "SEName='Web' and keyword='o''neil'");
    cache.SetFilter(PairFilter("Web", "o'neil"));
    EXPECT_EQ(cache.RecordCount(), 3); // the flag is still off
    cache.SetFiltered(true);
    EXPECT_EQ(Column(cache, "url"), (Strings{"http://b.com/q"}));

    cache.SetFilter(PairFilter("Web", "rock"));
    EXPECT_EQ(Column(cache, "url"), (Strings{"http://b.com/1"})); // a.com's are hidden
    cache.SetFilter(PairFilter("Web", "Rock"));
    EXPECT_EQ(cache.RecordCount(), 0);

    cache.SetFilter("");
    cache.SetFiltered(false);
    EXPECT_EQ(cache.RecordCount(), 3);
}

TEST(TableFilter, ParsesQuotedValuesAndRefusesMalformedOnes) {
    EXPECT_EQ(ParseFilter(" SEName = 'a''b'  AND keyword='' "),
              (std::vector<FilterTerm>{{"SEName", "a'b"}, {"keyword", ""}}));
    EXPECT_EQ(ParseFilter("x='and y=''z'''"), (std::vector<FilterTerm>{{"x", "and y='z'"}}));
    EXPECT_TRUE(ParseFilter("  ").empty());
    for (const char* bad : {"SEName='Web", "SEName=Web", "SEName='a' keyword='b'", "SEName='a' and",
                            "='a'", "SEName='a' or keyword='b'", "SEName='o'neil'"})
        EXPECT_THROW(ParseFilter(bad), TableError) << bad;

    TTables t;
    EXPECT_THROW(t.SECacheClientDataSet.SetFilter("nosuch='x'"), TableError);
}

TEST_F(RankingTables, DetailFollowsTheMasterAndKeepsRecordsOfRemovedSites) {
    TClientDataSet& sites = t.WebSiteClientDataSet;
    sites.First();
    EXPECT_EQ(Column(cache, "url"), (Strings{"http://a.com/1", "http://a.com/2"}));
    sites.Next();
    EXPECT_EQ(cache.RecordCount(), 3);

    // A record appended to the detail takes the current site.
    t.WordClientDataSet.Edit(); // empty for b.com: starts a new record
    EXPECT_EQ(t.WordClientDataSet.State(), TableState::Insert);
    t.WordClientDataSet.FieldByName("Word1").SetAsString("rock");
    t.WordClientDataSet.Post();
    EXPECT_EQ(t.WordClientDataSet.FieldByName("SiteName").AsString(), "b.com");

    sites.Delete(); // the ranking and keyword records stay
    EXPECT_EQ(sites.FieldByName("SiteName").AsString(), "a.com");
    EXPECT_EQ(cache.RecordCount(), 2);
    EXPECT_EQ(t.WordClientDataSet.RecordCount(), 0);
    AddSite(t, "b.com");
    EXPECT_EQ(cache.RecordCount(), 3);
    EXPECT_EQ(t.WordClientDataSet.FieldByName("Word1").AsString(), "rock");
    EXPECT_EQ(cache.AllRecords().size(), 5u);
}

TEST(TableEditing, AppendEditCancelAndCheckBrowseMode) {
    TTables t;
    TClientDataSet& sites = t.WebSiteClientDataSet;
    AddSite(t, "a");
    AddSite(t, "b");
    EXPECT_EQ(sites.FieldByName("SiteName").AsString(), "b"); // appended record is current

    sites.First();
    sites.Append();
    sites.FieldByName("SiteName").SetAsString("c");
    sites.Cancel(); // back to the record current before
    EXPECT_EQ(sites.FieldByName("SiteName").AsString(), "a");
    EXPECT_EQ(sites.RecordCount(), 2);

    sites.Edit();
    sites.FieldByName("SiteName").SetAsString("a2");
    sites.Cancel();
    EXPECT_EQ(sites.FieldByName("SiteName").AsString(), "a");

    sites.Edit();
    sites.FieldByName("SiteName").SetAsString("a3");
    sites.Next(); // moving on posts a changed record
    EXPECT_EQ(Column(sites, "SiteName"), (Strings{"a3", "b"}));

    sites.Append(); // ...and drops an untouched one
    sites.First();
    EXPECT_EQ(sites.RecordCount(), 2);
}

TEST(TableEditing, DeleteMakesTheNeighbourCurrent) {
    TTables t;
    TClientDataSet& sites = t.WebSiteClientDataSet;
    for (const char* s : {"a", "b", "c"})
        AddSite(t, s);
    ASSERT_TRUE(sites.Locate("SiteName", {"b"}));
    sites.Delete();
    EXPECT_EQ(sites.FieldByName("SiteName").AsString(), "c"); // the next one
    EXPECT_FALSE(sites.Eof());
    sites.Delete();
    EXPECT_EQ(sites.FieldByName("SiteName").AsString(), "a"); // the previous one at the end
    EXPECT_TRUE(sites.Eof());
    sites.Delete();
    EXPECT_EQ(sites.RecordCount(), 0); // none
    EXPECT_EQ(sites.RecNo(), -1);
    EXPECT_TRUE(sites.FieldByName("SiteName").IsNull());
    sites.Delete(); // nothing to delete
    EXPECT_TRUE(sites.Eof());
}

TEST_F(RankingTables, DeletingWhileWalkingThePairFilterVisitsEveryRecord) {
    // The bookkeeping pattern: delete matching records and start over from the first.
    cache.SetFilter(PairFilter("Web", "rock"));
    cache.SetFiltered(true);
    t.WebSiteClientDataSet.First();
    ASSERT_EQ(cache.RecordCount(), 2);
    cache.First();
    while (!cache.Eof()) {
        if (cache.FieldByName("Position").AsInteger() > 0) {
            cache.Delete();
            cache.First();
        } else {
            cache.Next();
        }
    }
    EXPECT_EQ(cache.RecordCount(), 0);
    cache.SetFiltered(false);
    t.WebSiteClientDataSet.Last();
    EXPECT_EQ(cache.RecordCount(), 3); // b.com untouched
}

TEST_F(RankingTables, RowsAreReachableByPosition) {
    ASSERT_EQ(cache.RecordCount(), 3);
    EXPECT_EQ(cache.TextAt(0, cache.FindFieldIndex("url")), "http://b.com/z");
    EXPECT_EQ(cache.TextAt(1, cache.FindFieldIndex("Position")), "7");
    cache.MoveTo(2);
    EXPECT_EQ(cache.RecNo(), 2);
    EXPECT_EQ(cache.FieldByName("url").AsString(), "http://b.com/1");
    EXPECT_THROW(cache.MoveTo(3), TableError);
    EXPECT_THROW(cache.ValueAt(-1, 0), TableError);
}

TEST(TableControls, AfterScrollAndObserversRespectDisabledControls) {
    struct Recorder : TTableObserver {
        std::vector<std::string> events;
        void DataChanged(TClientDataSet&) override { events.push_back("data"); }
        void CurrentMoved(TClientDataSet&) override { events.push_back("moved"); }
        void ControlsSwitched(TClientDataSet&, bool on) override {
            events.push_back(on ? "on" : "off");
        }
    } recorder;
    TTables t;
    TClientDataSet& res = t.ResClientDataSet;
    Strings scrolled;
    res.AfterScroll = [&](TClientDataSet& table) {
        scrolled.push_back(table.FieldByName("SENAME").AsString());
    };
    res.AddObserver(&recorder);

    res.DisableControls();
    res.DisableControls();
    EXPECT_TRUE(res.ControlsDisabled());
    for (const char* engine : {"Web", "Alpha"}) {
        res.Append();
        res.FieldByName("SENAME").SetAsString(engine);
        res.Post();
    }
    res.EnableControls();
    EXPECT_TRUE(res.ControlsDisabled()); // nested: still off
    res.EnableControls();
    EXPECT_FALSE(res.ControlsDisabled());
    EXPECT_TRUE(scrolled.empty());
    EXPECT_EQ(recorder.events, (Strings{"off", "on"}));

    recorder.events.clear();
    res.First(); // from Alpha to Web
    res.First(); // fires again when the record stays put
    res.Next();
    res.Next(); // at the end: no move
    EXPECT_EQ(scrolled, (Strings{"Web", "Web", "Alpha"}));
    EXPECT_EQ(recorder.events, (Strings{"moved", "moved", "moved"}));

    res.Append(); // appending moves too; the new record is still empty
    EXPECT_EQ(scrolled.back(), "");
    EXPECT_EQ(recorder.events.size(), 4u);
    res.RemoveObserver(&recorder);
    res.Cancel();
    EXPECT_EQ(recorder.events.size(), 4u);
}

TEST(Tables, FieldsInDeclaredOrder) {
    TTables t;
    auto names = [](const TClientDataSet& table) {
        Strings out;
        for (const FieldDef& f : table.Fields())
            out.push_back(f.name);
        return out;
    };
    const Strings ranking{"SiteName", "SENAME",       "Keyword",      "url",
                          "Position", "LastPosition", "BestPosition", "ChangePosition",
                          "Page",     "LastPage",     "BestPage",     "ChangePage",
                          "DT",       "DTLast",       "DTBest"};
    EXPECT_EQ(names(t.WebSiteClientDataSet), (Strings{"SiteName"}));
    EXPECT_EQ(names(t.WordClientDataSet),
              (Strings{"SiteName", "Word1", "Word2", "Word3", "Word4"}));
    // The first four as in every "SE.cds"; the optional two after them.
    EXPECT_EQ(names(t.SE_ClientDataSet),
              (Strings{"SENAME", "MainURL", "SearchURL", "SearchMask", "NextForm", "NoResults"}));
    EXPECT_EQ(names(t.SECacheClientDataSet), ranking);
    EXPECT_EQ(names(t.ResClientDataSet), ranking);
    EXPECT_EQ(names(t.ResMinClientDataSet).size(), 7u);
    EXPECT_TRUE(std::all_of(t.ResMinClientDataSet.Fields().begin(),
                            t.ResMinClientDataSet.Fields().end(),
                            [](const FieldDef& f) { return f.type == FieldType::Integer; }));
    EXPECT_EQ(t.SECacheClientDataSet.Fields()[3].size, 250);
    EXPECT_EQ(t.SECacheClientDataSet.Fields()[14].type, FieldType::Date);
    EXPECT_EQ(t.SECacheClientDataSet.Master(), &t.WebSiteClientDataSet);
    EXPECT_EQ(t.WordClientDataSet.Master(), &t.WebSiteClientDataSet);
}
