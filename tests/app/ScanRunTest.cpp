// "Check My Rankings" in the real window, against the loopback fake engine: the scan runs
// behind the button and leaves its ranking records.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "net/PageFetcher.h"
#include "platform/Clock.h"
#include "store/Tables.h"
#include "view/GridColumns.h"
#include "view/ResultsGrid.h"

#include "support/FakeEngine.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QProgressBar>
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

TEST_F(ScanRun, APairThatCouldNotBeCheckedIsMarkedInTheGridUntilItIsCheckedAgain) {
    TFakeEngine server;
    server.SetFallback(TFakeReply::Page(ResultPage(
        {"http://r1.other.test/", "http://www.site.example/shoes", "http://r3.other.test/"})));
    server.Route("/search?q=boots", TFakeReply::Page("", 500, "Internal Server Error"));
    WriteEngines({"Alpha", "Beta"}, server.Origin());
    WriteFile("set.ini", "[inet]\nConnectType=1\ntimeout=5\nRetryConnect=0\n");
    WriteSite("site.example", {"red shoes", "boots"});

    TMainForm form;
    form.show();
    form.TickEngine("Beta");
    form.RefreshResults();
    form.CheckRankTBXButton->click();
    EXPECT_FALSE(form.Gauge->isVisible()); // switched off: nothing of the last scan shows

    const std::string logged = form.LogRichEdit->toPlainText().toStdString();
    ASSERT_FALSE(logged.empty());
    TClientDataSet& rankings = form.Tables.SECacheClientDataSet;
    ASSERT_EQ(rankings.RecordCount(), 1); // the failed pair measured nothing and kept nothing
    TClientDataSet& rows = form.Tables.ResClientDataSet;
    auto rowsShown = [&] {
        std::vector<std::string> shown;
        for (int r = 0; r < rows.RecordCount(); ++r)
            shown.push_back(rows.TextAt(r, rows.FindFieldIndex("Keyword")) +
                            (form.ResDBGridEh->RowFailure(r) ? " (marked)" : ""));
        return shown;
    };
    // The failed pair has no record, yet a row of its own carries the mark.
    EXPECT_EQ(rowsShown(), (std::vector<std::string>{"Beta", "red shoes", "boots (marked)"}));
    ASSERT_NE(form.ResDBGridEh->RowFailure(2), nullptr);
    EXPECT_EQ(*form.ResDBGridEh->RowFailure(2), logged);

    // Its keyword cell's hint gives the log line.
    const QRect cell = form.ResDBGridEh->visualRect(
        form.ResDBGridEh->model()->index(2, GridColumnIndex("Keyword")));
    form.ResDBGridEh->ResDBGridEhMouseMove(cell.center());
    EXPECT_EQ(form.ResDBGridEh->HintText().toStdString(),
              "Not checked in the last scan: " + logged);

    // A scan that checks it clears the mark; the pair's find is recorded as usual.
    server.Route("/search?q=boots",
                 TFakeReply::Page(ResultPage({"http://www.site.example/boots"})));
    form.CheckRankTBXButton->click();
    EXPECT_TRUE(form.LogRichEdit->toPlainText().isEmpty());
    EXPECT_EQ(rowsShown(), (std::vector<std::string>{"Beta", "boots", "red shoes"}));
    EXPECT_EQ(rankings.RecordCount(), 2);
}
