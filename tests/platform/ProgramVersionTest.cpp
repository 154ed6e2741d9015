#include "platform/ProgramVersion.h"
#include "platform/ProgramRegistryKey.h"

#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

using namespace quorvia;
using quorvia::testing::ScopedEnvironment;

TEST(ProgramVersionTest, TextJoinsTheFourHalves) {
    EXPECT_EQ(VersionText({}), "0.0.0.0");
    EXPECT_EQ(VersionText({0x00010002u, 0x00030004u}), "1.2.3.4");
    EXPECT_EQ(VersionText({0xFFFF0000u, 0x0000FFFFu}), "65535.0.0.65535");
}

TEST(ProgramVersionTest, ComesFromTheBuild) {
    EXPECT_EQ(VersionText(ProgramFileVersion()),
              std::to_string(QUORVIA_VERSION_MAJOR + 0) + "." +
                  std::to_string(QUORVIA_VERSION_MINOR + 0) + "." +
                  std::to_string(QUORVIA_VERSION_PATCH + 0) + "." +
                  std::to_string(QUORVIA_VERSION_TWEAK + 0));
}

class ProgramRegistryKeyTest : public ::testing::Test {
protected:
    std::filesystem::path Config() const { return dir.path().toStdString(); }
    std::filesystem::path KeyFile() const { return Config() / "Quorvia" / "registry.ini"; }

    QTemporaryDir dir;
};

TEST_F(ProgramRegistryKeyTest, OpeningCreatesTheEmptyKey) {
    ScopedEnvironment config("XDG_CONFIG_HOME", Config().string());
    const auto key = ProgramRegistryKey::Open();
    ASSERT_TRUE(key);
    EXPECT_EQ(key->Path(), KeyFile().string());
    EXPECT_TRUE(std::filesystem::exists(KeyFile()));
    EXPECT_EQ(key->ReadString("revision_name"), "");
}

TEST_F(ProgramRegistryKeyTest, ReadsAValueAndFallsBackToHomeConfig) {
    ScopedEnvironment config("XDG_CONFIG_HOME", "");
    ScopedEnvironment home("HOME", Config().string());
    std::filesystem::create_directories(Config() / ".config" / "Quorvia");
    std::ofstream(Config() / ".config" / "Quorvia" / "registry.ini")
        << "[Software\\Quorvia]\nrevision_name=Spring update\n";
    const auto key = ProgramRegistryKey::Open();
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString("revision_name"), "Spring update");
}

TEST_F(ProgramRegistryKeyTest, AKeyThatCannotBeCreatedDoesNotOpen) {
    // A file where the folder should be.
    std::ofstream(Config() / "Quorvia") << "in the way";
    ScopedEnvironment config("XDG_CONFIG_HOME", Config().string());
    EXPECT_FALSE(ProgramRegistryKey::Open());
}
