#pragma once
// TMainForm: the program's one window. It wires the parts together: the tables it owns, the
// engine list, the inputs of a scan, the log pane, the status bar and the scan animation.
// Creating it runs the start-up steps, destroying it the shutdown steps; the scan logic sees it
// only through IScanWindow.

#include "app/ClipPlayer.h"
#include "app/FormStorage.h"
#include "app/MessageBoxes.h"
#include "engine/ScanWindow.h"
#include "history/HistoryRecorder.h"
#include "store/Tables.h"
#include "view/PairMarks.h"
#include "view/ResultsViewBuilder.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QProgressBar;
class QRadioButton;
class QSplitter;
class QSplitterHandle;
class QToolButton;

namespace quorvia {

class TResultsGrid;
class TUserFilesSave;

// A widget that shows one picture at its top-left corner, whatever its enabled state.
class TPictureBox : public QWidget {
public:
    TPictureBox(QWidget* parent, QImage picture);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage picture_;
};

class TMainForm : public QMainWindow, public IScanWindow {
    Q_OBJECT
public:
    static constexpr const char* Caption = ApplicationTitle;
    // What the empty grid says while no site exists.
    static const char* const FirstRunGuide;

    TMainForm();
    ~TMainForm() override;

    // --- the engine list
    void FillEngineList();
    void TickEngine(const std::string& name);
    void SECheckListBoxClickCheck();
    void SelectAllTBXButtonClick();
    void DeSelectAllTBXButtonClick();
    void IntTBXCheckBoxChange();

    // --- the site selector and the keyword boxes
    void ShowSelectedSite();
    void WebSiteRxDBLookupComboChange();
    void EditTBXButtonClick();
    void DBEdit1Exit();
    void DBEdit1KeyPress(char key);

    // --- commands leading out of the window
    void HelpActionExecute();
    void SupportActionExecute();
    void CheckUpdateActionExecute();
    void DistributionActionExecute();
    void AboutActionExecute();
    void SettingsActionExecute();
    void ImageClick(); // the banner, the animation box and its still picture

    // --- sizes
    void FormResize();
    void dfsStatusBarResize();

    // --- the scan
    void CheckRankActionExecute();
    void StopActionExecute();
    void ExitActionExecute();
    void SetControlsEnabled(bool enabled);
    void HttpCliWait(QObject* sender, bool& CanAbort);
    bool Scanning() const { return scanning_; }
    // What runs between the window's scanning state and its restore: the scan driver's
    // StartScan while empty; tests put their own scans here.
    std::function<void()> ScanBody;

    // --- the animation
    void MediaPlayer1Notify(TClipPlayer* player);
    void MediaPlayer2Notify(TClipPlayer* player);
    void MediaPlayer3Notify(TClipPlayer* player);
    bool Image1OnPlayPanel() const;

    // --- IScanWindow
    void SetStatusText(const std::string& text) override;
    void SetGaugeEnabled(bool enabled) override;
    void SetGaugePosition(int percent) override;
    void LogError(const std::string& message) override;
    void ClearLog() override;
    void ProcessMessages() override;
    std::string SelectedSiteName() const override;
    bool ScanForFirst() const override;
    std::vector<std::string> CheckedEngineNames() const override;
    std::vector<bool> DepthButtonsChosen() const override;
    void RefreshResults() override;
    void PairEnded(const std::string& engine, const std::string& keyword,
                   const std::string& failure) override;

    // --- the ranking history: export, and the History window of a grid row
    void ExportActionExecute();
    // Opens the History window for a result row of the grid; engine rows have none.
    void ShowHistory(int resultRow);
    // Null when the history file cannot be used: the program goes on without it.
    std::unique_ptr<THistoryStore> History;
    std::unique_ptr<THistoryRecorder> HistoryRecorder;

    // --- the result rows and the grid
    // The engine of the grid's current row, whose result rows the grid shades.
    const std::string& CurrentEngine() const { return ResultsView->CurrentEngine(); }
    void ColumnButtonClick();
    // A page link of the grid: its page in the browser.
    void OpenPageOfRow(int row);

    // --- what the window keeps
    TTables Tables;
    std::vector<std::string> IntSeList;
    std::vector<std::string> BadHtmlList;
    TStoredChoices Stored; // "WebSite" and "SEs" while the program runs
    TPairMarks PairMarks;  // the pairs the last scan of each site could not check
    QStringList AnimationFiles;

    // --- actions (the command table)
    QAction* CheckUpdateAction;
    QAction* SettingsAction;
    QAction* ExportAction;
    QAction* ShowHistoryAction; // the grid's context menu
    QAction* ExitAction;
    QAction* SupportAction;
    QAction* HelpAction;
    QAction* DistributionAction;
    QAction* AboutAction;
    QAction* CheckRankAction;
    QAction* StopAction;

    // --- controls, named as the program names them
    QFrame* Panel7; // banner strip
    QFrame* Panel8; // sunken area of the banner picture
    TPictureBox* Image;
    QFrame* Panel9; // sunken box of the player panel
    QWidget* PlayPanel;
    TClipPlayer* MediaPlayer1;
    TClipPlayer* MediaPlayer2;
    TClipPlayer* MediaPlayer3;
    TPictureBox* Image1;

    QFrame* Panel1; // input strip
    QLabel* WebSiteLabel;
    QComboBox* WebSiteRxDBLookupCombo;
    QToolButton* EditTBXButton;
    QLabel* KeywordsLabel;
    QLineEdit* DBEdit1;
    QLineEdit* DBEdit2;
    QLineEdit* DBEdit3;
    QLineEdit* DBEdit4;
    QToolButton* CheckRankTBXButton;
    QCheckBox* ScanForFirstTBXCheckBox;
    QFrame* Panel3; // depth buttons
    QLabel* DepthLabel;
    QRadioButton* TBXRadioButton1;
    QRadioButton* TBXRadioButton2;
    QRadioButton* TBXRadioButton3;
    QRadioButton* TBXRadioButton4;
    QRadioButton* TBXRadioButton5;
    QRadioButton* TBXRadioButton6;
    QRadioButton* TBXRadioButton7;
    QRadioButton* TBXRadioButton8;

    QSplitter* MiddleSplitter;
    QFrame* Panel6; // engine column
    QFrame* SEHeaderPanel;
    QLabel* SEHeaderImage;
    QLabel* SEHeaderLabel;
    QListWidget* SECheckListBox;
    QCheckBox* IntTBXCheckBox;
    QToolButton* SelectAllTBXButton;
    QToolButton* DeSelectAllTBXButton;

    QToolButton* ColumnButton; // hidden, at the right-hand end of the depth row

    QFrame* Panel2; // grid area
    QFrame* Panel4;
    TResultsGrid* ResDBGridEh;
    QFrame* Panel5; // hidden panel under the grid

    QSplitter* LogSplitter;
    QSplitterHandle* SanSplitter;
    QPlainTextEdit* LogRichEdit;

    QFrame* dfsStatusBar;
    QLabel* StatusPanel; // panel 0
    QProgressBar* Gauge; // panel 1

    // Panel 0's width: the status bar's width less the gauge and a caption button.
    static int CaptionButtonWidth();
    // The design size, 750 x 550, as the minimum, as far as the space for the window's inside
    // on its screen allows: on a smaller screen the minimum gives way.
    static QSize FittedMinimumSize(const QSize& available);
    void FitMinimumSize();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    QWidget* CreateBannerStrip();
    QWidget* CreateInputStrip();
    QWidget* CreateEngineColumn();
    QWidget* CreateGridArea();
    QWidget* CreateStatusBar();
    std::vector<QRadioButton*> DepthButtons() const;
    std::vector<QWidget*> SwitchedControls() const;
    std::vector<TEngineListItem> EngineListItems() const;

    void FormCreate();
    void FormDestroy();
    void PrepareAnimations();
    void LoadTables();
    // Opens the history beside the tables (seeded from the ranking records when new).
    void OpenRankingHistory();
    void GridContextMenu(const QPoint& position);
    // Loads a user table from its file when the file exists, tells the user of a file that
    // could not be read, and remembers whether the table may be written back at shutdown.
    void LoadUserTable(TClientDataSet& table, const std::string& fileName,
                       std::string_view contents);
    bool WriteFormStorage();
    void SaveTables(TUserFilesSave& save);

    // The selector's value changing, as a pick in its list or ShowSelectedSite changes it.
    void ChooseSiteValue(const std::string& value);
    // The boxes following the current site's keyword record.
    void ShowKeywords();
    // The keyword boxes enabled and the grid's guide shown as a site exists or not.
    void ShowFirstRunGuide();
    void KeywordTyped(std::size_t box, const QString& text);
    // A keyword typed but not yet stored is stored as leaving its box would store it.
    void StorePendingKeywords();
    // Leaving a keyword box and Enter in it; true when the event is used up.
    bool KeywordBoxEvent(QObject* watched, QEvent* event);
    // A click on the banner or the animation box; true when the event is used up.
    bool PictureClickEvent(QObject* watched, QEvent* event);

    bool HasKeyword() const;
    void SetScanButtonAction(QAction* action);
    void StartAnimation();
    void TakeImage1Off();
    void PutImage1Back();

    // Lets the keyword boxes follow the keyword table while its controls are enabled.
    class TKeywordView : public TTableObserver {
    public:
        explicit TKeywordView(TMainForm& form) : form_(form) {}
        void DataChanged(TClientDataSet&) override { form_.ShowKeywords(); }
        void CurrentMoved(TClientDataSet&) override { form_.ShowKeywords(); }
        void ControlsSwitched(TClientDataSet&, bool enabled) override {
            if (enabled)
                form_.ShowKeywords();
        }

    private:
        TMainForm& form_;
    };
    TKeywordView keywordView_{*this};
    std::string siteValue_; // the selector's value: the chosen SiteName
    bool typingKeyword_ = false;

    std::unique_ptr<TResultsViewBuilder> ResultsView; // after Tables: it goes first
    std::unique_ptr<TFormStorage> FormStorage;
    bool formStorageWritten_ = false;
    // Tables whose file was loaded, or absent when start-up reached it: these may be saved.
    std::vector<TClientDataSet*> savableTables_;
    bool scanning_ = false;
    bool closeAfterScan_ = false;
};

} // namespace quorvia
