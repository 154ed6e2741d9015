#include "app/HelpForm.h"

#include "app/MessageBoxes.h"
#include "app/ShellOpen.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace quorvia {

namespace {

constexpr int PageRole = Qt::UserRole;

QToolButton* MakeButton(QWidget* parent, const char* name, const char* text) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromUtf8(text));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    return button;
}

} // namespace

std::string THelpForm::DefaultFolder() {
    return ShippedFile("help");
}

THelpForm::THelpForm(QWidget* parent, const std::string& folder)
    : QWidget(parent, Qt::Window),
      folder_(QUrl::fromLocalFile(QDir(QString::fromStdString(folder)).absolutePath() +
                                  QLatin1Char('/'))) {
    std::vector<THelpTopic> topics;
    try {
        topics = ReadHelpContents(folder + "/toc.hhc");
    } catch (const std::exception& e) {
        throw std::runtime_error("The help pages could not be found in " + folder +
                                 ". Installing Quorvia again brings them back.\n\n" + e.what());
    }
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QString::fromUtf8(Caption));
    resize(820, 560);

    auto* buttons = new QHBoxLayout;
    BackButton = MakeButton(this, "BackButton", "Back");
    ForwardButton = MakeButton(this, "ForwardButton", "Forward");
    HomeButton = MakeButton(this, "HomeButton", "Contents");
    for (QToolButton* button : {BackButton, ForwardButton, HomeButton})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    ContentsTree = new QTreeWidget(splitter);
    ContentsTree->setObjectName(QStringLiteral("ContentsTree"));
    ContentsTree->setHeaderHidden(true);
    ContentsTree->setRootIsDecorated(false);
    PageBrowser = new QTextBrowser(splitter);
    PageBrowser->setObjectName(QStringLiteral("PageBrowser"));
    // Links are followed here: pages of the folder in place, everything else by the desktop.
    PageBrowser->setOpenLinks(false);
    splitter->addWidget(ContentsTree);
    splitter->addWidget(PageBrowser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 600});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    AddTopics(nullptr, topics);
    ContentsTree->expandAll();
    // The first topic with a page is the start page and what "Contents" goes back to.
    for (const THelpTopic& topic : topics)
        if (!topic.Local.empty()) {
            home_ = folder_.resolved(QUrl(QString::fromStdString(topic.Local)));
            break;
        }

    connect(ContentsTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QString page = item->data(0, PageRole).toString();
        if (!page.isEmpty())
            ShowPage(page);
    });
    connect(PageBrowser, &QTextBrowser::anchorClicked, this, &THelpForm::LinkClicked);
    connect(PageBrowser, &QTextBrowser::sourceChanged, this, &THelpForm::FollowPage);
    connect(PageBrowser, &QTextBrowser::backwardAvailable, BackButton, &QWidget::setEnabled);
    connect(PageBrowser, &QTextBrowser::forwardAvailable, ForwardButton, &QWidget::setEnabled);
    connect(BackButton, &QToolButton::clicked, PageBrowser, &QTextBrowser::backward);
    connect(ForwardButton, &QToolButton::clicked, PageBrowser, &QTextBrowser::forward);
    connect(HomeButton, &QToolButton::clicked, this, [this] { PageBrowser->setSource(home_); });
    BackButton->setEnabled(false);
    ForwardButton->setEnabled(false);
    if (home_.isValid())
        PageBrowser->setSource(home_);
}

void THelpForm::AddTopics(QTreeWidgetItem* parent, const std::vector<THelpTopic>& topics) {
    for (const THelpTopic& topic : topics) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ContentsTree);
        item->setText(0, QString::fromStdString(topic.Name));
        item->setData(0, PageRole, QString::fromStdString(topic.Local));
        AddTopics(item, topic.Children);
    }
}

void THelpForm::ShowPage(const QString& page) {
    PageBrowser->setSource(folder_.resolved(QUrl(page)));
}

QUrl THelpForm::CurrentPage() const {
    return PageBrowser->source();
}

void THelpForm::LinkClicked(const QUrl& url) {
    const QUrl target = PageBrowser->source().resolved(url);
    if (target.isLocalFile())
        PageBrowser->setSource(target);
    else
        ShellOpen(url.toString().toStdString());
}

void THelpForm::FollowPage(const QUrl& page) {
    const QUrl shown = page.adjusted(QUrl::RemoveFragment);
    for (QTreeWidgetItemIterator it(ContentsTree); *it; ++it) {
        const QString local = (*it)->data(0, PageRole).toString();
        if (!local.isEmpty() &&
            folder_.resolved(QUrl(local)).adjusted(QUrl::RemoveFragment) == shown) {
            ContentsTree->setCurrentItem(*it);
            return;
        }
    }
    ContentsTree->clearSelection();
}

void ShowHelpWindow(QWidget* owner) {
    THelpForm* help =
        owner ? owner->findChild<THelpForm*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!help) {
        try {
            help = new THelpForm(owner);
        } catch (const std::exception& e) {
            ShowErrorBox(owner, QString::fromStdString(e.what()));
            return;
        }
        help->setAttribute(Qt::WA_DeleteOnClose);
    }
    help->show();
    help->raise();
    help->activateWindow();
}

} // namespace quorvia
