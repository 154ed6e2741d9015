#include "store/Sites.h"
#include "store/Tables.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace quorvia;

namespace {

class SitesTest : public ::testing::Test {
protected:
    std::string Current() { return sites.FieldByName("SiteName").AsString(); }
    void EmptySites() {
        while (DeleteCurrentSite(sites)) {
        }
    }
    void Add(std::initializer_list<const char*> names) {
        for (const char* name : names)
            AddSite(sites, name);
    }
    void StoreKeyword(std::size_t box, const char* text) {
        ASSERT_TRUE(TypeKeyword(words, box, text));
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
    EXPECT_EQ(SiteNames(sites), (std::vector<std::string>{"example.com", "Example.com",
                                                          " example.com", "other.org"}));
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
    StoreKeyword(1, "blue shoes");
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

    StoreKeyword(0, "red");
    StoreKeyword(2, "green");
    ASSERT_EQ(words.AllRecords().size(), 1u);
    EXPECT_EQ(words.FieldByName("SiteName").AsString(), "one.com");
    EXPECT_EQ(words.FieldByName("Word1").AsString(), "red");
    EXPECT_EQ(words.FieldByName("Word3").AsString(), "green");
    EXPECT_EQ(words.FieldByName("Word1").Size(), 50);

    tables.WebSiteClientDataSet.Delete();
    EXPECT_FALSE(BeginKeywordEdit(words)); // no site: nothing to type for
    EXPECT_EQ(words.State(), TableState::Browse);
}

TEST_F(SitesTest, SelectorChoosesTheExactNameElseTheFirstIgnoringCase) {
    Add({"Shop.com", "shop.com", "other.org"});
    EXPECT_TRUE(SelectSite(sites, "SHOP.COM"));
    EXPECT_EQ(sites.RecNo(), 0);
    EXPECT_TRUE(SelectSite(sites, "shop.com")); // the case variant picked, not the first one
    EXPECT_EQ(sites.RecNo(), 1);
    EXPECT_TRUE(SelectSite(sites, "other.org"));
    EXPECT_EQ(sites.RecNo(), 2);
    EXPECT_FALSE(SelectSite(sites, "missing.net"));
    EXPECT_EQ(sites.RecNo(), 2);
}

TEST_F(SitesTest, SelectorValueChanges) {
    struct Case {
        const char* what;
        std::string value;
        const char* wanted;
        bool changed;
        std::string valueAfter;
        int currentAfter;
    };
    const Case cases[] = {
        {"a pick makes that site current", "Shop.com", "other.org", true, "other.org", 2},
        {"the same value does nothing at all", "other.org", "other.org", false, "other.org", 0},
        {"a value in other case finds its site", "", "OTHER.ORG", true, "OTHER.ORG", 2},
        {"a value naming no site empties the selector", "Shop.com", "gone.net", true, "", 0},
        {"empty stays empty", "", "gone.net", false, "", 0},
        {"no site chosen", "other.org", "", true, "", 0},
    };
    Add({"Shop.com", "shop.com", "other.org"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sites.MoveTo(0);
        std::string value = c.value;
        EXPECT_EQ(ChooseSite(sites, value, c.wanted), c.changed);
        EXPECT_EQ(value, c.valueAfter);
        EXPECT_EQ(sites.RecNo(), c.currentAfter);
    }
    EXPECT_EQ(SiteNames(sites), (std::vector<std::string>{"Shop.com", "shop.com", "other.org"}));
    EXPECT_EQ(CurrentSiteName(sites), "Shop.com");
    EmptySites();
    EXPECT_EQ(CurrentSiteName(sites), "");
}

TEST_F(SitesTest, TypedKeywordsAreWhatTheBoxesShow) {
    EXPECT_FALSE(TypeKeyword(words, 0, "no site")); // nothing to type for
    EXPECT_EQ(words.State(), TableState::Browse);

    Add({"one.com", "two.com"});
    EXPECT_EQ(KeywordTexts(words), (std::array<std::string, 4>{}));
    ASSERT_TRUE(TypeKeyword(words, 3, "pending"));
    EXPECT_EQ(KeywordTexts(words)[3], "pending"); // shown before it is stored
    sites.MoveTo(0);                              // another site: the typed text is stored first
    EXPECT_EQ(KeywordTexts(words), (std::array<std::string, 4>{}));
    sites.MoveTo(1);
    EXPECT_EQ(KeywordTexts(words), (std::array<std::string, 4>{"", "", "", "pending"}));
    EXPECT_EQ(words.State(), TableState::Browse);
}

} // namespace
