// The menu commands and clicks that lead out of the main window.

#include "AppTestSupport.h"

#include "app/AboutForm.h"
#include "app/HelpCommands.h"
#include "app/HelpForm.h"
#include "app/MainForm.h"
#include "app/ShellOpen.h"
#include "platform/ProgramFolder.h"
#include "settings/SettingsForm.h"

#include "support/AnswerDialog.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMessageBox>
#include <QTest>
#include <QTextBrowser>

#include <filesystem>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

class MenuCommands : public ::testing::Test, public TProgramFolderFixture {
protected:
    MenuCommands() {
        WriteEngines({"Alpha"});
        previous_ =
            SetShellOpenHandler([this](const std::string& target) { opened.push_back(target); });
    }
    ~MenuCommands() override { SetShellOpenHandler(previous_); }

    QTemporaryDir configDir;
    ScopedEnvironment config{"XDG_CONFIG_HOME", configDir.path().toStdString()};
    std::vector<std::string> opened;

private:
    ShellOpenHandler previous_;
};

} // namespace

TEST_F(MenuCommands, MenuItemsAndPicturesOpenTheirTargets) {
    TMainForm form;
    form.CheckUpdateAction->trigger();
    form.SupportAction->trigger();
    for (QWidget* picture :
         {static_cast<QWidget*>(form.Image), form.PlayPanel, static_cast<QWidget*>(form.Image1)})
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(5, 5));
    const std::string product(ProductPage);
    EXPECT_EQ(opened, (std::vector<std::string>{std::string(UpdatesPage), SupportMailLink(),
                                                product, product, product}));
}

TEST_F(MenuCommands, HelpTopicsOpensOneHelpWindowOverThePagesOrSaysWhyNot) {
    TMainForm form;
    form.HelpAction->trigger();
    EXPECT_EQ(form.findChild<THelpForm*>(), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TBoxKind::Error);
    EXPECT_NE(boxes[0].text.find(ShippedFile("help")), std::string::npos) << boxes[0].text;

    std::filesystem::create_directory(Path("help"));
    WriteFile("help/toc.hhc", R"(<ul><li><object type="text/sitemap">
        <param name="Name" value="Start"><param name="Local" value="start.html"></object></ul>)");
    WriteFile("help/start.html", "<html><body><h1>Start here</h1></body></html>");
    form.HelpAction->trigger();
    form.HelpAction->trigger(); // the open window comes to the front; no second one
    const QList<THelpForm*> windows = form.findChildren<THelpForm*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_TRUE(windows[0]->PageBrowser->toPlainText().contains(QStringLiteral("Start here")));
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(MenuCommands, DialogCommandsOpenTheirDialogsAndReportFailures) {
    TMainForm form;
    QString distribution;
    AnswerNextDialog<QMessageBox>([&](QMessageBox& box) {
        distribution = box.windowTitle();
        box.accept();
    });
    form.DistributionAction->trigger();
    EXPECT_EQ(distribution, QStringLiteral("Program distribution"));

    bool aboutShown = false;
    AnswerNextDialog<TAboutForm>([&](TAboutForm& about) {
        aboutShown = true;
        about.accept();
    });
    form.AboutAction->trigger();
    EXPECT_TRUE(aboutShown);

    // Settings confirmed while "set.ini" cannot be written: said in the error box, and the
    // window goes on.
    std::filesystem::remove(Path("set.ini"));
    std::filesystem::create_directory(Path("set.ini"));
    AnswerNextDialog<TSettingsForm>([](TSettingsForm& settings) { settings.accept(); });
    form.SettingsAction->trigger();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].kind, TBoxKind::Error);
    EXPECT_NE(boxes[0].text.find("set.ini"), std::string::npos) << boxes[0].text;
    std::filesystem::remove(Path("set.ini"));
}
