#include "settings/ConnectionSettings.h"

#include "platform/ProfileFile.h"
#include "platform/ProgramFolder.h"

#include "support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>

namespace quorvia {
void PrintTo(const TConnectionSettings& s, std::ostream* out) {
    *out << "{timeout " << s.timeout << ", RetryConnect " << s.RetryConnect << ", UserAgent \""
         << s.UserAgent << "\", Proxy \"" << s.Proxy << "\", ProxyPort " << s.ProxyPort
         << ", Username \"" << s.Username << "\", Password \"" << s.Password << "\", UseAuth "
         << s.UseAuth << ", ConnectType " << s.ConnectType << "}";
}
} // namespace quorvia

using namespace quorvia;
using quorvia::testing::ScopedEnvironment;

namespace {

class ConnectionSettingsTest : public ::testing::Test {
protected:
    ConnectionSettingsTest() {
        SetProgramFolder(dir.path().toStdString());
        ConnectionSettings = {};
    }
    ~ConnectionSettingsTest() override { ConnectionSettings = {}; }

    std::string IniPath() const { return ProgramFolder() + "set.ini"; }

    void WriteIni(const std::string& bytes) const {
        std::ofstream(IniPath(), std::ios::binary) << bytes;
    }

    std::string ReadIni() const {
        std::ifstream in(IniPath(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    QTemporaryDir dir;
    // Every test starts with no proxy in the environment.
    ScopedEnvironment lower{"http_proxy", std::nullopt};
    ScopedEnvironment upper{"HTTP_PROXY", std::nullopt};
};

TConnectionSettings With(std::string proxy, std::int32_t port) {
    TConnectionSettings s;
    s.Proxy = std::move(proxy);
    s.ProxyPort = port;
    return s;
}

} // namespace

TEST_F(ConnectionSettingsTest, LoadCases) {
    const TConnectionSettings defaults;
    TConnectionSettings notWhole;
    notWhole.ConnectType = 2;
    const TConnectionSettings allGiven{10, 0, "Agent/2", "fileproxy", 3128, "joe", "s=cret", 1, 1};
    TConnectionSettings type7 = With("fileproxy", 3128);
    type7.ConnectType = 7;
    TConnectionSettings auth2;
    auth2.UseAuth = 2;
    auth2.ConnectType = 2;

    struct Case {
        const char* name;
        std::optional<std::string> ini; // nothing: no set.ini at all
        std::optional<std::string> httpProxy;
        TConnectionSettings expected;
    };
    const Case cases[] = {
        {"no file, no proxy variable", std::nullopt, std::nullopt, defaults},
        {"no file, proxy from the variable", std::nullopt, "http://proxy.local:8080/",
         With("proxy.local", 8080)},
        {"integers that are not whole numbers or empty",
         "[inet]\ntimeout=abc\nRetryConnect=\nProxyPort=1.5\nConnectType=2\n", std::nullopt,
         notWhole},
        {"every key given, direct connection",
         "[inet]\r\ntimeout=10\r\nRetryConnect=0\r\nUserAgent=Agent/2\r\nProxy=fileproxy\r\n"
         "ProxyPort=3128\r\nUsername=joe\r\nPassword= s=cret\r\nUseAuth=1\r\nConnectType=1\r\n",
         "other:1", allGiven},
        {"type 3 replaces the file's proxy even with no variable",
         "[inet]\nProxy=fileproxy\nProxyPort=3128\nConnectType=3\n", std::nullopt, With("", 0)},
        {"host and port", std::nullopt, "host:8080", With("host", 8080)},
        {"blanks around a host without colon", std::nullopt, " host ", With("host", 0)},
        {"per-scheme list is cut at its first colon", std::nullopt, "http=a:1;https=b:2",
         With("http=a", 0)},
        {"credentials and path of a proxy URL dropped", std::nullopt,
         "http://user:pw@proxy.local:3128/path", With("proxy.local", 3128)},
        {"type 7 keeps the file's proxy",
         "[inet]\nProxy=fileproxy\nProxyPort=3128\nConnectType=7\n", "envproxy:1", type7},
        {"UseAuth 2 and type 2 with empty proxy kept", "[inet]\nUseAuth=2\nConnectType=2\n",
         "envproxy:1", auth2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(IniPath().c_str());
        if (c.ini)
            WriteIni(*c.ini);
        ScopedEnvironment proxy("http_proxy", c.httpProxy);
        ConnectionSettings.timeout = 999; // loading must not keep earlier values
        LoadSettings();
        EXPECT_EQ(ConnectionSettings, c.expected);
    }
}

TEST_F(ConnectionSettingsTest, ProxyVariablesInOrder) {
    {
        ScopedEnvironment onlyUpper("HTTP_PROXY", "upper:2");
        EXPECT_EQ(ReadIEProxy().host, "upper");
        ScopedEnvironment emptyLower("http_proxy", "");
        EXPECT_EQ(ReadIEProxy().port, "2");
        ScopedEnvironment lowerToo("http_proxy", "lower:1");
        const TIEProxy proxy = ReadIEProxy();
        EXPECT_TRUE(proxy.opened);
        EXPECT_EQ(proxy.host, "lower");
        EXPECT_EQ(proxy.port, "1");
    }
    const TIEProxy none = ReadIEProxy();
    EXPECT_TRUE(none.opened);
    EXPECT_EQ(none.host, "");
    EXPECT_EQ(none.port, "");
}

TEST_F(ConnectionSettingsTest, SaveWritesTheNineKeysAndKeepsOtherSections) {
    WriteIni("[TMainForm]\nLeft=10\n");
    ConnectionSettings = {45, 3, "Agent/3", "fileproxy", 8080, "joe", "pw", 1, 3};
    SaveSettings();
    EXPECT_EQ(ReadIni(), "[TMainForm]\nLeft=10\n[inet]\ntimeout=45\nRetryConnect=3\n"
                         "UserAgent=Agent/3\nProxy=fileproxy\nProxyPort=8080\nUsername=joe\n"
                         "Password=pw\nUseAuth=1\nConnectType=3\n");

    // Reloading with type 3 takes the browser's proxy while the file keeps the saved one.
    ScopedEnvironment proxy("http_proxy", "envproxy:1");
    LoadSettings();
    EXPECT_EQ(ConnectionSettings,
              (TConnectionSettings{45, 3, "Agent/3", "envproxy", 1, "joe", "pw", 1, 3}));
    EXPECT_EQ(ProgramSettingsFile().ReadString("inet", "Proxy", ""), "fileproxy");
}

TEST_F(ConnectionSettingsTest, UnwritableFileRaisesAndKeepsTheRecord) {
    const std::string plainFile = dir.path().toStdString() + "/not-a-folder";
    std::ofstream(plainFile) << "x";
    // Neither the program folder nor the user data folder, where its user files then go.
    const ScopedEnvironment data("XDG_DATA_HOME", plainFile);
    SetProgramFolder(plainFile);
    ConnectionSettings.timeout = 45;
    try {
        SaveSettings();
        FAIL() << "the save succeeded";
    } catch (const ProfileWriteError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Unable to write to " + plainFile + "/Quorvia/set.ini");
    }
    EXPECT_EQ(ConnectionSettings.timeout, 45);
}

// An absent "UserAgent" takes the first line of "ua.lst"; a stored one, even the old browser
// text or nothing at all, is kept as the user left it.
TEST_F(ConnectionSettingsTest, UserAgentDefaultsToTheListsFirstLine) {
    const std::string oldAgent = "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98)";
    struct Case {
        const char* name;
        std::optional<std::string> uaList; // nothing: no ua.lst
        std::optional<std::string> ini;
        std::string expected;
    };
    const Case cases[] = {
        {"no list, no file", std::nullopt, std::nullopt, FallbackUserAgent},
        {"first line of the list, trimmed", " Agent/A \r\nAgent/B\r\n", std::nullopt, "Agent/A"},
        {"blank first line", "\nAgent/B\n", "[inet]\ntimeout=5\n", FallbackUserAgent},
        {"stored old agent kept", "Agent/A\n", "[inet]\nUserAgent=" + oldAgent + "\n", oldAgent},
        {"stored empty agent kept", "Agent/A\n", "[inet]\nUserAgent=\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(IniPath().c_str());
        std::remove(ShippedFile("ua.lst").c_str());
        if (c.ini)
            WriteIni(*c.ini);
        if (c.uaList)
            std::ofstream(ShippedFile("ua.lst"), std::ios::binary) << *c.uaList;
        LoadSettings();
        EXPECT_EQ(ConnectionSettings.UserAgent, c.expected);
        EXPECT_EQ(ReadIni(), c.ini.value_or("")) << "loading wrote to set.ini";
    }
}

TEST(ShippedUserAgents, FirstLineIsTheFallbackDesktopBrowser) {
    const auto agents = ReadLineList(std::string(QUORVIA_DATA_DIR) + "/ua.lst");
    ASSERT_FALSE(agents.empty());
    EXPECT_EQ(agents.front(), FallbackUserAgent);
    EXPECT_NE(agents.front().find("Windows NT 10.0"), std::string::npos);
    EXPECT_NE(agents.front().find("Chrome/"), std::string::npos);
}
