#include "platform/ProgramFolder.h"

#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

using namespace quorvia;
using quorvia::testing::ScopedEnvironment;
namespace fs = std::filesystem;

TEST(ProgramFolder, HasTrailingSeparatorAndCanBeOverridden) {
    EXPECT_EQ(ProgramFolder().back(), '/');
    SetProgramFolder("/tmp/somewhere");
    EXPECT_EQ(ProgramFolder(), "/tmp/somewhere/");
}

// A prefix with bin/ and share/quorvia/ as an install leaves them, and a user data folder.
class FileFolders : public ::testing::Test {
protected:
    FileFolders() {
        fs::create_directories(Bin());
        fs::create_directories(Share());
    }
    std::string Bin() const { return root_.filePath(QStringLiteral("usr/bin/")).toStdString(); }
    std::string Share() const {
        return root_.filePath(QStringLiteral("usr/share/quorvia/")).toStdString();
    }
    std::string Data() const { return root_.filePath(QStringLiteral("data")).toStdString(); }
    std::string UserData() const { return Data() + "/Quorvia/"; }

    QTemporaryDir root_;
    ScopedEnvironment xdg_{"XDG_DATA_HOME", Data()};
};

TEST_F(FileFolders, AProgramInAFolderOfItsOwnKeepsEverythingBesideItself) {
    const std::string portable = root_.filePath(QStringLiteral("portable")).toStdString();
    fs::create_directories(portable);
    std::ofstream(portable + "/SE.cds") << "";
    // Beside it, or in a bin/ of its own next to a share/quorvia/: what decides is "SE.cds".
    std::ofstream(Bin() + "SE.cds") << "";
    for (const std::string& folder : {portable + "/", Bin()}) {
        SCOPED_TRACE(folder);
        const TFileFolders chosen = ChooseFileFolders(folder, true);
        EXPECT_FALSE(chosen.Installed);
        EXPECT_EQ(chosen.Shipped, folder);
        EXPECT_EQ(chosen.User, folder);
    }
    EXPECT_FALSE(fs::exists(UserData()));
}

TEST_F(FileFolders, InstalledTheShippedFilesComeFromShareAndTheUsersGoToTheUserDataFolder) {
    // The install layout decides whether or not bin/ can be written (root can write anywhere).
    for (const bool writable : {false, true}) {
        const TFileFolders chosen = ChooseFileFolders(Bin(), writable);
        EXPECT_TRUE(chosen.Installed);
        EXPECT_EQ(chosen.Shipped, Share());
        EXPECT_EQ(chosen.User, UserData());
        EXPECT_TRUE(fs::is_directory(UserData())) << "created on first start";
    }
}

TEST_F(FileFolders, AFolderThatCannotBeWrittenSendsOnlyTheUserFilesAway) {
    const std::string readOnly = root_.filePath(QStringLiteral("cdrom/")).toStdString();
    fs::create_directories(readOnly);
    const TFileFolders chosen = ChooseFileFolders(readOnly, false);
    EXPECT_TRUE(chosen.Installed);
    EXPECT_EQ(chosen.Shipped, readOnly);
    EXPECT_EQ(chosen.User, UserData());
}

TEST_F(FileFolders, TheFilesOfTheRunFollowTheFolderTheProgramIsIn) {
    SetProgramFolder(Bin());
    EXPECT_TRUE(RunsInstalled());
    EXPECT_EQ(ShippedFile("SE.cds"), Share() + "SE.cds");
    EXPECT_EQ(UserFile("set.ini"), UserData() + "set.ini");
    EXPECT_EQ(UserFile("engines"), UserData() + "engines");

    // A folder that cannot be written, even by root: its path runs through a plain file.
    const std::string plainFile = root_.filePath(QStringLiteral("plain")).toStdString();
    std::ofstream(plainFile) << "";
    SetProgramFolder(plainFile + "/bin");
    EXPECT_TRUE(RunsInstalled());
    EXPECT_EQ(ShippedFile("SE.cds"), plainFile + "/bin/SE.cds");
    EXPECT_EQ(UserFile("WebSite.cds"), UserData() + "WebSite.cds");

    const std::string portable = root_.filePath(QStringLiteral("portable")).toStdString();
    fs::create_directories(portable);
    SetProgramFolder(portable);
    EXPECT_FALSE(RunsInstalled());
    EXPECT_EQ(ShippedFile("SE.cds"), portable + "/SE.cds");
    EXPECT_EQ(UserFile("Cache"), portable + "/Cache");
}

TEST(UserDataFolder, FollowsXdgDataHomeWhenItIsAbsoluteElseTheHomeFolder) {
    const ScopedEnvironment home("HOME", "/home/ann");
    const struct {
        std::optional<std::string> xdg;
        const char* expected;
    } cases[] = {{"/srv/data", "/srv/data/Quorvia/"},
                 {std::nullopt, "/home/ann/.local/share/Quorvia/"},
                 {"", "/home/ann/.local/share/Quorvia/"},
                 {"relative/data", "/home/ann/.local/share/Quorvia/"}};
    for (const auto& c : cases) {
        const ScopedEnvironment xdg("XDG_DATA_HOME", c.xdg);
        EXPECT_EQ(UserDataFolder(), c.expected) << c.xdg.value_or("(unset)");
    }
}

TEST(LineList, SplitsAtCrLfAndCrLfKeepingBlanks) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/IntSe.lst";
    std::ofstream(path, std::ios::binary) << "Alpha\r\n Beta \rGamma\n\nDelta";
    EXPECT_EQ(ReadLineList(path),
              (std::vector<std::string>{"Alpha", " Beta ", "Gamma", "", "Delta"}));
}

TEST(LineList, MissingFileGivesEmptyList) {
    EXPECT_TRUE(ReadLineList("/nonexistent/badhtml.lst").empty());
}
