// The site selector, the "Edit" button with the site list behind it, and the keyword boxes of
// the main window.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "store/NewWebSiteForm.h"
#include "store/Sites.h"
#include "store/WebSiteForm.h"

#include "support/AnswerDialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <memory>

using namespace quorvia;
using namespace quorvia::testing;
using Names = std::vector<std::string>;

namespace {

// The window, noting each grid refresh with the site the selector shows at that moment.
class TRecordingMainForm : public TMainForm {
public:
    void RefreshResults() override {
        refreshes.push_back(SelectedSiteName());
        TMainForm::RefreshResults();
    }
    Names refreshes;
};

class SiteBoxes : public ::testing::Test, public TProgramFolderFixture {
protected:
    SiteBoxes() {
        WriteEngines({"Alpha"});
        form = std::make_unique<TRecordingMainForm>();
    }
    // A window of a first run: the last one's shutdown wrote the files it kept.
    void RestartFresh() {
        form.reset();
        for (const char* file : {"set.ini", "WebSite.cds", "Word.cds", "SECache.cds"})
            std::filesystem::remove(Path(file));
        form = std::make_unique<TRecordingMainForm>();
    }

    // Sites as the tables hold them after earlier runs: each with the keyword "kw <name>" and
    // one ranking record of the ticked engine, or without either and with no engine ticked.
    void GiveSites(const Names& names, int chosen, bool withKeywords = true) {
        for (const std::string& name : names) {
            AddSite(Sites(), name);
            if (!withKeywords)
                continue;
            ASSERT_TRUE(TypeKeyword(Words(), 0, "kw " + name));
            FinishKeywordEdit(Words());
            TClientDataSet& rankings = form->Tables.SECacheClientDataSet;
            rankings.Append();
            rankings.FieldByName("SENAME").SetAsString("Alpha");
            rankings.FieldByName("Keyword").SetAsString("kw " + name);
            rankings.FieldByName("url").SetAsString("http://" + name + "/page.html");
            rankings.Post();
        }
        if (withKeywords)
            form->TickEngine("Alpha"); // the rankings' engine, so the grid shows them
        Sites().MoveTo(chosen);
        form->ShowSelectedSite();
        form->refreshes.clear();
    }

    TClientDataSet& Sites() { return form->Tables.WebSiteClientDataSet; }
    TClientDataSet& Words() { return form->Tables.WordClientDataSet; }

    Names Listed() const {
        Names names;
        for (int i = 0; i < form->WebSiteRxDBLookupCombo->count(); ++i)
            names.push_back(form->WebSiteRxDBLookupCombo->itemText(i).toStdString());
        return names;
    }
    // The keywords of the grid's result rows.
    Names GridKeywords() const {
        TClientDataSet& rows = form->Tables.ResClientDataSet;
        Names keywords;
        for (int row = 0; row < rows.RecordCount(); ++row)
            if (!rows.TextAt(row, rows.FindFieldIndex("url")).empty())
                keywords.push_back(rows.TextAt(row, rows.FindFieldIndex("Keyword")));
        return keywords;
    }
    std::string Boxes() const {
        std::string texts;
        for (QLineEdit* box : {form->DBEdit1, form->DBEdit2, form->DBEdit3, form->DBEdit4})
            texts += box->text().toStdString() + "|";
        return texts;
    }
    void FocusAndWait(QWidget* widget) {
        widget->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(QTest::qWaitFor([widget] { return widget->hasFocus(); }));
    }
    void ShowWindow() {
        form->setWindowState(Qt::WindowNoState);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // The user picks a row of the selector's list.
    void Pick(int row) {
        FocusAndWait(form->WebSiteRxDBLookupCombo);
        form->WebSiteRxDBLookupCombo->setCurrentIndex(row);
        emit form->WebSiteRxDBLookupCombo->activated(row);
    }

    std::unique_ptr<TRecordingMainForm> form;
};

// What the user does inside the site list dialog.
struct TStep {
    enum { Add, Delete, Select } kind;
    std::string text = {};
    int row = 0;
};

void RunSiteList(TMainForm& form, const std::vector<TStep>& steps) {
    AnswerNextDialog<TWebSiteForm>([steps](TWebSiteForm& list) {
        for (const TStep& step : steps) {
            switch (step.kind) {
            case TStep::Add:
                AnswerNextDialog<TNewWebSiteForm>([text = step.text](TNewWebSiteForm& add) {
                    add.findChild<QLineEdit*>(QStringLiteral("SiteNameEdit"))
                        ->setText(QString::fromStdString(text));
                    add.accept();
                });
                list.AddTBXButtonClick();
                break;
            case TStep::Delete:
                AnswerNextDialog<QMessageBox>(
                    [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
                list.DeleteTBXButtonClick();
                break;
            case TStep::Select:
                list.findChild<QTableWidget*>(QStringLiteral("SiteList"))->selectRow(step.row);
                break;
            }
        }
        list.findChild<QPushButton*>(QStringLiteral("CloseButton"))->click();
    });
    form.EditTBXButton->click();
}

} // namespace

TEST_F(SiteBoxes, EditingTheSiteListChoosesTheSiteShownAfterwards) {
    struct Case {
        const char* what;
        Names sites;
        int chosen;
        std::vector<TStep> steps;
        Names listed;
        std::string chosenAfter; // also the stored "WebSite"
        std::string boxes;
        int rankings;
        bool refreshed;
    };
    const Case cases[] = {
        {"a name differing in case adds a second site",
         {"shop.com"},
         0,
         {{TStep::Add, "Shop.com"}},
         {"shop.com", "Shop.com"},
         "Shop.com",
         "||||",
         0,
         true},
        {"an existing name is chosen, nothing added",
         {"a.com", "b.com"},
         0,
         {{TStep::Add, "b.com"}},
         {"a.com", "b.com"},
         "b.com",
         "kw b.com||||",
         1,
         true},
        {"a leading blank is kept",
         {"a.com"},
         0,
         {{TStep::Add, " a.com"}},
         {"a.com", " a.com"},
         " a.com",
         "||||",
         0,
         true},
        {"deleting the chosen site chooses the following one",
         {"a.com", "b.com", "c.com"},
         1,
         {{TStep::Delete}},
         {"a.com", "c.com"},
         "c.com",
         "kw c.com||||",
         1,
         true},
        {"deleting the last site of the list chooses the one before",
         {"a.com", "b.com"},
         1,
         {{TStep::Delete}},
         {"a.com"},
         "a.com",
         "kw a.com||||",
         1,
         true},
        {"deleting the only site leaves nothing chosen",
         {"a.com"},
         0,
         {{TStep::Delete}},
         {},
         "",
         "||||",
         0,
         true},
        {"a site deleted and added again has its keywords and rankings back",
         {"a.com", "b.com"},
         0,
         {{TStep::Select, "", 1}, {TStep::Delete}, {TStep::Add, "b.com"}},
         {"a.com", "b.com"},
         "b.com",
         "kw b.com||||",
         1,
         true},
        {"a site selected in the list is chosen on closing",
         {"a.com", "b.com"},
         0,
         {{TStep::Select, "", 1}},
         {"a.com", "b.com"},
         "b.com",
         "kw b.com||||",
         1,
         true},
        {"of two sites differing in case, the one selected stays chosen",
         {"shop.com", "Shop.com"},
         0,
         {{TStep::Select, "", 1}},
         {"shop.com", "Shop.com"},
         "Shop.com",
         "kw Shop.com||||",
         1,
         true},
        {"closing with the same site chosen refreshes nothing",
         {"a.com", "b.com"},
         1,
         {},
         {"a.com", "b.com"},
         "b.com",
         "kw b.com||||",
         1,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RestartFresh();
        GiveSites(c.sites, c.chosen);
        RunSiteList(*form, c.steps);
        EXPECT_EQ(Listed(), c.listed);
        EXPECT_EQ(form->WebSiteRxDBLookupCombo->currentText().toStdString(), c.chosenAfter);
        EXPECT_EQ(form->Stored.WebSite, c.chosenAfter);
        EXPECT_EQ(Boxes(), c.boxes);
        EXPECT_EQ(form->Tables.SECacheClientDataSet.RecordCount(), c.rankings);
        EXPECT_EQ(GridKeywords(), c.rankings ? Names{"kw " + c.chosenAfter} : Names{});
        EXPECT_EQ(form->refreshes, c.refreshed ? Names{c.chosenAfter} : Names{});
        EXPECT_EQ(form->DBEdit1->isEnabled(), !c.listed.empty()); // no site, nothing to type for
    }
}

TEST_F(SiteBoxes, TheSelectorOpensAsAListOfEightRows) {
    ShowWindow();
    Names many;
    for (int i = 1; i <= 12; ++i)
        many.push_back("site" + std::to_string(i) + ".example");
    GiveSites(many, 0, false);
    QComboBox* selector = form->WebSiteRxDBLookupCombo;
    selector->showPopup();
    QAbstractItemView* list = selector->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const int rowHeight = list->visualRect(list->model()->index(0, 0)).height();
    ASSERT_GT(rowHeight, 0);
    EXPECT_EQ(list->viewport()->height() / rowHeight, 8);
    selector->hidePopup();
}

TEST_F(SiteBoxes, PickingInTheSelectorChoosesBySiteName) {
    ShowWindow();
    GiveSites({"a.com", "b.com"}, 0);
    Pick(1);
    EXPECT_EQ(Boxes(), "kw b.com||||");
    EXPECT_EQ(form->Stored.WebSite, "b.com");
    EXPECT_EQ(form->refreshes, Names{"b.com"});

    Pick(1); // the value it already has: no refresh, no store
    EXPECT_EQ(form->refreshes, Names{"b.com"});
}

TEST_F(SiteBoxes, TypedKeywordsAreStoredForTheirSiteWhenTheBoxIsLeft) {
    ShowWindow();
    GiveSites({"a.com", "b.com"}, 0, false);

    FocusAndWait(form->DBEdit2);
    FocusAndWait(form->DBEdit3); // an empty box left: still no keyword record
    EXPECT_TRUE(Words().AllRecords().empty());
    EXPECT_EQ(form->refreshes, (Names{"a.com"}));

    QTest::keyClicks(form->DBEdit3, QStringLiteral("red shoes"));
    EXPECT_EQ(Words().State(), TableState::Insert);
    Pick(1); // focus leaves the box before the other site is chosen
    EXPECT_EQ(Words().AllRecords().size(), 1u);
    EXPECT_EQ(Boxes(), "||||");
    Pick(0);
    EXPECT_EQ(Boxes(), "||red shoes||");
    EXPECT_EQ(Words().FieldByName("SiteName").AsString(), "a.com");

    const std::string longText(60, 'k');
    QTest::keyClicks(form->DBEdit1, QString::fromStdString(longText));
    EXPECT_EQ(form->DBEdit1->text().size(), 50); // the field's width
}

TEST_F(SiteBoxes, EnterStoresTheKeywordsAndStartsNoScan) {
    ShowWindow();
    GiveSites({"a.com"}, 0, false);
    FocusAndWait(form->DBEdit1);
    QTest::keyClicks(form->DBEdit1, QStringLiteral("blue"));
    QTest::keyClick(form->DBEdit1, Qt::Key_Return);
    EXPECT_EQ(Words().State(), TableState::Browse);
    EXPECT_EQ(KeywordTexts(Words())[0], "blue");
    EXPECT_EQ(form->refreshes, Names{"a.com"});
    EXPECT_TRUE(boxes.empty()); // the scan's first check would have said no engine is ticked

    // Enter elsewhere reaches the default button.
    QTest::keyClick(form->WebSiteRxDBLookupCombo, Qt::Key_Return);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Select at least one search engine to check your rankings!");
}

TEST_F(SiteBoxes, ScanButtonStoresAKeywordStillBeingTyped) {
    ShowWindow();
    GiveSites({"a.com"}, 0, false);
    FocusAndWait(form->DBEdit4);
    QTest::keyClicks(form->DBEdit4, QStringLiteral("green"));
    form->CheckRankAction->trigger();
    EXPECT_EQ(Words().State(), TableState::Browse);
    ASSERT_EQ(Words().AllRecords().size(), 1u);
    EXPECT_EQ(KeywordTexts(Words())[3], "green");
}
