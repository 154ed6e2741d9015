#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

using namespace quorvia;

TEST(ProgramFolder, HasTrailingSeparatorAndCanBeOverridden) {
    EXPECT_EQ(ProgramFolder().back(), '/');
    SetProgramFolder("/tmp/somewhere");
    EXPECT_EQ(ProgramFolder(), "/tmp/somewhere/");
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
