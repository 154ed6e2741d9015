#include "app/UserFilesSave.h"

#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

using namespace quorvia;
using quorvia::testing::ScopedEnvironment;
namespace fs = std::filesystem;

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class UserFilesSave : public ::testing::Test {
protected:
    std::string Folder(const char* name) const {
        return root_.filePath(QString::fromLatin1(name)).toStdString() + "/";
    }
    // Appends a line to the file, as the profile writer adds a key to what is there; the user's
    // own folder refuses it.
    TUserFilesSave::Writer Appending(const std::string& line) const {
        return [this, line](const std::string& path) {
            if (path.rfind(Folder("own"), 0) == 0)
                throw std::runtime_error("Unable to write to " + path);
            std::ofstream(path, std::ios::app | std::ios::binary) << line;
            if (!fs::exists(path))
                throw std::runtime_error("Cannot create file " + path);
        };
    }

    QTemporaryDir root_;
};

} // namespace

TEST_F(UserFilesSave, EverythingWrittenInItsFolderNeedsNoMessage) {
    fs::create_directories(Folder("user"));
    TUserFilesSave save(Folder("user"), {Folder("copies")});
    for (const char* file : {"set.ini", "WebSite.cds"})
        save.Write(file, "a file", [](const std::string& path) { std::ofstream(path) << "x"; });
    EXPECT_TRUE(save.AllSaved());
    EXPECT_EQ(save.Message(), "");
    EXPECT_TRUE(fs::exists(Folder("user") + "WebSite.cds"));
    EXPECT_FALSE(fs::exists(Folder("copies")));
}

TEST_F(UserFilesSave, WhatCannotBeWrittenGoesAsACopyToTheFirstFallbackThatTakesIt) {
    fs::create_directories(Folder("own"));
    std::ofstream(Folder("own") + "set.ini") << "[inet]\ntimeout=45\n";
    std::ofstream(root_.filePath(QStringLiteral("plain")).toStdString()) << "not a folder";
    const std::string unusable = root_.filePath(QStringLiteral("plain/sub/")).toStdString();
    TUserFilesSave save(Folder("own"), {unusable, Folder("data/Quorvia"), Folder("tmp")});
    save.Write("set.ini", "your choices", Appending("[TMainForm]\nWebSite=a.example\n"));
    save.Write("Word.cds", "your keywords", Appending("keywords"));

    EXPECT_EQ(save.FailedFiles(), (std::vector<std::string>{"set.ini", "Word.cds"}));
    EXPECT_EQ(save.CopyFolder(), Folder("data/Quorvia"));
    // The copy starts from the file as it was: the connection settings survive in it.
    EXPECT_EQ(Read(Folder("data/Quorvia") + "set.ini"),
              "[inet]\ntimeout=45\n[TMainForm]\nWebSite=a.example\n");
    EXPECT_EQ(Read(Folder("data/Quorvia") + "Word.cds"), "keywords");
    EXPECT_EQ(Read(Folder("own") + "set.ini"), "[inet]\ntimeout=45\n");
    EXPECT_FALSE(fs::exists(Folder("tmp")));

    const std::string message = save.Message();
    for (const std::string& part :
         {"could not save everything in " + Folder("own"), "saved in " + Folder("data/Quorvia"),
          std::string("your choices (set.ini)"), std::string("your keywords (Word.cds)"),
          "Unable to write to " + Folder("own") + "set.ini"})
        EXPECT_NE(message.find(part), std::string::npos) << part << "\n" << message;
    EXPECT_EQ(message.find("anywhere"), std::string::npos) << message;
}

TEST_F(UserFilesSave, WhatCouldNotBeSavedAnywhereIsToldAsLost) {
    fs::create_directories(Folder("own"));
    std::ofstream(root_.filePath(QStringLiteral("plain")).toStdString()) << "not a folder";
    TUserFilesSave save(Folder("own"), {root_.filePath(QStringLiteral("plain/x/")).toStdString()});
    save.Write("SECache.cds", "your rankings", Appending("rows"));
    ASSERT_FALSE(save.AllSaved());
    EXPECT_EQ(save.CopyFolder(), "");
    const std::string message = save.Message();
    EXPECT_NE(message.find("could not be saved anywhere"), std::string::npos) << message;
    EXPECT_NE(message.find("your rankings (SECache.cds)"), std::string::npos) << message;
    EXPECT_EQ(message.find("A copy"), std::string::npos) << message;
}

TEST(UserFilesSaveFallbacks, TheUserDataFolderFirstUnlessItIsTheFolderThatFailed) {
    QTemporaryDir data;
    const ScopedEnvironment xdg("XDG_DATA_HOME", data.path().toStdString());
    const std::string userData = data.path().toStdString() + "/Quorvia/";
    const auto portable = TUserFilesSave::FallbackFolders("/media/stick/quorvia/");
    ASSERT_EQ(portable.size(), 2u);
    EXPECT_EQ(portable[0], userData);
    EXPECT_NE(portable[1].find("Quorvia-"), std::string::npos);
    const auto installed = TUserFilesSave::FallbackFolders(userData);
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_EQ(installed[0], portable[1]);
}
