#include "app/MainForm.h"

#include "app/AnimationFiles.h"
#include "app/MessageBoxes.h"
#include "app/Pictures.h"
#include "app/RadioGroupKeys.h"
#include "app/ShellOpen.h"
#include "app/UserFilesSave.h"
#include "engine/EngineTable.h"
#include "engine/PageCache.h"
#include "net/PageFetcher.h"
#include "platform/CommaText.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"
#include "settings/ConnectionSettings.h"
#include "store/UserTableFile.h"
#include "view/ResultsGrid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProxyStyle>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <exception>
#include <filesystem>

namespace quorvia {

namespace {

constexpr int DesignWidth = 750;
constexpr int DesignHeight = 550;
constexpr int BannerStripHeight = 64;
constexpr int InputStripHeight = 121;
constexpr int EngineColumnWidth = 201;
constexpr int EngineColumnMinWidth = 161;
constexpr int LogHeight = 90;
constexpr int SplitterWidth = 5;
constexpr int GaugeWidth = 100;

const char* const DepthHint = "If you decide to take a deep scan (more than 100 search results), "
                              "it may take you a lot of time depending on your connection";

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

QFrame* MakePanel(QWidget* parent, const char* name, QFrame::Shape shape = QFrame::NoFrame,
                  QFrame::Shadow shadow = QFrame::Plain) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(Q(name));
    panel->setFrameStyle(shape | shadow);
    return panel;
}

template <class Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(Q(name));
    return widget;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = Named(new QToolButton(parent), name);
    button->setText(Q(caption));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

// A drop-down list that opens below its box, as a list of at most its maximum count of rows
// with a scroll bar, where the style would open a menu of every entry over the box.
class TListPopupStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

TPictureBox::TPictureBox(QWidget* parent, QImage picture)
    : QWidget(parent), picture_(std::move(picture)) {
    resize(picture_.size());
}

void TPictureBox::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, picture_);
}

// ---------------------------------------------------------------------------------------------
// Construction: the layout of the window, top to bottom.

TMainForm::TMainForm() {
    setObjectName(Q("MainForm"));
    setWindowTitle(Q(Caption));
    QFont font(Q("DejaVu Sans"));
    font.setPixelSize(11);
    setFont(font);
    FitMinimumSize();
    resize(DesignWidth, DesignHeight);

    CreateActions();
    CreateMenus();

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(CreateBannerStrip());
    column->addWidget(CreateInputStrip());

    LogSplitter = Named(new QSplitter(Qt::Vertical, central), "LogSplitter");
    LogSplitter->setHandleWidth(SplitterWidth);
    LogSplitter->setChildrenCollapsible(false);
    MiddleSplitter = Named(new QSplitter(Qt::Horizontal, LogSplitter), "MiddleSplitter");
    MiddleSplitter->setChildrenCollapsible(false);
    MiddleSplitter->addWidget(CreateEngineColumn());
    MiddleSplitter->addWidget(CreateGridArea());
    MiddleSplitter->setStretchFactor(0, 0);
    MiddleSplitter->setStretchFactor(1, 1);
    MiddleSplitter->setSizes({EngineColumnWidth, DesignWidth - EngineColumnWidth});
    LogSplitter->addWidget(MiddleSplitter);

    LogRichEdit = Named(new QPlainTextEdit(LogSplitter), "LogRichEdit");
    LogRichEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    LogRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LogRichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LogRichEdit->setToolTip(Q("All errors you have encountered are displayed here"));
    LogRichEdit->setMinimumHeight(30);
    LogSplitter->addWidget(LogRichEdit);
    LogSplitter->setStretchFactor(0, 1);
    LogSplitter->setStretchFactor(1, 0);
    SanSplitter = Named(LogSplitter->handle(1), "SanSplitter");
    LogRichEdit->hide();
    SanSplitter->hide();
    column->addWidget(LogSplitter, 1);
    column->addWidget(CreateStatusBar());
    setCentralWidget(central);

    Tables.WordClientDataSet.AddObserver(&keywordView_);
    FormCreate();
}

void TMainForm::CreateActions() {
    const auto make = [this](const char* name, const char* caption) {
        auto* action = new QAction(Q(caption), this);
        action->setObjectName(Q(name));
        return action;
    };
    CheckUpdateAction = make("CheckUpdateAction", "&Get updates");
    SettingsAction = make("SettingsAction", "Se&ttings...");
    ExportAction = make("ExportAction", "&Export...");
    ShowHistoryAction = make("ShowHistoryAction", "Show history");
    ExitAction = make("ExitAction", "E&xit");
    SupportAction = make("SupportAction", "&Get support");
    HelpAction = make("HelpAction", "&Help topics");
    DistributionAction = make("DistributionAction", "Program distribution");
    AboutAction = make("AboutAction", "&About...");
    CheckRankAction = make("CheckRankAction", "Check My Rankings");
    CheckRankAction->setIcon(QIcon(QPixmap::fromImage(Pictures::ScanButtonPicture())));
    StopAction = make("StopAction", "Stop scanning");
    StopAction->setIcon(QIcon(QPixmap::fromImage(Pictures::StopButtonPicture())));

    connect(CheckUpdateAction, &QAction::triggered, this, &TMainForm::CheckUpdateActionExecute);
    connect(SettingsAction, &QAction::triggered, this, &TMainForm::SettingsActionExecute);
    connect(ExportAction, &QAction::triggered, this, &TMainForm::ExportActionExecute);
    connect(ExitAction, &QAction::triggered, this, &TMainForm::ExitActionExecute);
    connect(SupportAction, &QAction::triggered, this, &TMainForm::SupportActionExecute);
    connect(HelpAction, &QAction::triggered, this, &TMainForm::HelpActionExecute);
    connect(DistributionAction, &QAction::triggered, this, &TMainForm::DistributionActionExecute);
    connect(AboutAction, &QAction::triggered, this, &TMainForm::AboutActionExecute);
    connect(CheckRankAction, &QAction::triggered, this, &TMainForm::CheckRankActionExecute);
    connect(StopAction, &QAction::triggered, this, &TMainForm::StopActionExecute);
}

void TMainForm::CreateMenus() {
    QMenu* file = menuBar()->addMenu(Q("&File"));
    file->addAction(CheckUpdateAction);
    file->addAction(SettingsAction);
    file->addAction(ExportAction);
    file->addSeparator();
    file->addAction(ExitAction);
    QMenu* help = menuBar()->addMenu(Q("&Help"));
    help->addAction(SupportAction);
    help->addAction(HelpAction);
    help->addAction(DistributionAction);
    help->addAction(AboutAction);
}

QWidget* TMainForm::CreateBannerStrip() {
    Panel7 = MakePanel(this, "Panel7");
    Panel7->setFixedHeight(BannerStripHeight);
    auto* row = new QHBoxLayout(Panel7);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    Panel8 = MakePanel(Panel7, "Panel8", QFrame::Panel, QFrame::Sunken);
    Image = Named(new TPictureBox(Panel8, Pictures::Banner()), "Image");
    Image->setCursor(Qt::PointingHandCursor);
    Image->move(0, (BannerStripHeight - Pictures::BannerHeight) / 2);
    Panel8->installEventFilter(this);
    row->addWidget(Panel8, 1);

    Panel9 = MakePanel(Panel7, "Panel9", QFrame::Panel, QFrame::Sunken);
    Panel9->setFixedSize(BannerStripHeight, BannerStripHeight);
    PlayPanel = Named(new QWidget(Panel9), "PlayPanel");
    PlayPanel->setGeometry(2, 2, Pictures::ClipSize, Pictures::ClipSize);
    PlayPanel->setAutoFillBackground(true);
    QPalette white = PlayPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    PlayPanel->setPalette(white);
    PlayPanel->setCursor(Qt::PointingHandCursor);
    MediaPlayer1 = Named(new TClipPlayer(PlayPanel), "MediaPlayer1");
    MediaPlayer2 = Named(new TClipPlayer(PlayPanel), "MediaPlayer2");
    MediaPlayer3 = Named(new TClipPlayer(PlayPanel), "MediaPlayer3");
    connect(MediaPlayer1, &TClipPlayer::OnNotify, this, &TMainForm::MediaPlayer1Notify);
    connect(MediaPlayer2, &TClipPlayer::OnNotify, this, &TMainForm::MediaPlayer2Notify);
    connect(MediaPlayer3, &TClipPlayer::OnNotify, this, &TMainForm::MediaPlayer3Notify);
    Image1 = Named(new TPictureBox(PlayPanel, Pictures::Still()), "Image1");
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->raise();
    for (QWidget* picture :
         {static_cast<QWidget*>(Image), PlayPanel, static_cast<QWidget*>(Image1)})
        picture->installEventFilter(this);
    row->addWidget(Panel9);
    return Panel7;
}

QWidget* TMainForm::CreateInputStrip() {
    Panel1 = MakePanel(this, "Panel1");
    Panel1->setFixedHeight(InputStripHeight);

    WebSiteLabel = Named(new QLabel(Q("Web site:"), Panel1), "WebSiteLabel");
    WebSiteLabel->setGeometry(8, 10, 60, 18);
    WebSiteRxDBLookupCombo = Named(new QComboBox(Panel1), "WebSiteRxDBLookupCombo");
    WebSiteRxDBLookupCombo->setGeometry(72, 8, 433, 22);
    WebSiteRxDBLookupCombo->setMaxVisibleItems(8);
    auto* listStyle = new TListPopupStyle;
    listStyle->setParent(WebSiteRxDBLookupCombo);
    WebSiteRxDBLookupCombo->setStyle(listStyle);
    connect(WebSiteRxDBLookupCombo, &QComboBox::activated, this, [this](int index) {
        ChooseSiteValue(WebSiteRxDBLookupCombo->itemText(index).toStdString());
    });
    EditTBXButton = MakeButton(Panel1, "EditTBXButton", "Edit");
    EditTBXButton->setGeometry(511, 7, 75, 24);
    EditTBXButton->setToolTip(Q("Add, choose or delete your web sites"));
    connect(EditTBXButton, &QToolButton::clicked, this, &TMainForm::EditTBXButtonClick);

    KeywordsLabel = Named(new QLabel(Q("Keywords and keyphrases:"), Panel1), "KeywordsLabel");
    KeywordsLabel->setGeometry(8, 36, 200, 16);
    QLineEdit** boxes[] = {&DBEdit1, &DBEdit2, &DBEdit3, &DBEdit4};
    const char* names[] = {"DBEdit1", "DBEdit2", "DBEdit3", "DBEdit4"};
    for (int i = 0; i < 4; ++i) {
        QLineEdit* box = Named(new QLineEdit(Panel1), names[i]);
        box->setGeometry(8 + i * 141, 54, 137, 22);
        box->setMaxLength(50);
        box->setToolTip(Q("Enter your keyword here"));
        connect(box, &QLineEdit::textEdited, this,
                [this, i](const QString& text) { KeywordTyped(std::size_t(i), text); });
        box->installEventFilter(this);
        *boxes[i] = box;
    }

    CheckRankTBXButton = Named(new QToolButton(Panel1), "CheckRankTBXButton");
    CheckRankTBXButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    CheckRankTBXButton->setIconSize(QSize(24, 24));
    CheckRankTBXButton->setGeometry(580, 47, 153, 35);
    CheckRankTBXButton->setDefaultAction(CheckRankAction);

    ScanForFirstTBXCheckBox =
        Named(new QCheckBox(Q("Scan until first entry found"), Panel1), "ScanForFirstTBXCheckBox");
    ScanForFirstTBXCheckBox->setChecked(true);
    ScanForFirstTBXCheckBox->setToolTip(
        Q("If checked, scanning will take less time. If you uncheck this option. the number of "
          "found results for your site may increase"));
    ScanForFirstTBXCheckBox->setGeometry(572, 88, ScanForFirstTBXCheckBox->sizeHint().width(), 20);

    Panel3 = MakePanel(Panel1, "Panel3");
    Panel3->setGeometry(0, 92, 560, 26);
    DepthLabel = Named(new QLabel(Q("Search results to scan:"), Panel3), "DepthLabel");
    DepthLabel->setToolTip(Q(DepthHint));
    DepthLabel->setGeometry(8, 4, 128, 18);
    QRadioButton** buttons[] = {&TBXRadioButton1, &TBXRadioButton2, &TBXRadioButton3,
                                &TBXRadioButton4, &TBXRadioButton5, &TBXRadioButton6,
                                &TBXRadioButton7, &TBXRadioButton8};
    const char* depths[] = {"10", "20", "30", "40", "50", "100", "150", "200"};
    int x = 140;
    for (int i = 0; i < 8; ++i) {
        const std::string name = "TBXRadioButton" + std::to_string(i + 1);
        auto* button = Named(new QRadioButton(Q(depths[i]), Panel3), name.c_str());
        button->setToolTip(Q(DepthHint));
        const int width = button->sizeHint().width() + 4;
        button->setGeometry(x, 4, width, 18);
        x += width + 4;
        *buttons[i] = button;
    }
    TBXRadioButton5->setChecked(true);
    new TRadioGroupKeys(DepthButtons());

    ColumnButton = MakeButton(Panel3, "ColumnButton", "Columns");
    ColumnButton->setGeometry(Panel3->width() - 79, 2, 75, 22);
    ColumnButton->hide(); // nothing in the window shows it
    connect(ColumnButton, &QToolButton::clicked, this, &TMainForm::ColumnButtonClick);
    return Panel1;
}

QWidget* TMainForm::CreateEngineColumn() {
    Panel6 = MakePanel(this, "Panel6");
    Panel6->setMinimumWidth(EngineColumnMinWidth);
    auto* column = new QVBoxLayout(Panel6);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(3);

    SEHeaderPanel = MakePanel(Panel6, "SEHeaderPanel", QFrame::StyledPanel, QFrame::Raised);
    auto* header = new QHBoxLayout(SEHeaderPanel);
    header->setContentsMargins(4, 2, 4, 2);
    SEHeaderImage = Named(new QLabel(SEHeaderPanel), "SEHeaderImage");
    SEHeaderImage->setPixmap(QPixmap::fromImage(Pictures::EngineHeaderPicture()));
    SEHeaderLabel = Named(new QLabel(Q("Select search engines"), SEHeaderPanel), "SEHeaderLabel");
    QFont bold = SEHeaderLabel->font();
    bold.setBold(true);
    SEHeaderLabel->setFont(bold);
    header->addWidget(SEHeaderImage);
    header->addWidget(SEHeaderLabel, 1);
    column->addWidget(SEHeaderPanel);

    SECheckListBox = Named(new QListWidget(Panel6), "SECheckListBox");
    connect(SECheckListBox, &QListWidget::itemChanged, this,
            [this](QListWidgetItem*) { SECheckListBoxClickCheck(); });
    column->addWidget(SECheckListBox, 1);

    IntTBXCheckBox = Named(new QCheckBox(Q("U.S./International only"), Panel6), "IntTBXCheckBox");
    IntTBXCheckBox->setToolTip(Q("Check this option, if you want to know your rankings in the "
                                 "major US and international search engines."));
    connect(IntTBXCheckBox, &QCheckBox::toggled, this, &TMainForm::IntTBXCheckBoxChange);
    column->addWidget(IntTBXCheckBox);

    auto* buttons = new QHBoxLayout;
    SelectAllTBXButton = MakeButton(Panel6, "SelectAllTBXButton", "Select all");
    DeSelectAllTBXButton = MakeButton(Panel6, "DeSelectAllTBXButton", "Deselect All");
    connect(SelectAllTBXButton, &QToolButton::clicked, this, &TMainForm::SelectAllTBXButtonClick);
    connect(DeSelectAllTBXButton, &QToolButton::clicked, this,
            &TMainForm::DeSelectAllTBXButtonClick);
    buttons->addWidget(SelectAllTBXButton);
    buttons->addWidget(DeSelectAllTBXButton);
    buttons->addStretch(1);
    column->addLayout(buttons);
    return Panel6;
}

QWidget* TMainForm::CreateGridArea() {
    Panel2 = MakePanel(this, "Panel2");
    auto* column = new QVBoxLayout(Panel2);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Panel4 = MakePanel(Panel2, "Panel4");
    auto* gridBox = new QVBoxLayout(Panel4);
    gridBox->setContentsMargins(2, 2, 2, 2);
    // The grid builds its title pictures as it is made, before the layout is restored.
    ResDBGridEh = new TResultsGrid(Tables.ResClientDataSet, Tables.ResMinClientDataSet, Panel4);
    gridBox->addWidget(ResDBGridEh);
    column->addWidget(Panel4, 1);
    ResultsView = std::make_unique<TResultsViewBuilder>(
        Tables, [this](std::string_view text) { return ResDBGridEh->NumberTextWidth(text); });
    ResultsView->RepaintGrid = [this] { ResDBGridEh->viewport()->update(); };
    ResDBGridEh->SetCurrentEngineSource([this] { return CurrentEngine(); });
    ResDBGridEh->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ResDBGridEh, &QWidget::customContextMenuRequested, this, &TMainForm::GridContextMenu);
    connect(ResDBGridEh, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { ShowHistory(index.row()); });
    ResultsView->SetPairMarks(&PairMarks);
    connect(ResDBGridEh, &TResultsGrid::PageLinkActivated, this, &TMainForm::OpenPageOfRow);
    ResDBGridEh->SetPairMarks(&PairMarks);

    Panel5 = MakePanel(Panel2, "Panel5");
    Panel5->hide();
    column->addWidget(Panel5);
    return Panel2;
}

void TMainForm::OpenPageOfRow(int row) {
    std::string address = ResultsView->PageAddress(row);
    if (address.empty())
        return;
    if (address.find("://") == std::string::npos)
        address.insert(0, "http://"); // kept as the engine showed it, without a scheme
    ShellOpen(address);
}

void TMainForm::ColumnButtonClick() {
    ResDBGridEh->ColumnButtonClick(this);
}

QWidget* TMainForm::CreateStatusBar() {
    dfsStatusBar = MakePanel(this, "dfsStatusBar");
    dfsStatusBar->setFixedHeight(20);
    StatusPanel = Named(new QLabel(dfsStatusBar), "StatusPanel");
    StatusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Gauge = Named(new QProgressBar(dfsStatusBar), "Gauge");
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setAlignment(Qt::AlignCenter);
    Gauge->setFormat(Q("%p%"));
    SetGaugeEnabled(false);
    dfsStatusBar->installEventFilter(this);
    return dfsStatusBar;
}

// ---------------------------------------------------------------------------------------------
// Start-up and shutdown.

void TMainForm::FormCreate() {
    // 1: the window opens maximized (the caller shows it); its design size is its minimum.
    setWindowState(windowState() | Qt::WindowMaximized);
    // 3: the cache root, one level, silently, among the user's files.
    SetCacheRoot(UserFile("Cache"));
    CreateCacheFolder();
    PrepareAnimations(); // 4
    // 5: column order and widths; a missing file or key leaves the columns as they are.
    ResDBGridEh->RestoreLayout(ProfileFile(UserFile("set.ini")));
    // 6: the stored options and choices.
    const std::vector<std::pair<const char*, QAbstractButton*>> stored = {
        {"IntTBXCheckBox", IntTBXCheckBox},   {"ScanForFirstTBXCheckBox", ScanForFirstTBXCheckBox},
        {"TBXRadioButton1", TBXRadioButton1}, {"TBXRadioButton2", TBXRadioButton2},
        {"TBXRadioButton3", TBXRadioButton3}, {"TBXRadioButton4", TBXRadioButton4},
        {"TBXRadioButton5", TBXRadioButton5}, {"TBXRadioButton6", TBXRadioButton6},
        {"TBXRadioButton7", TBXRadioButton7}, {"TBXRadioButton8", TBXRadioButton8}};
    std::vector<TStoredOption> options;
    for (const auto& [name, button] : stored)
        options.push_back({name, [button] { return button->isChecked(); },
                           [button](bool on) {
                               // Restoring sets the state only; the engine list is filled later.
                               const QSignalBlocker quiet(button);
                               button->setChecked(on);
                           }});
    FormStorage = std::make_unique<TFormStorage>(UserFile("set.ini"), std::move(options));
    try {
        Stored = FormStorage->Restore();
    } catch (const std::exception&) {
        // An unreadable "set.ini" is a missing one: the design states stay.
    }
    // 7, 8
    IntSeList = ReadLineList(ShippedFile("IntSe.lst"));
    BadHtmlList = ReadLineList(ShippedFile("badhtml.lst"));
    try {
        LoadTables(); // 9-14
    } catch (const std::exception& e) {
        ShowErrorBox(this, QString::fromStdString(e.what()));
        return; // start-up goes no further; the window still opens
    }
    OpenRankingHistory();
    for (const std::string& name : SplitCommaText(Stored.SEs)) // 15
        TickEngine(name);
    RefreshResults();                                                                         // 16
    LoadSettings();                                                                           // 17
    WaitHandler = [this](QObject* sender, bool& CanAbort) { HttpCliWait(sender, CanAbort); }; // 18
    // 19: every widget paints double-buffered already.
    FormResize(); // 20
}

void TMainForm::PrepareAnimations() {
    AnimationFiles = WriteAnimationFiles(QDir::tempPath());
    TClipPlayer* players[] = {MediaPlayer1, MediaPlayer2, MediaPlayer3};
    if (AnimationFiles.size() != 3)
        return;
    for (int i = 0; i < 3; ++i) {
        players[i]->FileName = AnimationFiles[i];
        if (!players[i]->Open())
            return;
        players[i]->setGeometry(PlayPanel->rect());
    }
}

void TMainForm::LoadTables() {
    const std::string engines = ShippedFile("SE.cds");
    try {
        Tables.SE_ClientDataSet.LoadFromFile(engines);
    } catch (const TableError& e) {
        throw TableError(WithDetails("The list of search engines (\"" + engines +
                                         "\") could not be read, so there is nothing to check. "
                                         "Installing Quorvia again brings the file back.",
                                     e.what()));
    }
    // The user's repaired definitions; a file that does not parse leaves the shipped ones.
    for (const std::string& problem :
         ApplyEngineFolder(Tables.SE_ClientDataSet, UserFile("engines")))
        LogError(problem);
    FillEngineList();
    LoadUserTable(Tables.WebSiteClientDataSet, "WebSite.cds", "web sites");
    Tables.WebSiteClientDataSet.Locate("SiteName", {Value(Stored.WebSite)});
    ShowSelectedSite();
    LoadUserTable(Tables.WordClientDataSet, "Word.cds", "keywords");
    LoadUserTable(Tables.SECacheClientDataSet, "SECache.cds", "ranking history");
}

void TMainForm::LoadUserTable(TClientDataSet& table, const std::string& fileName,
                              std::string_view contents) {
    const TUserTableLoad load = LoadUserTableFile(table, UserFile(fileName), contents);
    if (!load.message.empty())
        ShowErrorBox(this, QString::fromStdString(load.message));
    if (load.savable)
        savableTables_.push_back(&table);
}

bool TMainForm::WriteFormStorage() {
    try {
        FormStorage->Save(Stored);
        formStorageWritten_ = true;
    } catch (const std::exception&) {
        // Not reported here: shutdown tries once more and tells what could not be saved.
    }
    return formStorageWritten_;
}

TMainForm::~TMainForm() {
    FormDestroy();
    Tables.WordClientDataSet.RemoveObserver(&keywordView_);
    // The widgets outlive the members: the grid, which watches the result table, goes now.
    ResultsView.reset();
    delete ResDBGridEh;
    WaitHandler = nullptr;
}

void TMainForm::FormDestroy() {
    // What cannot be written in the user's folder is written as a copy elsewhere, and told in
    // one message at the end.
    TUserFilesSave save(UserFolder(), TUserFilesSave::FallbackFolders(UserFolder()));
    // 2 and 4: the kept choices once more when closing could not write them, the grid layout.
    save.Write("set.ini", "your choices and the grid's column layout",
               [this](const std::string& path) {
                   if (!formStorageWritten_ || path != UserFile("set.ini"))
                       FormStorage->Save(Stored, path);
                   ProfileFile settings(path);
                   ResDBGridEh->SaveLayout(settings);
               });
    IntSeList.clear(); // 3
    BadHtmlList.clear();
    for (TClipPlayer* player : {MediaPlayer1, MediaPlayer2, MediaPlayer3}) // 5
        player->Close();
    DeleteAnimationFiles(AnimationFiles); // 6
    AnimationFiles.clear();
    SaveTables(save); // 7
    if (!save.AllSaved())
        ShowErrorBox(this, QString::fromStdString(save.Message()));
}

void TMainForm::SaveTables(TUserFilesSave& save) {
    const struct {
        TClientDataSet* table;
        const char* fileName;
        const char* what;
    } files[] = {{&Tables.WebSiteClientDataSet, "WebSite.cds", "your web sites"},
                 {&Tables.WordClientDataSet, "Word.cds", "your keywords"},
                 {&Tables.SECacheClientDataSet, "SECache.cds", "your rankings"}};
    for (const auto& [table, fileName, what] : files) {
        if (std::find(savableTables_.begin(), savableTables_.end(), table) == savableTables_.end())
            continue; // not loaded from its existing file: that file stays as it is
        // A table that cannot be saved does not keep the next ones from being saved.
        save.Write(fileName, what, [table](const std::string& path) { SaveDataSet(*table, path); });
    }
}

// ---------------------------------------------------------------------------------------------
// The engine list.

void TMainForm::FillEngineList() {
    SECheckListBox->setUpdatesEnabled(false);
    const QSignalBlocker quiet(SECheckListBox);
    SECheckListBox->clear();
    TClientDataSet& engines = Tables.SE_ClientDataSet;
    const int nameField = engines.FindFieldIndex("SENAME");
    const bool internationalOnly = IntTBXCheckBox->isChecked();
    for (int row = 0; nameField >= 0 && row < engines.RecordCount(); ++row) {
        const std::string name = engines.TextAt(row, nameField);
        if (internationalOnly &&
            std::none_of(IntSeList.begin(), IntSeList.end(), [&](const std::string& line) {
                return QString::fromStdString(line).compare(QString::fromStdString(name),
                                                            Qt::CaseInsensitive) == 0;
            }))
            continue;
        auto* item = new QListWidgetItem(QString::fromStdString(name), SECheckListBox);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    SECheckListBox->setUpdatesEnabled(true);
}

void TMainForm::TickEngine(const std::string& name) {
    const QString wanted = QString::fromStdString(name);
    for (int i = 0; i < SECheckListBox->count(); ++i) {
        QListWidgetItem* item = SECheckListBox->item(i);
        if (item->text().compare(wanted, Qt::CaseInsensitive) == 0) {
            const QSignalBlocker quiet(SECheckListBox);
            item->setCheckState(Qt::Checked);
            return;
        }
    }
}

void TMainForm::SECheckListBoxClickCheck() {
    RefreshResults();
    Stored.SEs = JoinCommaText(CheckedEngineNames());
}

void TMainForm::SelectAllTBXButtonClick() {
    {
        const QSignalBlocker quiet(SECheckListBox);
        for (int i = 0; i < SECheckListBox->count(); ++i)
            SECheckListBox->item(i)->setCheckState(Qt::Checked);
    }
    SECheckListBoxClickCheck();
}

void TMainForm::DeSelectAllTBXButtonClick() {
    {
        const QSignalBlocker quiet(SECheckListBox);
        for (int i = 0; i < SECheckListBox->count(); ++i)
            SECheckListBox->item(i)->setCheckState(Qt::Unchecked);
    }
    SECheckListBoxClickCheck();
}

void TMainForm::IntTBXCheckBoxChange() {
    FillEngineList();
    RefreshResults();
}

std::vector<TEngineListItem> TMainForm::EngineListItems() const {
    std::vector<TEngineListItem> items;
    for (int i = 0; i < SECheckListBox->count(); ++i)
        items.push_back({SECheckListBox->item(i)->text().toStdString(),
                         SECheckListBox->item(i)->checkState() == Qt::Checked});
    return items;
}

std::vector<std::string> TMainForm::CheckedEngineNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < SECheckListBox->count(); ++i)
        if (SECheckListBox->item(i)->checkState() == Qt::Checked)
            names.push_back(SECheckListBox->item(i)->text().toStdString());
    return names;
}

// ---------------------------------------------------------------------------------------------
// Sizes.

QSize TMainForm::FittedMinimumSize(const QSize& available) {
    return {std::min(DesignWidth, available.width()), std::min(DesignHeight, available.height())};
}

void TMainForm::FitMinimumSize() {
    const QScreen* where = screen();
    if (!where)
        return;
    // The window manager's frame: known once shown; a title bar and borders before.
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(8, 40);
    setMinimumSize(FittedMinimumSize(where->availableSize() - frame));
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FitMinimumSize();
    connect(windowHandle(), &QWindow::screenChanged, this, &TMainForm::FitMinimumSize,
            Qt::UniqueConnection);
}

int TMainForm::CaptionButtonWidth() {
    const int width = QApplication::style()->pixelMetric(QStyle::PM_TitleBarButtonSize);
    return width > 0 ? width : 18;
}

void TMainForm::FormResize() {
    dfsStatusBarResize();
    Image->move((Panel8->width() - Image->width()) / 2, Image->y());
}

void TMainForm::dfsStatusBarResize() {
    const int height = dfsStatusBar->height();
    const int width = std::max(0, dfsStatusBar->width() - GaugeWidth - CaptionButtonWidth());
    Gauge->setGeometry(width, 0, GaugeWidth, height);
    if (StatusPanel->width() != width || StatusPanel->height() != height)
        StatusPanel->setGeometry(0, 0, width, height);
    dfsStatusBar->repaint();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (KeywordBoxEvent(watched, event) || PictureClickEvent(watched, event))
        return true;
    if (event->type() == QEvent::Resize) {
        if (watched == dfsStatusBar)
            dfsStatusBarResize();
        else if (watched == Panel8)
            FormResize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    // The scan button is the window's default button: Enter not taken by a control presses it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        CheckRankTBXButton->isEnabled()) {
        CheckRankTBXButton->defaultAction()->trigger();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------------
// The window as the scan sees it.

void TMainForm::SetStatusText(const std::string& text) {
    StatusPanel->setText(QString::fromStdString(text));
}

void TMainForm::SetGaugeEnabled(bool enabled) {
    // Switched off, the gauge shows nothing at all, not a grey bar of the last scan.
    Gauge->setVisible(enabled);
}

void TMainForm::SetGaugePosition(int percent) {
    // The walk can pass 100 for a moment during the last pair.
    Gauge->setValue(std::clamp(percent, 0, 100));
}

void TMainForm::LogError(const std::string& message) {
    if (!message.empty()) {
        LogRichEdit->appendPlainText(QString::fromStdString(message));
        // Long lines show their start, once the pane has laid out the new line.
        QScrollBar* bar = LogRichEdit->horizontalScrollBar();
        QMetaObject::invokeMethod(
            bar, [bar] { bar->setValue(0); }, Qt::QueuedConnection);
    }
    if (LogRichEdit->isHidden()) {
        LogRichEdit->show();
        SanSplitter->show();
        const int total = LogSplitter->height();
        LogSplitter->setSizes({total - LogHeight - SplitterWidth, LogHeight});
    }
}

void TMainForm::ClearLog() {
    LogRichEdit->clear();
    SanSplitter->hide();
    LogRichEdit->hide();
}

void TMainForm::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::string TMainForm::SelectedSiteName() const {
    return WebSiteRxDBLookupCombo->currentText().toStdString();
}

bool TMainForm::ScanForFirst() const {
    return ScanForFirstTBXCheckBox->isChecked();
}

std::vector<QRadioButton*> TMainForm::DepthButtons() const {
    return {TBXRadioButton1, TBXRadioButton2, TBXRadioButton3, TBXRadioButton4,
            TBXRadioButton5, TBXRadioButton6, TBXRadioButton7, TBXRadioButton8};
}

std::vector<bool> TMainForm::DepthButtonsChosen() const {
    std::vector<bool> chosen;
    for (QRadioButton* button : DepthButtons())
        chosen.push_back(button->isChecked());
    return chosen;
}

std::vector<QWidget*> TMainForm::SwitchedControls() const {
    std::vector<QWidget*> controls = {WebSiteLabel,
                                      WebSiteRxDBLookupCombo,
                                      EditTBXButton,
                                      KeywordsLabel,
                                      DBEdit1,
                                      DBEdit2,
                                      DBEdit3,
                                      DBEdit4,
                                      Panel3,
                                      DepthLabel,
                                      ScanForFirstTBXCheckBox,
                                      IntTBXCheckBox,
                                      Panel6,
                                      SEHeaderPanel,
                                      SEHeaderImage,
                                      SEHeaderLabel,
                                      SECheckListBox,
                                      SelectAllTBXButton,
                                      DeSelectAllTBXButton,
                                      ColumnButton,
                                      Panel5,
                                      MediaPlayer1,
                                      MediaPlayer2,
                                      MediaPlayer3,
                                      Image1};
    for (QRadioButton* button : DepthButtons())
        controls.push_back(button);
    return controls;
}

void TMainForm::SetControlsEnabled(bool enabled) {
    for (QWidget* control : SwitchedControls())
        control->setEnabled(enabled);
    ShowFirstRunGuide(); // the keyword boxes only with a site
}

} // namespace quorvia
