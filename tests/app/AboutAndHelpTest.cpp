#include "app/AboutForm.h"
#include "app/HelpCommands.h"
#include "app/ShellOpen.h"

#include "platform/ProgramFolder.h"
#include "support/GuiApplication.h"
#include "support/QtTestApp.h"
#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <vector>

using namespace quorvia;
using quorvia::testing::ScopedEnvironment;

namespace {

class AboutAndHelpTest : public ::testing::Test {
protected:
    AboutAndHelpTest() {
        SetProgramFolder(programDir.path().toStdString());
        previous =
            SetShellOpenHandler([this](const std::string& target) { opened.push_back(target); });
    }
    ~AboutAndHelpTest() override { SetShellOpenHandler(previous); }

    std::filesystem::path KeyFile() const {
        return std::filesystem::path(configDir.path().toStdString()) / "Quorvia" / "registry.ini";
    }
    QString LabelText(const TAboutForm& form, const char* name) {
        const auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<missing>");
    }
    void Click(const TAboutForm& form, const char* name) {
        auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(label, nullptr) << name;
        QTest::mouseClick(label, Qt::LeftButton);
    }

    QTemporaryDir programDir;
    QTemporaryDir configDir;
    ScopedEnvironment config{"XDG_CONFIG_HOME", configDir.path().toStdString()};
    std::vector<std::string> opened;
    ShellOpenHandler previous;
};

TEST_F(AboutAndHelpTest, CommandsOpenTheirTargets) {
    OpenSupportMail();
    OpenUpdatesPage();
    OpenProductPage();
    const std::vector<std::string> expected = {
        "mailto:support@halvex.example?subject=Support for Quorvia needed",
        std::string(UpdatesPage), std::string(ProductPage)};
    EXPECT_EQ(opened, expected);
    EXPECT_NE(UpdatesPage, ProductPage);
}

TEST_F(AboutAndHelpTest, TheMailLinkReachesTheDesktopsOpenerWithItsBlanksInOneArgument) {
    // A stand-in for the desktop's opener that writes down what it was given.
    QTemporaryDir bin;
    const std::string opener = bin.filePath(QStringLiteral("xdg-open")).toStdString();
    const std::string given = opener + ".given";
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$0.given.tmp\"\n"
                  "mv \"$0.given.tmp\" \"$0.given\"\n";
    }
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const ScopedEnvironment path("PATH", bin.path().toStdString() + ":" + std::getenv("PATH"));
    SetShellOpenHandler(nullptr); // the desktop's own way
    OpenSupportMail();
    ASSERT_TRUE(quorvia::testing::PumpUntil([&] { return std::filesystem::exists(given); }, 10000));
    std::ifstream arguments(given);
    const std::string text((std::istreambuf_iterator<char>(arguments)),
                           std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "1\nmailto:support@halvex.example?subject=Support for Quorvia needed\n");
}

TEST_F(AboutAndHelpTest, AboutLinksOpenTheSameTargetsAsTheMenu) {
    TAboutForm form(nullptr);
    Click(form, "Label2");
    Click(form, "Label4");
    Click(form, "ProgramIcon");
    const std::vector<std::string> expected = {SupportMailLink(), std::string(UpdatesPage),
                                               std::string(ProductPage)};
    EXPECT_EQ(opened, expected);
}

TEST_F(AboutAndHelpTest, AboutShowsZerosWithoutVersionAndCreatesTheKey) {
    TAboutForm form(nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(form.size(), QSize(461, 362));
    EXPECT_EQ(LabelText(form, "UpdateNameLabel"), QStringLiteral("Knowledge Base"));
    ASSERT_FALSE(std::filesystem::exists(KeyFile()));

    form.ShowInformation({});
    EXPECT_EQ(LabelText(form, "VersionLabel"), QStringLiteral("0.0.0.0"));
    EXPECT_TRUE(std::filesystem::exists(KeyFile()));
    EXPECT_EQ(LabelText(form, "UpdateNameLabel"), QString());
}

TEST_F(AboutAndHelpTest, AboutShowsVersionAndUpdateName) {
    std::filesystem::create_directories(KeyFile().parent_path());
    std::ofstream(KeyFile()) << "[Software\\Quorvia]\nrevision_name=Autumn refresh\n";
    TAboutForm form(nullptr);
    form.ShowInformation({0x00020005u, 0x00010007u});
    EXPECT_EQ(LabelText(form, "VersionLabel"), QStringLiteral("2.5.1.7"));
    EXPECT_EQ(LabelText(form, "UpdateNameLabel"), QStringLiteral("Autumn refresh"));
}

TEST_F(AboutAndHelpTest, AboutKeepsDesignTextWhenTheKeyCannotBeOpened) {
    std::ofstream(KeyFile().parent_path()) << "a file where the folder should be";
    TAboutForm form(nullptr);
    form.ShowInformation({});
    EXPECT_EQ(LabelText(form, "UpdateNameLabel"), QStringLiteral("Knowledge Base"));
}

TEST_F(AboutAndHelpTest, DistributionTermsBox) {
    QString caption, text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        box->accept();
    });
    ShowDistributionTerms(nullptr);
    EXPECT_EQ(caption, QStringLiteral("Program distribution"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_TRUE(lines[3].isEmpty());
    EXPECT_TRUE(lines[2].contains(QStringLiteral("cover discs")));
    // The last line names the distribution notes where they are shipped.
    EXPECT_EQ(lines[4].toStdString(), "More about distributing Quorvia is in the file " +
                                          ShippedFile("distribution.txt") + ".");
}

TEST(ShippedTexts, TheDistributionNotesAndTermsOfUseLieBesideTheProgram) {
    for (const char* file : {"distribution.txt", "license.txt"}) {
        std::ifstream text(std::string(QUORVIA_TEST_PROGRAM_DIR) + "/" + file);
        ASSERT_TRUE(text) << file;
        std::string heading;
        std::getline(text, heading);
        EXPECT_EQ(heading.rfind("Quorvia: ", 0), 0u) << file;
    }
}

TEST(HelpFileTest, IsBuiltBesideTheProgram) {
    const std::string file = std::string(QUORVIA_TEST_PROGRAM_DIR) + "/help.chm";
    std::ifstream help(file, std::ios::binary);
    ASSERT_TRUE(help) << file;
    char magic[4] = {};
    help.read(magic, 4);
    EXPECT_EQ(std::string(magic, 4), "ITSF"); // the compiled-help container's signature
}

} // namespace
