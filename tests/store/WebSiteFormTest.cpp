#include "store/WebSiteForm.h"
#include "store/NewWebSiteForm.h"
#include "store/Sites.h"

#include "support/AnswerDialog.h"
#include "support/GuiApplication.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>

using namespace quorvia;
using quorvia::testing::AnswerNextDialog;

namespace {

class WebSiteFormTest : public ::testing::Test {
protected:
    WebSiteFormTest() {
        for (const char* name : {"a.com", "b.com", "c.com"})
            AddSite(sites, name);
    }
    QTableWidget* List(TWebSiteForm& form) {
        return form.findChild<QTableWidget*>(QStringLiteral("SiteList"));
    }
    std::string Current() { return sites.FieldByName("SiteName").AsString(); }

    TTables tables;
    TClientDataSet& sites = tables.WebSiteClientDataSet;
};

TEST_F(WebSiteFormTest, ListsSitesAndSelectsTheCurrentOne) {
    sites.MoveTo(1);
    TWebSiteForm form(nullptr, sites);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("URL Manager "));
    EXPECT_EQ(form.size(), QSize(401, 239));
    QTableWidget* list = List(form);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QStringLiteral("Web address"));
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(2, 0)->text(), QStringLiteral("c.com"));
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);

    list->selectRow(2); // choosing a row makes that site current
    EXPECT_EQ(Current(), "c.com");
}

TEST_F(WebSiteFormTest, AddAsksWithPromptAndAddsOrSelects) {
    TWebSiteForm form(nullptr, sites);
    QString caption, prompt;
    AnswerNextDialog<TNewWebSiteForm>([&](TNewWebSiteForm& add) {
        caption = add.windowTitle();
        prompt = add.findChild<QLabel*>(QStringLiteral("PromptLabel"))->text();
        EXPECT_EQ(add.size(), QSize(264, 94));
        add.findChild<QLineEdit*>(QStringLiteral("SiteNameEdit"))->setText(QStringLiteral("B.com"));
        add.accept();
    });
    form.AddTBXButtonClick();
    EXPECT_EQ(caption, QStringLiteral("Add new site"));
    EXPECT_TRUE(prompt.startsWith(QStringLiteral("Web site (e.g. ")));
    EXPECT_TRUE(prompt.endsWith(QStringLiteral("):")));
    EXPECT_EQ(List(form)->rowCount(), 4);
    EXPECT_EQ(List(form)->currentRow(), 3);

    AnswerNextDialog<TNewWebSiteForm>([](TNewWebSiteForm& add) {
        add.findChild<QLineEdit*>(QStringLiteral("SiteNameEdit"))->setText(QStringLiteral("a.com"));
        add.accept();
    });
    form.AddTBXButtonClick();
    EXPECT_EQ(List(form)->rowCount(), 4);
    EXPECT_EQ(List(form)->currentRow(), 0);
    EXPECT_EQ(Current(), "a.com");

    AnswerNextDialog<TNewWebSiteForm>([](TNewWebSiteForm& add) {
        add.findChild<QLineEdit*>(QStringLiteral("SiteNameEdit"))->setText(QStringLiteral("x.com"));
        add.reject();
    });
    form.AddTBXButtonClick();
    EXPECT_EQ(sites.RecordCount(), 4);
}

TEST_F(WebSiteFormTest, DeleteAsksForConfirmation) {
    sites.MoveTo(1);
    TWebSiteForm form(nullptr, sites);
    QString caption, text;
    AnswerNextDialog<QMessageBox>([&](QMessageBox& box) {
        caption = box.windowTitle();
        text = box.text();
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        box.button(QMessageBox::No)->click();
    });
    form.DeleteTBXButtonClick();
    EXPECT_EQ(caption, QStringLiteral("Confirmation"));
    EXPECT_EQ(text, QStringLiteral("Do you want to delete 'b.com' ?"));
    EXPECT_EQ(sites.RecordCount(), 3);

    AnswerNextDialog<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    form.DeleteTBXButtonClick();
    EXPECT_EQ(sites.RecordCount(), 2);
    EXPECT_EQ(Current(), "c.com");
    EXPECT_EQ(List(form)->rowCount(), 2);
    EXPECT_EQ(List(form)->currentRow(), 1);
}

TEST_F(WebSiteFormTest, EditSitesLetsKeywordViewsFollowAgainAfterClosing) {
    AnswerNextDialog<TWebSiteForm>([this](TWebSiteForm& form) {
        EXPECT_TRUE(tables.WordClientDataSet.ControlsDisabled());
        List(form)->selectRow(0);
        form.findChild<QPushButton*>(QStringLiteral("CloseButton"))->click();
    });
    EditSites(nullptr, tables);
    EXPECT_FALSE(tables.WordClientDataSet.ControlsDisabled());
    EXPECT_EQ(Current(), "a.com");
}

} // namespace
