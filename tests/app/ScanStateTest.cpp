// The window around a scan: the checks before it, the controls while it runs, the animation
// that plays meanwhile, the log, and closing the window in the middle of it.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "net/PageFetcher.h"
#include "store/Tables.h"
#include "view/ResultsGrid.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSplitterHandle>
#include <QTest>
#include <QToolButton>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

class ScanState : public ::testing::Test, public TProgramFolderFixture {
protected:
    ScanState() { WriteEngines({"Alpha", "Beta"}); }
    ~ScanState() override {
        ApplicationEnding = false;
        StopRequested = false;
    }

    void GiveKeyword(TMainForm& form, const std::string& word) {
        TClientDataSet& sites = form.Tables.WebSiteClientDataSet;
        sites.Append();
        sites.FieldByName("SiteName").SetAsString("site.example");
        sites.Post();
        TClientDataSet& words = form.Tables.WordClientDataSet;
        words.Append();
        words.FieldByName("Word2").SetAsString(word);
        words.Post();
    }
    static void PumpFor(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

} // namespace

TEST_F(ScanState, TheEngineCheckComesBeforeTheKeywordCheck) {
    TMainForm form;
    bool scanned = false;
    form.ScanBody = [&] { scanned = true; };

    form.CheckRankActionExecute();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TBoxKind::Information);
    EXPECT_EQ(boxes[0].caption, "Information");
    EXPECT_EQ(boxes[0].text, "Select at least one search engine to check your rankings!");
    EXPECT_EQ(form.focusWidget(), form.SECheckListBox);

    form.TickEngine("Beta");
    form.CheckRankActionExecute();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Enter at least one keyword to check your rankings!");
    EXPECT_EQ(form.focusWidget(), form.EditTBXButton); // no site yet: the boxes are disabled
    EXPECT_FALSE(scanned);

    GiveKeyword(form, "");
    form.ShowSelectedSite();
    form.CheckRankActionExecute();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text, "Enter at least one keyword to check your rankings!");
    EXPECT_EQ(form.focusWidget(), form.DBEdit1);
    EXPECT_FALSE(scanned);

    form.Tables.WordClientDataSet.Edit();
    form.Tables.WordClientDataSet.FieldByName("Word2").SetAsString("shoes");
    form.Tables.WordClientDataSet.Post();
    form.CheckRankActionExecute();
    EXPECT_TRUE(scanned);
    EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(ScanState, DuringAScanOnlyTheInputsAreDisabledAndEverythingComesBack) {
    TMainForm form;
    form.TickEngine("Alpha");
    GiveKeyword(form, "shoes");
    form.LogError("left from before");

    const std::vector<QWidget*> untouched = {
        form.LogRichEdit, form.SanSplitter, form.CheckRankTBXButton,
        form.ResDBGridEh, form.Panel2,      form.Panel4,
        form.Panel1,      form.Panel7,      form.Panel8,
        form.Panel9,      form.Image,       form.PlayPanel,
        form.dfsStatusBar};
    const std::vector<QWidget*> switched = {form.WebSiteRxDBLookupCombo,
                                            form.EditTBXButton,
                                            form.DBEdit1,
                                            form.DBEdit4,
                                            form.TBXRadioButton1,
                                            form.TBXRadioButton8,
                                            form.Panel3,
                                            form.ScanForFirstTBXCheckBox,
                                            form.IntTBXCheckBox,
                                            form.SECheckListBox,
                                            form.Panel6,
                                            form.SelectAllTBXButton,
                                            form.DeSelectAllTBXButton,
                                            form.ColumnButton,
                                            form.Panel5,
                                            form.MediaPlayer1,
                                            form.MediaPlayer3,
                                            form.Image1,
                                            form.WebSiteLabel,
                                            form.DepthLabel,
                                            form.SEHeaderLabel};

    bool checked = false;
    form.ScanBody = [&] {
        checked = true;
        EXPECT_TRUE(form.Scanning());
        EXPECT_FALSE(StopRequested);
        EXPECT_EQ(form.CheckRankTBXButton->defaultAction(), form.StopAction);
        EXPECT_EQ(form.CheckRankTBXButton->text().toStdString(), "Stop scanning");
        EXPECT_FALSE(form.Gauge->isHidden());
        EXPECT_EQ(form.Gauge->value(), 0);
        EXPECT_TRUE(form.LogRichEdit->isHidden());
        EXPECT_TRUE(form.LogRichEdit->toPlainText().isEmpty());
        EXPECT_FALSE(form.Image1OnPlayPanel());
        for (QWidget* w : untouched)
            EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
        for (QWidget* w : switched)
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_TRUE(form.ExitAction->isEnabled());
        form.SetGaugePosition(140); // the walk can pass 100 for a moment
        EXPECT_EQ(form.Gauge->value(), 100);
        form.LogError("Connection error: 10061 Connection refused. ");
        form.LogError("");
        EXPECT_FALSE(form.LogRichEdit->isHidden());
        EXPECT_FALSE(form.SanSplitter->isHidden());
    };
    form.CheckRankActionExecute();
    ASSERT_TRUE(checked);
    EXPECT_FALSE(form.Scanning());
    EXPECT_TRUE(StopRequested);
    EXPECT_EQ(form.CheckRankTBXButton->defaultAction(), form.CheckRankAction);
    EXPECT_TRUE(form.Gauge->isHidden()); // switched off: no grey bar of the last value
    EXPECT_TRUE(form.Image1OnPlayPanel());
    for (QWidget* w : switched)
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(form.LogRichEdit->toPlainText().toStdString(),
              "Connection error: 10061 Connection refused. ");
}

TEST_F(ScanState, AShortScanStillShowsTheOpeningOneLoopAndTheClosingClip) {
    TMainForm form;
    form.TickEngine("Alpha");
    GiveKeyword(form, "shoes");
    std::vector<int> ended;
    for (TClipPlayer* p : {form.MediaPlayer1, form.MediaPlayer2, form.MediaPlayer3})
        QObject::connect(p, &TClipPlayer::OnNotify, &form, [&ended, &form](TClipPlayer* player) {
            ended.push_back(player == form.MediaPlayer1 ? 1 : player == form.MediaPlayer2 ? 2 : 3);
        });
    form.ScanBody = [] {};
    form.CheckRankActionExecute();
    EXPECT_EQ(ended, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(form.Image1OnPlayPanel());
}

TEST_F(ScanState, TheLoopRepeatsWhileTheScanRuns) {
    TMainForm form;
    form.TickEngine("Alpha");
    GiveKeyword(form, "shoes");
    int loops = 0;
    QObject::connect(form.MediaPlayer2, &TClipPlayer::OnNotify, &form,
                     [&loops](TClipPlayer*) { ++loops; });
    // 5 + 16 + 16 frames at 40 ms and a little more: at least two passes of the loop.
    form.ScanBody = [] { PumpFor(1600); };
    form.CheckRankActionExecute();
    EXPECT_GE(loops, 2);
    EXPECT_TRUE(form.Image1OnPlayPanel());
}

TEST_F(ScanState, WithoutAnimationTheWindowIsRestoredAtOnce) {
    TMainForm form;
    form.TickEngine("Alpha");
    GiveKeyword(form, "shoes");
    for (TClipPlayer* p : {form.MediaPlayer1, form.MediaPlayer2, form.MediaPlayer3})
        p->Close();
    form.ScanBody = [&] { EXPECT_TRUE(form.Image1OnPlayPanel()); };
    QElapsedTimer clock;
    clock.start();
    form.CheckRankActionExecute();
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_EQ(form.CheckRankTBXButton->defaultAction(), form.CheckRankAction);
}

TEST_F(ScanState, StopSetsTheFlagAndTheWaitHandlerReportsIt) {
    TMainForm form;
    ASSERT_TRUE(bool(WaitHandler));
    bool cancel = true;
    StopRequested = false;
    WaitHandler(nullptr, cancel);
    EXPECT_FALSE(cancel);
    form.StopAction->trigger();
    EXPECT_TRUE(StopRequested);
    WaitHandler(nullptr, cancel);
    EXPECT_TRUE(cancel);
}

TEST_F(ScanState, ClosingDuringAScanStopsItAndShutsDownAfterIt) {
    auto form = std::make_unique<TMainForm>();
    form->show();
    form->TickEngine("Alpha");
    GiveKeyword(*form, "shoes");
    bool stillThere = false;
    form->ScanBody = [&] {
        form->close();
        stillThere = !StopRequested ? false : form->isVisible();
        EXPECT_TRUE(ApplicationEnding);
        EXPECT_FALSE(Exists("set.ini")); // nothing is shut down under the running scan
    };
    form->CheckRankActionExecute();
    EXPECT_TRUE(stillThere);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(Exists("set.ini"));
    form.reset();
    EXPECT_TRUE(Exists("SECache.cds"));
}

TEST_F(ScanState, StatusBarPanelsAndTheCentredBanner) {
    TMainForm form;
    form.resize(1000, 600);
    form.show();
    PumpFor(50);
    EXPECT_EQ(form.Gauge->width(), 100);
    EXPECT_EQ(form.StatusPanel->width(),
              form.dfsStatusBar->width() - 100 - TMainForm::CaptionButtonWidth());
    EXPECT_EQ(form.Image->x(), (form.Panel8->width() - 600) / 2);
    form.SetStatusText("Querying 'Alpha' with keyword 'shoes'.");
    EXPECT_EQ(form.StatusPanel->text().toStdString(), "Querying 'Alpha' with keyword 'shoes'.");
    EXPECT_EQ(form.windowTitle().toStdString(), "Quorvia by Halvex");
    EXPECT_EQ(form.minimumSize(), QSize(750, 550)); // the test screen has room for it
}

TEST_F(ScanState, TheMinimumSizeGivesWayOnASmallScreen) {
    const std::pair<QSize, QSize> cases[] = {
        {QSize(1912, 1040), QSize(750, 550)},
        {QSize(750, 550), QSize(750, 550)},
        {QSize(902, 472), QSize(750, 472)}, // 1366 x 768 at 150 %, a panel and a title bar
        {QSize(632, 400), QSize(632, 400)},
    };
    for (const auto& [available, minimum] : cases)
        EXPECT_EQ(TMainForm::FittedMinimumSize(available), minimum)
            << available.width() << "x" << available.height();
}

TEST_F(ScanState, TabEntersARadioGroupAtTheChosenButtonAndArrowsChoose) {
    TMainForm form;
    form.setWindowState(Qt::WindowNoState);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.TBXRadioButton7->click(); // "150"
    form.ScanForFirstTBXCheckBox->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form.TBXRadioButton7);
    QTest::keyClick(form.TBXRadioButton7, Qt::Key_Left);
    EXPECT_TRUE(form.TBXRadioButton6->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), form.TBXRadioButton6);
    QTest::keyClick(form.TBXRadioButton6, Qt::Key_Down);
    QTest::keyClick(form.TBXRadioButton7, Qt::Key_Right);
    EXPECT_TRUE(form.TBXRadioButton8->isChecked());
    QTest::keyClick(form.TBXRadioButton8, Qt::Key_Right); // the last: the choice stays
    EXPECT_TRUE(form.TBXRadioButton8->isChecked());
    // The next Tab leaves the group.
    QTest::keyClick(form.TBXRadioButton8, Qt::Key_Tab);
    const auto depth =
        form.findChildren<QRadioButton*>(QRegularExpression(QStringLiteral("^TBXRadioButton")));
    EXPECT_FALSE(depth.contains(qobject_cast<QRadioButton*>(QApplication::focusWidget())));
    // Back-tab comes back to the chosen one.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), form.TBXRadioButton8);
}
