#pragma once
// THelpForm: the help pages inside the program. The contents list of "toc.hhc" on the left, the
// page on the right; links between pages are followed in place, links to anything else (web
// pages, mail) go to the desktop. The pages are the ones help.chm is compiled from, read from
// the "help" folder among the shipped files.

#include "app/HelpContents.h"

#include <QUrl>
#include <QWidget>

#include <string>

class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quorvia {

class THelpForm : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* Caption = "Quorvia Help";

    // Reads the contents of folder + "/toc.hhc" and shows its first topic. Raises with a message
    // naming the folder when the contents cannot be read.
    explicit THelpForm(QWidget* parent, const std::string& folder = DefaultFolder());
    static std::string DefaultFolder();

    // Shows a page of the folder ("grid.html", "grid.html#arrows").
    void ShowPage(const QString& page);
    QUrl CurrentPage() const;

    QTreeWidget* ContentsTree;
    QTextBrowser* PageBrowser;
    QToolButton* BackButton;
    QToolButton* ForwardButton;
    QToolButton* HomeButton;

private:
    void AddTopics(QTreeWidgetItem* parent, const std::vector<THelpTopic>& topics);
    void LinkClicked(const QUrl& url);
    // Marks the contents entry of the page shown, if it has one.
    void FollowPage(const QUrl& page);

    QUrl folder_; // with a trailing '/'
    QUrl home_;
};

// Opens the help window over owner, or brings the one already open to the front. A failure to
// read the pages is told in the standard error box.
void ShowHelpWindow(QWidget* owner);

} // namespace quorvia
