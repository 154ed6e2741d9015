// The engine list and what the window keeps between runs.

#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>

#include <memory>

using namespace quorvia;
using namespace quorvia::testing;
using Names = std::vector<std::string>;

namespace {

class EngineList : public ::testing::Test, public TProgramFolderFixture {
protected:
    EngineList() { WriteEngines({"Alpha", "Big Engine", "Say \"Hi\"", "Zeta"}); }

    Names Shown(const TMainForm& form) const {
        Names names;
        for (int i = 0; i < form.SECheckListBox->count(); ++i)
            names.push_back(form.SECheckListBox->item(i)->text().toStdString());
        return names;
    }
    // A tick as the user makes it.
    void ClickTick(TMainForm& form, const std::string& name) const {
        const auto items =
            form.SECheckListBox->findItems(QString::fromStdString(name), Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        items[0]->setCheckState(items[0]->checkState() == Qt::Checked ? Qt::Unchecked
                                                                      : Qt::Checked);
    }
    std::unique_ptr<TMainForm> Restart(std::unique_ptr<TMainForm> form) const {
        form->close();
        form.reset();
        return std::make_unique<TMainForm>();
    }
    std::string StoredKey(const std::string& key) const {
        return ProfileFile(Path("set.ini")).ReadString("TMainForm", key, "<missing>");
    }
};

} // namespace

TEST_F(EngineList, TicksSurviveARestartQuotedWhereNeeded) {
    auto form = std::make_unique<TMainForm>();
    EXPECT_EQ(Shown(*form), (Names{"Alpha", "Big Engine", "Say \"Hi\"", "Zeta"}));
    EXPECT_TRUE(form->CheckedEngineNames().empty());
    ClickTick(*form, "Say \"Hi\"");
    ClickTick(*form, "Big Engine");
    EXPECT_EQ(form->Stored.SEs, "\"Big Engine\",\"Say \"\"Hi\"\"\"");

    form = Restart(std::move(form));
    EXPECT_EQ(StoredKey("SEs"), "\"Big Engine\",\"Say \"\"Hi\"\"\"");
    EXPECT_EQ(form->CheckedEngineNames(), (Names{"Big Engine", "Say \"Hi\""}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(EngineList, StoredNamesNotShownArePassedOverAndTickingIsCaseBlind) {
    WriteFile("set.ini", "[TMainForm]\nSEs=Gone,zeta,\"big engine\"\n");
    TMainForm form;
    EXPECT_EQ(form.CheckedEngineNames(), (Names{"Big Engine", "Zeta"}));
    EXPECT_EQ(form.Stored.SEs, "Gone,zeta,\"big engine\""); // kept until the user ticks
}

TEST_F(EngineList, InternationalOnlyShowsListedEnginesAndClearsTicksEachSwitch) {
    WriteFile("IntSe.lst", "ZETA\r\nAlpha \r\nBig Engine\r\n"); // "Alpha " does not match
    WriteFile("set.ini", "[TMainForm]\nSEs=Alpha,Zeta\n");
    TMainForm form;
    ASSERT_EQ(form.CheckedEngineNames(), (Names{"Alpha", "Zeta"}));

    form.IntTBXCheckBox->setChecked(true);
    EXPECT_EQ(Shown(form), (Names{"Big Engine", "Zeta"}));
    EXPECT_TRUE(form.CheckedEngineNames().empty());
    ClickTick(form, "Zeta");
    form.IntTBXCheckBox->setChecked(false);
    EXPECT_EQ(Shown(form).size(), 4u);
    EXPECT_TRUE(form.CheckedEngineNames().empty());
    EXPECT_EQ(form.Stored.SEs, "Zeta"); // the last change the user made
}

TEST_F(EngineList, InternationalOnlyWithoutTheListShowsNothing) {
    WriteFile("set.ini", "[TMainForm]\nIntTBXCheckBox_Checked=true\n");
    TMainForm form;
    EXPECT_TRUE(form.IntTBXCheckBox->isChecked());
    EXPECT_TRUE(Shown(form).empty());
    form.SelectAllTBXButtonClick(); // on an empty list: only an empty "SEs"
    EXPECT_EQ(form.Stored.SEs, "");
}

TEST_F(EngineList, SelectAllAndDeselectAllStoreTheTicks) {
    TMainForm form;
    form.SelectAllTBXButtonClick();
    EXPECT_EQ(form.CheckedEngineNames().size(), 4u);
    EXPECT_EQ(form.Stored.SEs, "Alpha,\"Big Engine\",\"Say \"\"Hi\"\"\",Zeta");
    form.DeSelectAllTBXButtonClick();
    EXPECT_TRUE(form.CheckedEngineNames().empty());
    EXPECT_EQ(form.Stored.SEs, "");
}

TEST_F(EngineList, DepthAndOptionsSurviveARestart) {
    auto form = std::make_unique<TMainForm>();
    EXPECT_EQ(form->DepthButtonsChosen(),
              (std::vector<bool>{false, false, false, false, true, false, false, false}));
    EXPECT_TRUE(form->ScanForFirst());
    EXPECT_FALSE(form->IntTBXCheckBox->isChecked());
    form->TBXRadioButton7->setChecked(true);
    form->ScanForFirstTBXCheckBox->setChecked(false);
    form->IntTBXCheckBox->setChecked(true);

    form = Restart(std::move(form));
    EXPECT_EQ(StoredKey("FormVersion"), "0");
    EXPECT_EQ(StoredKey("TBXRadioButton7_Checked"), "True");
    EXPECT_EQ(StoredKey("TBXRadioButton5_Checked"), "False");
    EXPECT_EQ(StoredKey("ScanForFirstTBXCheckBox_Checked"), "False");
    EXPECT_EQ(StoredKey("WebSite"), "");
    EXPECT_TRUE(form->TBXRadioButton7->isChecked());
    EXPECT_FALSE(form->ScanForFirst());
    EXPECT_TRUE(form->IntTBXCheckBox->isChecked());
}

TEST_F(EngineList, StoredOptionsReadTrueAndFalseInAnyCaseOnly) {
    WriteFile("set.ini", "[tmainform]\nscanforfirsttbxcheckbox_checked=FALSE\n"
                         "IntTBXCheckBox_Checked=yes\nTBXRadioButton2_Checked=tRUE\n");
    TMainForm form;
    EXPECT_FALSE(form.ScanForFirst());
    EXPECT_FALSE(form.IntTBXCheckBox->isChecked()); // "yes" leaves the design state
    EXPECT_TRUE(form.TBXRadioButton2->isChecked());
}
