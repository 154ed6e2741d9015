// The help window over the pages built beside the program.

#include "app/HelpForm.h"
#include "app/ShellOpen.h"

#include "support/GuiApplication.h"

#include <gtest/gtest.h>

#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>

#include <string>
#include <vector>

using namespace quorvia;

namespace {

class HelpWindow : public ::testing::Test {
protected:
    HelpWindow() {
        previous_ =
            SetShellOpenHandler([this](const std::string& target) { opened.push_back(target); });
    }
    ~HelpWindow() override { SetShellOpenHandler(previous_); }

    static QString Page(const THelpForm& form) { return form.CurrentPage().fileName(); }
    static QString Selected(const THelpForm& form) {
        const QTreeWidgetItem* item = form.ContentsTree->currentItem();
        return item ? item->text(0) : QString();
    }

    THelpForm form{nullptr, std::string(QUORVIA_TEST_PROGRAM_DIR) + "/help"};
    std::vector<std::string> opened;

private:
    ShellOpenHandler previous_;
};

} // namespace

TEST_F(HelpWindow, OpensOnTheFirstTopicWithTheContentsListBesideIt) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Quorvia Help"));
    ASSERT_EQ(form.ContentsTree->topLevelItemCount(), 6);
    EXPECT_EQ(form.ContentsTree->topLevelItem(4)->text(0),
              QStringLiteral("Reading the results grid"));
    EXPECT_EQ(Page(form), QStringLiteral("index.html"));
    EXPECT_EQ(Selected(form), QStringLiteral("Welcome to Quorvia"));
    EXPECT_TRUE(form.PageBrowser->toPlainText().contains(QStringLiteral("A check in four steps")));
    EXPECT_FALSE(form.BackButton->isEnabled());
}

TEST_F(HelpWindow, ContentsEntriesAndLinksShowTheirPagesAndBackReturns) {
    QTreeWidgetItem* settings = form.ContentsTree->topLevelItem(5);
    emit form.ContentsTree->itemClicked(settings, 0);
    EXPECT_EQ(Page(form), QStringLiteral("settings.html"));
    EXPECT_TRUE(form.PageBrowser->documentTitle().contains(QStringLiteral("settings"),
                                                           Qt::CaseInsensitive));

    // A link of a page, as the page writes it: relative to the page.
    emit form.PageBrowser->anchorClicked(QUrl(QStringLiteral("index.html")));
    emit form.PageBrowser->anchorClicked(QUrl(QStringLiteral("keywords.html")));
    EXPECT_EQ(Page(form), QStringLiteral("keywords.html"));
    EXPECT_EQ(Selected(form), QStringLiteral("Keywords")) << "the contents list follows the page";

    ASSERT_TRUE(form.BackButton->isEnabled());
    form.BackButton->click();
    EXPECT_EQ(Page(form), QStringLiteral("index.html"));
    form.ForwardButton->click();
    EXPECT_EQ(Page(form), QStringLiteral("keywords.html"));
    form.HomeButton->click();
    EXPECT_EQ(Page(form), QStringLiteral("index.html"));
    EXPECT_TRUE(opened.empty());
}

TEST_F(HelpWindow, LinksLeadingOutOfTheHelpGoToTheDesktop) {
    for (const char* link :
         {"https://www.halvex.example/quorvia/", "mailto:support@halvex.example"})
        emit form.PageBrowser->anchorClicked(QUrl(QString::fromLatin1(link)));
    EXPECT_EQ(opened, (std::vector<std::string>{"https://www.halvex.example/quorvia/",
                                                "mailto:support@halvex.example"}));
    EXPECT_EQ(Page(form), QStringLiteral("index.html"));
}
