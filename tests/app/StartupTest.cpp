// Start-up and shutdown in a temporary program folder: what is created, what is reported, and
// that a file the program could not read is never written over.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "platform/Clock.h"
#include "store/Sites.h"
#include "store/Tables.h"
#include "view/ResultsGrid.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

class Startup : public ::testing::Test, public TProgramFolderFixture {
protected:
    void RunOnce() {
        TMainForm form;
        form.close();
    }
    void WriteSites(const std::vector<std::string>& sites, const std::string& words) {
        TTables tables;
        for (const std::string& site : sites) {
            tables.WebSiteClientDataSet.Append();
            tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString(site);
            tables.WebSiteClientDataSet.Post();
        }
        SaveDataSet(tables.WebSiteClientDataSet, Path("WebSite.cds"));
        tables.WebSiteClientDataSet.Locate("SiteName", {Value(sites.back())});
        tables.WordClientDataSet.Append();
        tables.WordClientDataSet.FieldByName("Word1").SetAsString(words);
        tables.WordClientDataSet.Post();
        SaveDataSet(tables.WordClientDataSet, Path("Word.cds"));
    }
};

} // namespace

TEST_F(Startup, FirstRunWithOnlyTheEngineTableCreatesTheUserFiles) {
    WriteEngines({"Alpha"});
    {
        TMainForm form;
        EXPECT_TRUE(std::filesystem::is_directory(Path("Cache")));
        EXPECT_EQ(form.SECheckListBox->count(), 1);
        EXPECT_EQ(form.WebSiteRxDBLookupCombo->count(), 0);
        EXPECT_FALSE(Exists("set.ini"));
        form.close();
        EXPECT_TRUE(Exists("set.ini"));
    }
    for (const char* file : {"WebSite.cds", "Word.cds", "SECache.cds"})
        EXPECT_TRUE(Exists(file)) << file;
    EXPECT_TRUE(boxes.empty());
    TTables back;
    back.SECacheClientDataSet.LoadFromFile(Path("SECache.cds"));
    EXPECT_EQ(back.SECacheClientDataSet.RecordCount(), 0);
}

// Definitions in the "engines" folder beside SE.cds: a repaired one replaces the shipped one
// of its name, a new one adds an engine, a broken one is reported with its file and line and
// the shipped definition stays in use.
TEST_F(Startup, TheEnginesFolderRepairsAndAddsDefinitionsAndReportsABrokenFile) {
    WriteEngines({"Alpha", "Beta"});
    std::filesystem::create_directory(Path("engines"));
    WriteFile("engines/alpha.txt",
              "# repaired after Alpha changed its pages\nSENAME: Alpha\n"
              "MainURL: https://alpha.test/\nSearchURL: https://alpha.test\",\""
              "/s?q=@@@\",\"<a class=\"more\" href=\"([^\"]+)\"\n"
              "SearchMask: <li class=\"hit\"><a href=\"(https?://)?\n");
    WriteFile("engines/beta.txt", "SENAME: Beta\nSearchURL: x\nSerchMask: <li>\n");
    WriteFile("engines/delta.txt", "SENAME: Delta\nMainURL: https://delta.test/\n"
                                   "SearchURL: https://delta.test\",\"/?q=@@@\",\"x\n"
                                   "SearchMask: <p>\n");
    TTables shipped;
    shipped.SE_ClientDataSet.LoadFromFile(Path("SE.cds"));
    ASSERT_TRUE(shipped.SE_ClientDataSet.Locate("SENAME", {Value(std::string("Beta"))}));
    const std::string shippedBeta = shipped.SE_ClientDataSet.FieldByName("SearchURL").AsString();
    const std::string shippedTable = ReadFile("SE.cds");

    TMainForm form;
    std::vector<std::string> listed;
    for (int i = 0; i < form.SECheckListBox->count(); ++i)
        listed.push_back(form.SECheckListBox->item(i)->text().toStdString());
    EXPECT_EQ(listed, (std::vector<std::string>{"Alpha", "Beta", "Delta"}));
    TClientDataSet& engines = form.Tables.SE_ClientDataSet;
    ASSERT_TRUE(engines.Locate("SENAME", {Value(std::string("Alpha"))}));
    EXPECT_EQ(engines.FieldByName("MainURL").AsString(), "https://alpha.test/");
    ASSERT_TRUE(engines.Locate("SENAME", {Value(std::string("Beta"))}));
    EXPECT_EQ(engines.FieldByName("SearchURL").AsString(), shippedBeta);
    EXPECT_EQ(form.LogRichEdit->toPlainText().toStdString(),
              "The engine definitions in " + Path("engines/beta.txt") + " were not used: " +
                  Path("engines/beta.txt") + ":3: unknown field \"SerchMask\"");
    EXPECT_TRUE(boxes.empty());
    form.close();
    EXPECT_EQ(ReadFile("SE.cds"), shippedTable); // never written
}

TEST_F(Startup, UntilASiteExistsTheGridSaysWhereToBeginAndTheKeywordBoxesWait) {
    WriteEngines({"Alpha"});
    TMainForm form;
    QLineEdit* boxes[] = {form.DBEdit1, form.DBEdit2, form.DBEdit3, form.DBEdit4};
    EXPECT_EQ(form.ResDBGridEh->EmptyText().toStdString(), TMainForm::FirstRunGuide);
    for (QLineEdit* box : boxes)
        EXPECT_FALSE(box->isEnabled()) << box->objectName().toStdString();
    EXPECT_FALSE(form.EditTBXButton->toolTip().isEmpty());

    // The window restored after a scan leaves them waiting still.
    form.SetControlsEnabled(false);
    form.SetControlsEnabled(true);
    EXPECT_FALSE(form.DBEdit1->isEnabled());

    AddSite(form.Tables.WebSiteClientDataSet, "site.example"); // as "Edit", "Add" does
    form.ShowSelectedSite();
    EXPECT_TRUE(form.ResDBGridEh->EmptyText().isEmpty());
    for (QLineEdit* box : boxes)
        EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
    form.SetControlsEnabled(false); // a scan
    EXPECT_FALSE(form.DBEdit1->isEnabled());
    form.SetControlsEnabled(true);
    EXPECT_TRUE(form.DBEdit1->isEnabled());
}

TEST_F(Startup, TheRememberedSiteIsShownWithItsKeywordsElseTheFirst) {
    WriteEngines({"Alpha"});
    WriteSites({"one.example", "two.example"}, "blue shoes");
    WriteFile("set.ini", "[TMainForm]\nWebSite=two.example\n");
    {
        TMainForm form;
        EXPECT_EQ(form.SelectedSiteName(), "two.example");
        EXPECT_EQ(form.DBEdit1->text().toStdString(), "blue shoes");
        EXPECT_EQ(form.WebSiteRxDBLookupCombo->count(), 2);
    }
    WriteFile("set.ini", "[TMainForm]\nWebSite=TWO.example\n"); // letter case counts
    TMainForm form;
    EXPECT_EQ(form.SelectedSiteName(), "one.example");
    EXPECT_EQ(form.DBEdit1->text().toStdString(), "");
}

TEST_F(Startup, ADamagedTableIsKeptAsideAndWhatTheUserAddsIsSaved) {
    WriteEngines({"Alpha"});
    Clock::SetTodayForTesting(Date(2026, 12, 11));
    const std::string damaged = "this is not a table file\n";
    for (const std::string& kept :
         {Path("WebSite.cds.damaged-2026-12-11"), Path("WebSite.cds.damaged-2026-12-11-2")}) {
        SCOPED_TRACE(kept);
        boxes.clear();
        WriteFile("WebSite.cds", damaged);
        {
            TMainForm form;
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].kind, TBoxKind::Error);
            const std::string& text = boxes[0].text;
            // Plain words first: what is lost, where it is kept; the technical cause after.
            EXPECT_EQ(text.rfind("Your web sites could not be read: the file \"" +
                                     Path("WebSite.cds") + "\" is damaged. It has been kept as \"" +
                                     kept + "\"",
                                 0),
                      0u)
                << text;
            EXPECT_NE(text.find("\n\nDetails: File " + Path("WebSite.cds") + " is damaged: "),
                      std::string::npos)
                << text;
            AddSite(form.Tables.WebSiteClientDataSet, "new.example");
            form.close();
        }
        EXPECT_EQ(ReadFile(kept.substr(Path("").size())), damaged);
        TTables back;
        back.WebSiteClientDataSet.LoadFromFile(Path("WebSite.cds"));
        EXPECT_EQ(SiteNames(back.WebSiteClientDataSet), std::vector<std::string>{"new.example"});
        EXPECT_TRUE(Exists("Word.cds"));
    }
    Clock::SetTodayForTesting(std::nullopt);
}

TEST_F(Startup, ATableFileThatCannotBeOpenedIsLeftAloneAndTheUserIsToldChangesAreNotSaved) {
    WriteEngines({"Alpha"});
    std::filesystem::create_directories(Path("Word.cds") + "/in-the-way");
    RunOnce();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(
        boxes[0].text.rfind("Your keywords could not be read: Quorvia may not open the file \"" +
                                Path("Word.cds") +
                                "\". The file is left as it is, and "
                                "changes you make now will not be saved to it.\n\nDetails: "
                                "Cannot open file " +
                                Path("Word.cds"),
                            0),
        0u)
        << boxes[0].text;
    EXPECT_TRUE(std::filesystem::is_directory(Path("Word.cds") + "/in-the-way"));
    // Start-up went on without it: the tables before and after it are saved as usual.
    EXPECT_TRUE(Exists("WebSite.cds"));
    EXPECT_TRUE(Exists("SECache.cds"));
}

TEST_F(Startup, AMissingEngineTableIsReportedAndTheWindowStillOpens) {
    WriteSites({"one.example"}, "kept words");
    const std::string words = ReadFile("Word.cds");
    {
        TMainForm form;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "The list of search engines (\"" + Path("SE.cds") +
                                     "\") could not be read, so there is nothing to check. "
                                     "Installing Quorvia again brings the file back.\n\n"
                                     "Details: Cannot open file " +
                                     Path("SE.cds"));
        EXPECT_EQ(form.SECheckListBox->count(), 0);
        form.show();
        EXPECT_TRUE(form.isVisible());
        form.close();
    }
    EXPECT_EQ(ReadFile("Word.cds"), words);
    EXPECT_FALSE(Exists("SE.cds"));
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(Startup, AFileThatCannotBeWrittenAtExitIsToldOnceAndSavedAsACopyInTheUserDataFolder) {
    const struct {
        const char* blocked; // a folder in the way of this file
        const char* what;
    } cases[] = {{"set.ini", "your choices and the grid's column layout (set.ini)"},
                 {"Word.cds", "your keywords (Word.cds)"}};
    WriteEngines({"Alpha"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocked);
        WriteSite("site.example", {"red shoes"});
        std::filesystem::remove_all(UserDataPath(""));
        boxes.clear();
        {
            TMainForm form;
            std::filesystem::remove(Path(c.blocked));
            std::filesystem::create_directories(Path(c.blocked) + "/in-the-way");
            form.close();
        }
        // Once, though closing and shutdown both tried, and naming where the copy is.
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, TBoxKind::Error);
        for (const std::string& part : {std::string(c.what), "saved in " + UserDataPath("")})
            EXPECT_NE(boxes[0].text.find(part), std::string::npos) << part << "\n" << boxes[0].text;
        // The others were saved as usual; the blocked one went to the user data folder only.
        for (const char* file : {"set.ini", "WebSite.cds", "Word.cds", "SECache.cds"})
            EXPECT_EQ(std::filesystem::exists(UserDataPath(file)), file == std::string(c.blocked))
                << file;
        std::filesystem::remove_all(Path(c.blocked));
    }
    TTables copy; // the keywords are a detail of the sites: load both
    copy.WebSiteClientDataSet.LoadFromFile(Path("WebSite.cds"));
    copy.WordClientDataSet.LoadFromFile(UserDataPath("Word.cds"));
    EXPECT_EQ(copy.WordClientDataSet.FieldByName("Word1").AsString(), "red shoes");
}

TEST_F(Startup, AProgramFolderGoneAtExitCostsOneMessageAndNoWork) {
    WriteEngines({"Alpha"});
    WriteFile("set.ini", "[inet]\ntimeout=45\n");
    const std::string folder = Path("").substr(0, Path("").size() - 1);
    {
        TMainForm form;
        AddSite(form.Tables.WebSiteClientDataSet, "new.example");
        // A removed memory stick: the folder is gone, and a plain file has its name.
        std::filesystem::rename(folder, folder + ".away");
        std::ofstream(folder) << "not a folder";
        form.close();
    }
    std::filesystem::remove(folder);
    std::filesystem::rename(folder + ".away", folder);

    ASSERT_EQ(boxes.size(), 1u);
    const std::string& text = boxes[0].text;
    for (const char* part : {"your web sites (WebSite.cds)", "your keywords (Word.cds)",
                             "your rankings (SECache.cds)", "(set.ini)"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    EXPECT_NE(text.find("saved in " + UserDataPath("")), std::string::npos) << text;
    TTables copy;
    copy.WebSiteClientDataSet.LoadFromFile(UserDataPath("WebSite.cds"));
    EXPECT_TRUE(copy.WebSiteClientDataSet.Locate("SiteName", {Value("new.example")}));
    // The copy of "set.ini" holds the choices and the layout; the connection settings it had
    // could not be read from the vanished folder.
    const std::string settings = [&] {
        std::ifstream in(UserDataPath("set.ini"));
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    EXPECT_NE(settings.find("[TMainForm]"), std::string::npos) << settings;
    EXPECT_NE(settings.find("[ResDBGridEh]"), std::string::npos) << settings;
}

TEST_F(Startup, TheAnimationFilesLiveOnlyWhileTheWindowDoes) {
    WriteEngines({"Alpha"});
    QStringList files;
    {
        TMainForm form;
        files = form.AnimationFiles;
        ASSERT_EQ(files.size(), 3);
        for (const QString& file : files) {
            EXPECT_TRUE(QFileInfo(file).fileName().contains(QRegularExpression(
                QStringLiteral("^\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}$"))))
                << file.toStdString();
            EXPECT_TRUE(QFileInfo::exists(file));
        }
        EXPECT_EQ(form.MediaPlayer1->FrameCount(), 5);
        EXPECT_EQ(form.MediaPlayer2->FrameCount(), 16);
        EXPECT_EQ(form.MediaPlayer3->FrameCount(), 5);
        EXPECT_EQ(form.MediaPlayer2->FrameIntervalMs(), 40);
    }
    for (const QString& file : files)
        EXPECT_FALSE(QFileInfo::exists(file));
}
