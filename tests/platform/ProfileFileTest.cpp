#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/resource.h>

using namespace quorvia;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const {
        return dir.path().toStdString() + "/" + name;
    }

    std::string Create(const std::string& bytes) const {
        const std::string path = PathOf("set.ini");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    QTemporaryDir dir;
};

// "\n" in a template becomes the given ending, so one fixture serves LF and CR LF files.
std::string WithEnding(std::string text, const std::string& ending) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? ending : std::string(1, c);
    return out;
}

} // namespace

TEST_F(ProfileFileTest, WritesTouchOneLineAndKeepEverythingElse) {
    const std::string original = "; written by hand\n"
                                 "[TMainForm]\n"
                                 "Left=10\n"
                                 "  ; a comment inside\n"
                                 "\n"
                                 "[inet]\n"
                                 "timeout = 45 \n"
                                 "Proxy=old\n"
                                 "; trailing comment\n"
                                 "[ResDBGridEh]\n"
                                 "Columns=3\n";
    const std::string expected = "; written by hand\n"
                                 "[TMainForm]\n"
                                 "Left=10\n"
                                 "  ; a comment inside\n"
                                 "\n"
                                 "[inet]\n"
                                 "timeout=60\n"
                                 "Proxy=old\n"
                                 "ConnectType=2\n"
                                 "; trailing comment\n"
                                 "[ResDBGridEh]\n"
                                 "Columns=3\n"
                                 "[New]\n"
                                 "Key=value\n";
    for (const std::string ending : {"\n", "\r\n"}) {
        SCOPED_TRACE(ending == "\n" ? "LF" : "CR LF");
        ProfileFile ini(Create(WithEnding(original, ending)));
        EXPECT_EQ(ini.ReadInteger("inet", "timeout", 0), 45);
        ini.WriteInteger("inet", "TIMEOUT", 30); // replaced in place, whatever the spelling
        ini.WriteInteger("inet", "timeout", 60); // and still one line after a second write
        ini.WriteInteger("inet", "ConnectType", 2);
        ini.WriteString("New", "Key", "value");
        EXPECT_EQ(Contents(ini.Path()), WithEnding(expected, ending));
        EXPECT_EQ(ini.ReadString("inet", "Proxy", ""), "old");
        EXPECT_EQ(ini.ReadInteger("ResDBGridEh", "Columns", 0), 3);
    }
}

TEST_F(ProfileFileTest, LookupIsCaseBlindAndValuesAreTrimmed) {
    ProfileFile ini(Create("Orphan=outside any section\r\n"
                           "[ Inet ]\r\n"
                           "  UserAgent =  Agent/1.0 (a=b)  \r\n"
                           "Empty=\r\n"
                           "UserAgent=second one is ignored\r\n"
                           "[inet]\r\n"
                           "Proxy=in a second section of the same name\r\n"));
    EXPECT_EQ(ini.ReadString("INET", "useragent", "default"), "Agent/1.0 (a=b)");
    EXPECT_EQ(ini.ReadString("inet", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadInteger("inet", "Empty", 7), 7);
    EXPECT_EQ(ini.ReadString("inet", "Proxy", "default"), "default");
    EXPECT_EQ(ini.ReadString("", "Orphan", "default"), "default");
    EXPECT_EQ(ini.ReadSection("inet"), (std::vector<std::string>{"UserAgent", "Empty"}));
}

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesDefaults) {
    const ProfileFile missing(PathOf("none.ini"));
    EXPECT_EQ(missing.ReadString("inet", "Proxy", "fallback"), "fallback");
    EXPECT_EQ(missing.ReadInteger("inet", "timeout", 30), 30);
    EXPECT_TRUE(missing.ReadBool("TMainForm", "Checked", true));
    EXPECT_TRUE(missing.ReadSection("inet").empty());

    const ProfileFile present(Create("[inet]\nProxy=p\n"));
    EXPECT_EQ(present.ReadString("other", "Proxy", "fallback"), "fallback");
    EXPECT_EQ(present.ReadString("inet", "Port", "fallback"), "fallback");
}

TEST_F(ProfileFileTest, CreatesTheFileAndEndsAnUnendedLastLine) {
    ProfileFile fresh(PathOf("fresh.ini"));
    fresh.WriteString("inet", "Proxy", "host");
    fresh.WriteBool("TMainForm", "Checked", false);
    EXPECT_EQ(Contents(fresh.Path()), "[inet]\nProxy=host\n[TMainForm]\nChecked=0\n");
    EXPECT_FALSE(fresh.ReadBool("TMainForm", "Checked", true));

    ProfileFile unended(Create("\xEF\xBB\xBF[inet]\r\nProxy=host"));
    unended.WriteInteger("inet", "ProxyPort", 8080);
    EXPECT_EQ(Contents(unended.Path()), "\xEF\xBB\xBF[inet]\r\nProxy=host\r\nProxyPort=8080\r\n");
}

TEST_F(ProfileFileTest, RefusesWhatCannotBeOneLine) {
    ProfileFile ini(Create("[inet]\nProxy=host\n"));
    EXPECT_THROW(ini.WriteString("inet", "Password", "two\nlines"), std::invalid_argument);
    EXPECT_THROW(ini.WriteString("inet", "Pass=word", "x"), std::invalid_argument);
    EXPECT_THROW(ini.WriteString("in]et", "Password", "x"), std::invalid_argument);
    EXPECT_EQ(Contents(ini.Path()), "[inet]\nProxy=host\n");
}

TEST_F(ProfileFileTest, UnwritableFileRaisesWithItsPath) {
    const std::string plainFile = Create("not a folder");
    ProfileFile ini(plainFile + "/set.ini");
    try {
        ini.WriteString("inet", "Proxy", "host");
        FAIL() << "the write succeeded";
    } catch (const ProfileWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + plainFile + "/set.ini");
    }
}

TEST_F(ProfileFileTest, FailedWriteLeavesTheOldFileWhole) {
    const std::string original = "[inet]\nProxy=old\n";
    ProfileFile ini(Create(original));
    // A file-size limit makes the new file's write fail part way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = original.size();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    EXPECT_THROW(ini.WriteString("inet", "Proxy", std::string(1000, 'x')), ProfileWriteError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    EXPECT_EQ(Contents(ini.Path()), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("set.ini")}); // no temporary file left behind
}

// Regression: a folder in the file's place made the stream library throw from a read.
TEST_F(ProfileFileTest, AFolderInThePlaceOfTheFileReadsAsMissingAndRefusesWrites) {
    const std::string path = PathOf("set.ini");
    std::filesystem::create_directory(path);
    ProfileFile ini(path);
    EXPECT_EQ(ini.ReadString("inet", "Proxy", "none"), "none");
    EXPECT_TRUE(ini.ReadSection("inet").empty());
    EXPECT_THROW(ini.WriteString("inet", "Proxy", "host"), ProfileWriteError);
}
