// The main window during a scan: the checks before it, the window state around it, the log,
// the stop command, the network wait handler and the animation that runs meanwhile.

#include "app/MainForm.h"

#include "app/MessageBoxes.h"
#include "engine/ScanDriver.h"
#include "net/PageFetcher.h"
#include "store/Sites.h"
#include "store/UserTableFile.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include <exception>

namespace quorvia {

namespace {

const char* const ScanStoppedByError =
    "The scan stopped because of an error. The engines and keywords checked before it keep their "
    "new rankings; the others were not checked.";

} // namespace

void TMainForm::CheckRankActionExecute() {
    // The button takes no focus: a keyword still being typed is stored first, so the checks and
    // the scan see the keywords as stored.
    StorePendingKeywords();
    if (CheckedEngineNames().empty()) {
        ShowInformationBox(this, QStringLiteral("Information"),
                           QStringLiteral("Select at least one search engine to check your "
                                          "rankings!"));
        SECheckListBox->setFocus();
        return;
    }
    if (!HasKeyword()) {
        ShowInformationBox(this, QStringLiteral("Information"),
                           QStringLiteral("Enter at least one keyword to check your rankings!"));
        // Without a site the boxes are disabled: "Edit" is where to begin.
        if (DBEdit1->isEnabled())
            DBEdit1->setFocus();
        else
            EditTBXButton->setFocus();
        return;
    }
    StartAnimation();
    ClearLog();
    SetControlsEnabled(false);
    SetScanButtonAction(StopAction);
    StopRequested = false;
    SetGaugeEnabled(true);
    SetGaugePosition(0);

    scanning_ = true;
    std::exception_ptr failure;
    try {
        if (ScanBody) {
            ScanBody();
        } else {
            TScanContext scan{*this, Tables, BadHtmlList};
            StartScan(scan);
        }
    } catch (...) {
        failure = std::current_exception();
    }
    StopRequested = true;
    SetGaugeEnabled(false);
    SetControlsEnabled(true);
    // The closing clip plays to its end before the button reads "Check My Rankings" again;
    // a window that is closing does not wait for it.
    while (!Image1OnPlayPanel() && !ApplicationEnding)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    SetScanButtonAction(CheckRankAction);
    scanning_ = false;

    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            ShowErrorBox(this, QString::fromStdString(WithDetails(ScanStoppedByError, e.what())));
        } catch (...) {
            ShowErrorBox(this, QString::fromStdString(WithDetails(ScanStoppedByError, "unknown")));
        }
    }
    if (closeAfterScan_)
        close();
}

void TMainForm::SetScanButtonAction(QAction* action) {
    // One action at a time: a tool button with several would offer them as a menu.
    CheckRankTBXButton->removeAction(CheckRankTBXButton->defaultAction());
    CheckRankTBXButton->setDefaultAction(action);
}

bool TMainForm::HasKeyword() const {
    return !RecordKeywords(const_cast<TTables&>(Tables).WordClientDataSet).empty();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (scanning_) {
        // The scan is still on the stack: stop it, let it unwind, and close after it.
        closeAfterScan_ = true;
        ApplicationEnding = true;
        StopRequested = true;
        event->ignore();
        return;
    }
    WriteFormStorage(); // shutdown 1; closing goes on even when it failed
    event->accept();
}

void TMainForm::RefreshResults() {
    ResultsView->RefreshResults(SelectedSiteName(), EngineListItems());
}

void TMainForm::PairEnded(const std::string& engine, const std::string& keyword,
                          const std::string& failure) {
    // The walk refreshes the rows right after this, which brings the mark in or out.
    PairMarks.PairEnded(SelectedSiteName(), engine, keyword, failure);
}

void TMainForm::StopActionExecute() {
    StopRequested = true;
}

void TMainForm::ExitActionExecute() {
    close();
}

void TMainForm::HttpCliWait(QObject*, bool& CanAbort) {
    CanAbort = StopRequested;
}

// ---------------------------------------------------------------------------------------------
// The animation: the opening clip once, the looping clip until the scan has ended, the closing
// clip once, then the still picture again.

bool TMainForm::Image1OnPlayPanel() const {
    return Image1->parentWidget() == PlayPanel;
}

void TMainForm::TakeImage1Off() {
    // Onto the window itself, behind the banner panels, so the players show through.
    Image1->setParent(this);
    Image1->move(PlayPanel->mapTo(this, QPoint(0, 0)));
    Image1->lower();
    Image1->show();
}

void TMainForm::PutImage1Back() {
    Image1->setParent(PlayPanel);
    Image1->move(0, 0);
    Image1->show();
    Image1->raise();
}

void TMainForm::StartAnimation() {
    PlayPanel->repaint();
    TakeImage1Off();
    if (!MediaPlayer1->Play())
        PutImage1Back();
}

void TMainForm::MediaPlayer1Notify(TClipPlayer*) {
    if (MediaPlayer1->Mode() == TClipPlayer::TMode::Stopped && !MediaPlayer2->Play())
        PutImage1Back();
    MediaPlayer1->Notify = true;
}

void TMainForm::MediaPlayer2Notify(TClipPlayer*) {
    TClipPlayer* next = StopRequested ? MediaPlayer3 : MediaPlayer2;
    if (!next->Play())
        PutImage1Back();
    MediaPlayer2->Notify = true;
}

void TMainForm::MediaPlayer3Notify(TClipPlayer*) {
    if (MediaPlayer3->Mode() == TClipPlayer::TMode::Stopped)
        PutImage1Back();
    MediaPlayer3->Notify = true;
}

} // namespace quorvia
