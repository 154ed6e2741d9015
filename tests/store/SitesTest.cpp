#include "store/Sites.h"
#include "store/Tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quorvia;

namespace {

class SitesTest : public ::testing::Test {
protected:
    std::vector<std::string> SiteNames() {
        std::vector<std::string> names;
        for (int row = 0; row < sites.RecordCount(); ++row)
            names.push_back(sites.TextAt(row, 0));
        return names;
    }
    std::string Current() { return sites.FieldByName("SiteName").AsString(); }
    void Add(std::initializer_list<const char*> names) {
        for (const char* name : names)
            AddSite(sites, name);
    }
    void TypeKeyword(const char* field, const char* text) {
        ASSERT_TRUE(BeginKeywordEdit(words));
        words.FieldByName(field).SetAsString(text);
        FinishKeywordEdit(words);
    }

    TTables tables;
    TClientDataSet& sites = tables.WebSiteClientDataSet;
    TClientDataSet& words = tables.WordClientDataSet;
};

TEST_F(SitesTest, AddKeepsTextExactlyAndNeverDuplicates) {
    EXPECT_TRUE(AddSite(sites, "example.com"));
    EXPECT_TRUE(AddSite(sites, "Example.com"));  // differs in case: a second site
    EXPECT_TRUE(AddSite(sites, " example.com")); // a leading blank is kept
    EXPECT_TRUE(AddSite(sites, "other.org"));
    EXPECT_FALSE(AddSite(sites, ""));
    EXPECT_EQ(SiteNames(), (std::vector<std::string>{"example.com", "Example.com", " example.com",
                                                     "other.org"}));
    EXPECT_EQ(Current(), "other.org"); // the added one is current

    EXPECT_FALSE(AddSite(sites, "Example.com")); // already there: selected, nothing added
    EXPECT_EQ(Current(), "Example.com");
    EXPECT_EQ(sites.RecordCount(), 4);
}

TEST_F(SitesTest, OverLongNameIsCutAndNotAddedTwice) {
    const std::string longName(300, 'a');
    EXPECT_TRUE(AddSite(sites, longName));
    EXPECT_EQ(Current(), std::string(250, 'a'));
    EXPECT_FALSE(AddSite(sites, longName + "b"));
    EXPECT_EQ(sites.RecordCount(), 1);
}

TEST_F(SitesTest, DeleteMovesToTheNeighbour) {
    Add({"a.com", "b.com", "c.com"});
    sites.MoveTo(1);
    EXPECT_TRUE(DeleteCurrentSite(sites));
    EXPECT_EQ(Current(), "c.com"); // the following one
    EXPECT_TRUE(DeleteCurrentSite(sites));
    EXPECT_EQ(Current(), "a.com"); // the last was deleted: the preceding one
    EXPECT_TRUE(DeleteCurrentSite(sites));
    EXPECT_TRUE(sites.IsEmpty());
    EXPECT_FALSE(DeleteCurrentSite(sites));
    EXPECT_EQ(DeleteSiteQuestion("a.com"), "Do you want to delete 'a.com' ?");
}

TEST_F(SitesTest, DeleteThenAddBringsKeywordsAndRankingsBack) {
    Add({"keep.com", "gone.com"});
    TypeKeyword("Word2", "blue shoes");
    TClientDataSet& rankings = tables.SECacheClientDataSet;
    rankings.Append();
    rankings.FieldByName("SENAME").SetAsString("Web");
    rankings.Post();

    ASSERT_TRUE(DeleteCurrentSite(sites));
    EXPECT_EQ(Current(), "keep.com");
    EXPECT_TRUE(words.IsEmpty());
    EXPECT_TRUE(rankings.IsEmpty());

    ASSERT_TRUE(AddSite(sites, "gone.com"));
    ASSERT_EQ(words.RecordCount(), 1);
    EXPECT_EQ(words.FieldByName("Word2").AsString(), "blue shoes");
    EXPECT_EQ(rankings.RecordCount(), 1);
}

TEST_F(SitesTest, KeywordRecordOnlyWhenTyped) {
    Add({"one.com"});
    FinishKeywordEdit(words); // focus left an empty box
    ASSERT_TRUE(BeginKeywordEdit(words));
    FinishKeywordEdit(words); // opened but not changed
    EXPECT_TRUE(words.AllRecords().empty());

    TypeKeyword("Word1", "red");
    TypeKeyword("Word3", "green");
    ASSERT_EQ(words.AllRecords().size(), 1u);
    EXPECT_EQ(words.FieldByName("SiteName").AsString(), "one.com");
    EXPECT_EQ(words.FieldByName("Word1").AsString(), "red");
    EXPECT_EQ(words.FieldByName("Word3").AsString(), "green");
    EXPECT_EQ(words.FieldByName("Word1").Size(), 50);

    tables.WebSiteClientDataSet.Delete();
    EXPECT_FALSE(BeginKeywordEdit(words)); // no site: nothing to type for
    EXPECT_EQ(words.State(), TableState::Browse);
}

TEST_F(SitesTest, SelectorChoosesTheFirstNameIgnoringCase) {
    Add({"Shop.com", "shop.com", "other.org"});
    EXPECT_TRUE(SelectSite(sites, "SHOP.COM"));
    EXPECT_EQ(sites.RecNo(), 0);
    EXPECT_TRUE(SelectSite(sites, "other.org"));
    EXPECT_EQ(sites.RecNo(), 2);
    EXPECT_FALSE(SelectSite(sites, "missing.net"));
    EXPECT_EQ(sites.RecNo(), 2);
}

} // namespace
