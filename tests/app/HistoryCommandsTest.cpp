// The ranking history in the main window: seeded at the first start, a damaged file reported
// once and left alone, the History window from a grid row, and "Export..." in the File menu.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "history/ExportCommand.h"
#include "history/HistoryWindow.h"
#include "store/Tables.h"
#include "view/ResultsGrid.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QMenuBar>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

class HistoryCommands : public ::testing::Test, public TProgramFolderFixture {
protected:
    HistoryCommands() {
        WriteEngines({"Alpha"});
        WriteSite("www.shop.example", {"shoes"});
        WriteFile("set.ini", "[TMainForm]\nWebSite=www.shop.example\nSEs=Alpha\n");
        TTables tables;
        TClientDataSet& records = tables.SECacheClientDataSet;
        records.Append();
        records.FieldByName("SiteName").SetAsString("www.shop.example");
        records.FieldByName("SENAME").SetAsString("Alpha");
        records.FieldByName("Keyword").SetAsString("shoes");
        records.FieldByName("url").SetAsString("http://shop.example/red.html");
        records.FieldByName("Position").SetAsInteger(4);
        records.FieldByName("Page").SetAsInteger(1);
        records.FieldByName("DT").SetAsDate(Date(2026, 2, 3));
        records.Post();
        SaveDataSet(records, Path("SECache.cds"));
    }
    ~HistoryCommands() override { SetExportAsker({}); }

    static std::vector<THistoryWindow*> HistoryWindows(TMainForm& form) {
        std::vector<THistoryWindow*> windows;
        for (THistoryWindow* w : form.findChildren<THistoryWindow*>())
            windows.push_back(w);
        return windows;
    }
};

} // namespace

TEST_F(HistoryCommands, TheFirstStartSeedsTheHistoryAndAGridRowOpensItsWindow) {
    TMainForm form;
    ASSERT_NE(form.History, nullptr);
    EXPECT_TRUE(Exists("History.db"));
    const auto checks = form.History->KeywordChecks("www.shop.example", "shoes");
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].found.at(0).position, 4);

    form.ShowHistory(0); // the engine row has no history of its own
    EXPECT_TRUE(HistoryWindows(form).empty());
    emit form.ResDBGridEh->doubleClicked(form.ResDBGridEh->model()->index(1, 0));
    ASSERT_EQ(HistoryWindows(form).size(), 1u);
    THistoryWindow* window = HistoryWindows(form).front();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->EngineBox()->currentText(), QStringLiteral("Alpha"));
    EXPECT_EQ(form.ShowHistoryAction->text(), QStringLiteral("Show history"));
    EXPECT_EQ(form.ResDBGridEh->contextMenuPolicy(), Qt::CustomContextMenu);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HistoryCommands, ADamagedHistoryIsReportedOnceAndLeftAlone) {
    WriteFile("History.db", "these bytes are the user's, not ours");
    {
        TMainForm form;
        EXPECT_EQ(form.History, nullptr);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].text.find("History.db"), std::string::npos) << boxes[0].text;
        EXPECT_EQ(form.Tables.ResClientDataSet.RecordCount(), 2); // the rankings are there
        emit form.ResDBGridEh->doubleClicked(form.ResDBGridEh->model()->index(1, 0));
        EXPECT_TRUE(HistoryWindows(form).empty());
        form.close();
    }
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(ReadFile("History.db"), "these bytes are the user's, not ours");
    EXPECT_TRUE(Exists("SECache.cds"));
}

TEST_F(HistoryCommands, ExportWritesWhatWasChosenAndReportsAFailure) {
    TMainForm form;
    QAction* exportAction = nullptr;
    for (QAction* menu : form.menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            if (item->text() == QStringLiteral("&Export..."))
                exportAction = item;
    ASSERT_NE(exportAction, nullptr);

    TExportChoice choice{TExportKind::SiteHistory, QString::fromStdString(Path("h.csv"))};
    QString proposed;
    SetExportAsker(
        [&](QWidget*, bool historyAvailable,
            const std::function<QString(TExportKind)>& name) -> std::optional<TExportChoice> {
            EXPECT_TRUE(historyAvailable);
            proposed = name(choice.kind);
            return choice;
        });
    exportAction->trigger();
    EXPECT_EQ(ReadFile("h.csv"), "date,site,engine,keyword,url,position,page,depth\r\n"
                                 "2026-02-03,www.shop.example,Alpha,shoes,"
                                 "http://shop.example/red.html,4,1,\r\n");
    EXPECT_TRUE(proposed.endsWith(QStringLiteral(".csv")));
    EXPECT_TRUE(proposed.contains(QStringLiteral("shop.example history ")));

    choice = {TExportKind::GridRows, QString::fromStdString(Path("g.csv"))};
    exportAction->trigger();
    EXPECT_NE(ReadFile("g.csv").find("\r\nAlpha,shoes,/red.html,1,4,"), std::string::npos)
        << ReadFile("g.csv");

    choice.path = QString::fromStdString(Path("no such folder/g.csv"));
    exportAction->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TBoxKind::Error);
    EXPECT_NE(boxes[0].text.find("no such folder/g.csv"), std::string::npos) << boxes[0].text;
}
