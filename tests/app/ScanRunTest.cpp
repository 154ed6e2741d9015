// "Check My Rankings" in the real window, against the loopback fake engine: the scan runs
// behind the button and leaves its ranking records.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "net/PageFetcher.h"
#include "platform/Clock.h"
#include "store/Tables.h"

#include "support/FakeEngine.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QToolButton>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

class ScanRun : public ::testing::Test, public TProgramFolderFixture {
protected:
    ~ScanRun() override { StopRequested = false; }
};

} // namespace

TEST_F(ScanRun, CheckMyRankingsScansTheTickedEngineAndKeepsTheSitesPosition) {
    TFakeEngine server;
    server.SetFallback(TFakeReply::Page(ResultPage(
        {"http://r1.other.test/", "http://www.site.example/shoes", "http://r3.other.test/"})));
    WriteEngines({"Alpha", "Beta"}, server.Origin());
    WriteFile("set.ini", "[inet]\nConnectType=1\ntimeout=5\n");
    WriteSite("site.example", {"red shoes"});

    TMainForm form;
    form.TickEngine("Beta");
    form.CheckRankTBXButton->click();

    ASSERT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(server.Requests()[0].Target, "/search?q=red+shoes");
    TClientDataSet& rankings = form.Tables.SECacheClientDataSet;
    ASSERT_EQ(rankings.RecordCount(), 1);
    rankings.First();
    EXPECT_EQ(rankings.FieldByName("SiteName").AsString(), "site.example");
    EXPECT_EQ(rankings.FieldByName("SENAME").AsString(), "Beta");
    EXPECT_EQ(rankings.FieldByName("Keyword").AsString(), "red shoes");
    EXPECT_EQ(rankings.FieldByName("url").AsString(), "http://www.site.example/shoes");
    EXPECT_EQ(rankings.FieldByName("Position").AsInteger(), 2);
    EXPECT_EQ(rankings.FieldByName("Page").AsInteger(), 1);
    EXPECT_EQ(rankings.FieldByName("DT").AsDate(), Clock::Today());
    EXPECT_TRUE(form.LogRichEdit->toPlainText().isEmpty());
    EXPECT_TRUE(form.LogRichEdit->isHidden());
    EXPECT_EQ(form.CheckRankTBXButton->defaultAction(), form.CheckRankAction);
    EXPECT_TRUE(StopRequested);
}
