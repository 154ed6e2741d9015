// The result grid in the main window: rows built at start-up and on every tick, the current
// engine following the grid's row, the column layout kept in set.ini across a restart, and the
// hidden column chooser button.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "platform/ProfileFile.h"
#include "store/Tables.h"
#include "view/ResultsGrid.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QToolButton>

#include <memory>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

class ResultsArea : public ::testing::Test, public TProgramFolderFixture {
protected:
    ResultsArea() {
        WriteEngines({"Alpha", "Beta", "Gamma"});
        TTables tables;
        tables.WebSiteClientDataSet.Append();
        tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString("www.shop.example");
        tables.WebSiteClientDataSet.Post();
        tables.WordClientDataSet.Append();
        tables.WordClientDataSet.FieldByName("Word1").SetAsString("shoes");
        tables.WordClientDataSet.Post();
        TClientDataSet& records = tables.SECacheClientDataSet;
        for (const char* engine : {"Alpha", "Beta", "Gamma"}) {
            records.Append();
            records.FieldByName("SENAME").SetAsString(engine);
            records.FieldByName("Keyword").SetAsString("shoes");
            records.FieldByName("url").SetAsString("http://shop.example/red.html");
            records.FieldByName("Position").SetAsInteger(4);
            records.Post();
        }
        SaveDataSet(tables.WebSiteClientDataSet, Path("WebSite.cds"));
        SaveDataSet(tables.WordClientDataSet, Path("Word.cds"));
        SaveDataSet(records, Path("SECache.cds"));
    }

    static std::vector<std::string> Engines(TMainForm& form) {
        std::vector<std::string> engines;
        TClientDataSet& rows = form.Tables.ResClientDataSet;
        for (int r = 0; r < rows.RecordCount(); ++r)
            if (rows.TextAt(r, rows.FindFieldIndex("url")).empty())
                engines.push_back(rows.TextAt(r, rows.FindFieldIndex("SENAME")));
        return engines;
    }
};

} // namespace

TEST_F(ResultsArea, RowsFollowTheTicksAndTheCurrentEngineTheGridsRow) {
    WriteFile("set.ini", "[TMainForm]\nSEs=Alpha,Beta\n");
    TMainForm form;
    EXPECT_EQ(Engines(form), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(form.ResDBGridEh->model()->rowCount(), 4);
    EXPECT_EQ(
        form.Tables.ResClientDataSet.TextAt(1, form.Tables.ResClientDataSet.FindFieldIndex("url")),
        "/red.html");
    EXPECT_EQ(form.CurrentEngine(), "Alpha");
    EXPECT_EQ(form.ResDBGridEh->currentIndex().row(), 0);

    // Picking a row of Beta in the grid makes Beta the current engine.
    form.ResDBGridEh->setCurrentIndex(form.ResDBGridEh->model()->index(3, 0));
    EXPECT_EQ(form.CurrentEngine(), "Beta");

    // A tick as the user makes it rebuilds the rows and starts again at the first one.
    form.SECheckListBox->item(2)->setCheckState(Qt::Checked);
    EXPECT_EQ(Engines(form), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(form.ResDBGridEh->currentIndex().row(), 0);
    EXPECT_EQ(form.CurrentEngine(), "Alpha");
    form.DeSelectAllTBXButtonClick();
    EXPECT_EQ(form.ResDBGridEh->model()->rowCount(), 0);
    EXPECT_EQ(form.CurrentEngine(), "");
}

TEST_F(ResultsArea, ColumnOrderAndWidthsSurviveARestart) {
    WriteFile("set.ini", "[ResDBGridEh]\n"
                         "ResDBGridEh.url=0,300,0,1,0,7,0\n"
                         "ResDBGridEh.Keyword=1,100,0,1,0,7,0\n"
                         "ResDBGridEh.LastPosition=4,64,0,1,0,7,0\n");
    {
        TMainForm form;
        form.resize(1000, 600);
        EXPECT_EQ(form.ResDBGridEh->FieldAtPlace(0), "url");
        EXPECT_EQ(form.ResDBGridEh->FieldAtPlace(1), "Keyword");
        EXPECT_FALSE(form.ResDBGridEh->IsColumnShown("LastPosition")); // visibility is not read
        form.close();
    }
    const ProfileFile settings(Path("set.ini"));
    EXPECT_EQ(settings.ReadString("ResDBGridEh", "ResDBGridEh.url", "").substr(0, 2), "0,");
    EXPECT_EQ(settings.ReadString("ResDBGridEh", "ResDBGridEh.Keyword", "").substr(0, 2), "1,");
    EXPECT_EQ(settings.ReadString("ResDBGridEh", "ResDBGridEh.ChangePage", ""), "9,64,0,0,0,7,0");

    TMainForm again;
    again.resize(1000, 600);
    EXPECT_EQ(again.ResDBGridEh->FieldAtPlace(0), "url");
    EXPECT_EQ(again.ResDBGridEh->FieldAtPlace(1), "Keyword");
    EXPECT_GT(again.ResDBGridEh->columnWidth(1), again.ResDBGridEh->columnWidth(0));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ResultsArea, TheColumnsButtonIsHiddenAtTheEndOfTheDepthRow) {
    TMainForm form;
    EXPECT_EQ(form.ColumnButton->text().toStdString(), "Columns");
    EXPECT_TRUE(form.ColumnButton->isHidden());
    EXPECT_EQ(form.ColumnButton->parentWidget(), form.Panel3);
    EXPECT_TRUE(form.Panel5->isHidden());
}
