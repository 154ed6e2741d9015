// The ranking records of one pair over a run of walks on successive days, each row checked
// against the records it leaves; another site's records of the same pair stay as they were.

#include "engine/PositionBook.h"

#include "platform/Clock.h"
#include "store/Tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorvia;

namespace {

const std::string kA = "http://www.site.example/a";
const std::string kB = "http://www.site.example/b";
const std::string kCapitalB = "http://www.site.example/B";

struct TMet {
    std::string link;
    int position, page;
};

struct TWalkRow {
    const char* what;
    std::vector<TMet> met;
    int depth;
    std::vector<std::string> records; // the pair's records after the walk, in table order
};

Date Day(int day) {
    return Date(2026, 12, unsigned(day));
}

// "url P=.. LP=.. CP=.. BP=.. Pg=.. LPg=.. CPg=.. BPg=.. DT=.. DTL=.. DTB=..", "-" for null
// and dates as their day of the month.
std::string Dump(TClientDataSet& t) {
    std::string text = t.FieldByName("url").AsString();
    const std::pair<const char*, const char*> fields[] = {
        {"P", "Position"}, {"LP", "LastPosition"}, {"CP", "ChangePosition"}, {"BP", "BestPosition"},
        {"Pg", "Page"},    {"LPg", "LastPage"},    {"CPg", "ChangePage"},    {"BPg", "BestPage"},
        {"DT", "DT"},      {"DTL", "DTLast"},      {"DTB", "DTBest"}};
    for (const auto& [label, name] : fields) {
        const TField field = t.FieldByName(name);
        text += std::string(" ") + label + "=";
        if (field.IsNull())
            text += "-";
        else if (field.Type() == FieldType::Date)
            text += std::to_string(field.AsDate().Day());
        else
            text += field.AsString();
    }
    return text;
}

std::vector<std::string> PairRecords(TClientDataSet& rankings) {
    std::vector<std::string> records;
    for (rankings.First(); !rankings.Eof(); rankings.Next())
        records.push_back(Dump(rankings));
    return records;
}

void AddSite(TTables& tables, const std::string& name) {
    tables.WebSiteClientDataSet.Append();
    tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString(name);
    tables.WebSiteClientDataSet.Post();
}

class PositionBook : public ::testing::Test {
protected:
    ~PositionBook() override { Clock::SetTodayForTesting(std::nullopt); }
};

} // namespace

TEST_F(PositionBook, SuccessiveWalksOfOnePair) {
    const std::vector<TWalkRow> walks = {
        {"first find at 4",
         {{kA, 4, 1}},
         50,
         {kA + " P=4 LP=- CP=- BP=4 Pg=1 LPg=- CPg=- BPg=1 DT=1 DTL=- DTB=1"}},
        {"up to 2: a change and a new best, the best date kept on the same page",
         {{kA, 2, 1}},
         50,
         {kA + " P=2 LP=4 CP=2 BP=2 Pg=1 LPg=1 CPg=0 BPg=1 DT=2 DTL=1 DTB=1"}},
        {"down to 6: the best stays",
         {{kA, 6, 1}},
         50,
         {kA + " P=6 LP=2 CP=-4 BP=2 Pg=1 LPg=1 CPg=0 BPg=1 DT=3 DTL=2 DTB=1"}},
        {"up to 5: best is the last improvement, not the minimum",
         {{kA, 5, 1}},
         50,
         {kA + " P=5 LP=6 CP=1 BP=5 Pg=1 LPg=1 CPg=0 BPg=1 DT=4 DTL=3 DTB=1"}},
        {"down to page 2",
         {{kA, 12, 2}},
         50,
         {kA + " P=12 LP=5 CP=-7 BP=5 Pg=2 LPg=1 CPg=-1 BPg=1 DT=5 DTL=4 DTB=1"}},
        {"page 2 back to 1: a new best page and best date",
         {{kA, 9, 1}},
         50,
         {kA + " P=9 LP=12 CP=3 BP=9 Pg=1 LPg=2 CPg=1 BPg=1 DT=6 DTL=5 DTB=6"}},
        {"not found: one record carrying the best values",
         {},
         50,
         {"Not in first 50 results P=- LP=- CP=- BP=9 Pg=- LPg=- CPg=- BPg=1 DT=- DTL=- DTB=6"}},
        {"not found again: the same best values carried on",
         {},
         50,
         {"Not in first 50 results P=- LP=- CP=- BP=9 Pg=- LPg=- CPg=- BPg=1 DT=- DTL=- DTB=6"}},
        {"found again: a fresh best",
         {{kA, 7, 1}},
         50,
         {kA + " P=7 LP=- CP=- BP=7 Pg=1 LPg=- CPg=- BPg=1 DT=9 DTL=- DTB=9"}},
        {"two links",
         {{kB, 8, 1}, {kA, 3, 1}},
         50,
         {kA + " P=3 LP=7 CP=4 BP=3 Pg=1 LPg=1 CPg=0 BPg=1 DT=10 DTL=9 DTB=9",
          kB + " P=8 LP=- CP=- BP=8 Pg=1 LPg=- CPg=- BPg=1 DT=10 DTL=- DTB=10"}},
        {"then one: the other record goes, no not-found record",
         {{kB, 6, 1}},
         50,
         {kB + " P=6 LP=8 CP=2 BP=6 Pg=1 LPg=1 CPg=0 BPg=1 DT=11 DTL=10 DTB=10"}},
        {"a link in other letter case: a second record, the old one kept",
         {{kCapitalB, 5, 1}},
         50,
         {kCapitalB + " P=5 LP=- CP=- BP=5 Pg=1 LPg=- CPg=- BPg=1 DT=12 DTL=- DTB=12",
          kB + " P=6 LP=8 CP=2 BP=6 Pg=1 LPg=1 CPg=0 BPg=1 DT=11 DTL=10 DTB=10"}},
        {"not found at 20: the last deleted in url order gives the carried best",
         {},
         20,
         {"Not in first 20 results P=- LP=- CP=- BP=6 Pg=- LPg=- CPg=- BPg=1 DT=- DTL=- DTB=10"}},
    };

    TTables tables;
    TClientDataSet& rankings = tables.SECacheClientDataSet;
    AddSite(tables, "other.example");
    TPositionBook(rankings).RecordFoundLink("Web", "red shoes", "http://other.example/x", 1, 1);
    const std::vector<std::string> otherSite = PairRecords(rankings);
    AddSite(tables, "site.example");

    int day = 0;
    for (const TWalkRow& walk : walks) {
        SCOPED_TRACE(walk.what);
        Clock::SetTodayForTesting(Day(++day));
        TPositionBook book(rankings);
        TFoundLinks found;
        book.DropNotFoundRecords("Web", "red shoes");
        for (const TMet& met : walk.met)
            if (found.Add(met.link))
                book.RecordFoundLink("Web", "red shoes", met.link, met.position, met.page);
        book.FinishPairRecords("Web", "red shoes", found, walk.depth);
        EXPECT_EQ(PairRecords(rankings), walk.records);
        EXPECT_FALSE(rankings.Filtered());
    }

    tables.WebSiteClientDataSet.First();
    EXPECT_EQ(PairRecords(rankings), otherSite);
}

TEST_F(PositionBook, QuotesInNamesSelectExactlyTheirPair) {
    TTables tables;
    AddSite(tables, "site.example");
    TClientDataSet& rankings = tables.SECacheClientDataSet;
    TPositionBook(rankings).RecordFoundLink("Say 'Hi'", "rock 'n' roll", kA, 2, 1);
    TPositionBook(rankings).RecordFoundLink("Say 'Hi'", "rock", kA, 3, 1);

    TPositionBook book(rankings);
    book.DropNotFoundRecords("Say 'Hi'", "rock 'n' roll");
    book.FinishPairRecords("Say 'Hi'", "rock 'n' roll", TFoundLinks(), 10);

    std::vector<std::string> pairs;
    for (rankings.First(); !rankings.Eof(); rankings.Next())
        pairs.push_back(rankings.FieldByName("Keyword").AsString() + " | " +
                        rankings.FieldByName("url").AsString() + " | " +
                        rankings.FieldByName("BestPosition").AsString());
    EXPECT_EQ(pairs, (std::vector<std::string>{"rock | " + kA + " | 3",
                                               "rock 'n' roll | Not in first 10 results | 2"}));
}
