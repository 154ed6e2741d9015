// The real quorvia-cli in temporary program folders against loopback engines: what a check
// leaves in the table files, what list shows, the exit codes, the lock it shares with the
// window, and a stop while a request waits.

#include "platform/Text.h"
#include "store/Tables.h"

#include "support/FakeEngine.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

QString BuiltProgram(const char* file) {
    return QString::fromUtf8(QUORVIA_TEST_PROGRAM_DIR) + QLatin1Char('/') + QLatin1String(file);
}

struct TRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliProgram : public TWithCoreApplication, public ::testing::Test {
protected:
    CliProgram() {
        EXPECT_TRUE(QFile::copy(BuiltProgram("quorvia-cli"), Tool()));
        WriteFile("set.ini",
                  "[inet]\nConnectType=1\ntimeout=5\n"
                  "[TMainForm]\nSEs=Alpha,Beta\nWebSite=b.example\n"
                  "TBXRadioButton1_Checked=True\nScanForFirstTBXCheckBox_Checked=False\n");
    }

    std::string Path(const std::string& file) const {
        return folder.filePath(QString::fromStdString(file)).toStdString();
    }
    QString Tool() const { return folder.filePath(QStringLiteral("quorvia-cli")); }
    void WriteFile(const std::string& file, const std::string& bytes) const {
        std::ofstream(Path(file), std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string ReadFile(const std::string& file) const {
        std::ifstream in(Path(file), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static std::string QueryPath(const std::string& engine) {
        return "/" + LowerAscii(engine) + "/search";
    }
    void WriteEngines(const std::vector<std::string>& names) const {
        TTables tables;
        TClientDataSet& engines = tables.SE_ClientDataSet;
        for (const std::string& name : names) {
            engines.Append();
            engines.FieldByName("SENAME").SetAsString(name);
            engines.FieldByName("MainURL").SetAsString(server.Url("/"));
            engines.FieldByName("SearchURL")
                .SetAsString(ResultPageSearchUrl(server.Origin(), QueryPath(name)));
            engines.FieldByName("SearchMask").SetAsString(kResultPageSearchMask);
            engines.Post();
        }
        SaveDataSet(engines, Path("SE.cds"));
    }
    void WriteSites(const std::vector<std::pair<std::string, std::vector<std::string>>>& sites) {
        TTables user;
        for (const auto& [site, keywords] : sites) {
            user.WebSiteClientDataSet.Append();
            user.WebSiteClientDataSet.FieldByName("SiteName").SetAsString(site);
            user.WebSiteClientDataSet.Post();
            user.WordClientDataSet.Append();
            for (std::size_t i = 0; i < keywords.size(); ++i)
                user.WordClientDataSet.FieldByName("Word" + std::to_string(i + 1))
                    .SetAsString(keywords[i]);
            user.WordClientDataSet.Post();
        }
        SaveDataSet(user.WebSiteClientDataSet, Path("WebSite.cds"));
        SaveDataSet(user.WordClientDataSet, Path("Word.cds"));
    }
    // Every site's ranking records: "site|engine|keyword|url@position/page".
    std::vector<std::string> Rankings() const {
        TClientDataSet rankings("SECache", RankingFields());
        rankings.LoadFromFile(Path("SECache.cds"));
        std::vector<std::string> rows;
        for (rankings.First(); !rankings.Eof(); rankings.Next()) {
            rows.push_back(rankings.FieldByName("SiteName").AsString() + "|" +
                           rankings.FieldByName("SENAME").AsString() + "|" +
                           rankings.FieldByName("Keyword").AsString() + "|" +
                           rankings.FieldByName("url").AsString() + "@" +
                           rankings.FieldByName("Position").AsString() + "/" +
                           rankings.FieldByName("Page").AsString());
        }
        return rows;
    }

    void Start(QProcess& process, const QString& program, const QStringList& arguments) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        ASSERT_TRUE(process.waitForStarted());
    }
    // Runs the tool to its end while the engines are served.
    TRun Run(const QStringList& arguments) const {
        QProcess tool;
        Start(tool, Tool(), arguments);
        EXPECT_TRUE(PumpUntil([&] { return tool.state() == QProcess::NotRunning; }, 60000));
        return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
                tool.readAllStandardOutput().toStdString(),
                tool.readAllStandardError().toStdString()};
    }

    QTemporaryDir folder;
    QTemporaryDir runtime; // the lock's folder, this test's own
    TFakeEngine server;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_F(CliProgram, CheckScansTheRememberedChoicesAndSavesTheRankingsThatListShows) {
    WriteEngines({"Alpha", "Beta", "Gamma"});
    WriteSites({{"a.example", {"x"}}, {"b.example", {"red shoes", "blue"}}});
    server.SetFallback(
        TFakeReply::Page(ResultPage({"http://r1.other.test/", "http://www.b.example/shoes"})));

    const TRun check = Run({QStringLiteral("check")});
    ASSERT_EQ(check.exitCode, 0) << check.err;
    // The remembered site, its two keywords, the two ticked engines, one page each.
    ASSERT_EQ(server.RequestCount(), 4u);
    for (const TFakeRequest& request : server.Requests())
        EXPECT_TRUE(request.Target.rfind("/alpha/", 0) == 0 ||
                    request.Target.rfind("/beta/", 0) == 0)
            << request.Target;
    EXPECT_TRUE(Contains(check.err, "[1/4] b.example | Alpha | blue | 2 (page 1) "
                                    "http://www.b.example/shoes\n"))
        << check.err;
    EXPECT_TRUE(Contains(check.err, "[4/4] b.example | Beta | red shoes | 2 (page 1) "));
    EXPECT_TRUE(Contains(check.err, "4 checked, 0 not checked.\n"));
    EXPECT_EQ(Rankings(), (std::vector<std::string>{
                              "b.example|Alpha|blue|http://www.b.example/shoes@2/1",
                              "b.example|Alpha|red shoes|http://www.b.example/shoes@2/1",
                              "b.example|Beta|blue|http://www.b.example/shoes@2/1",
                              "b.example|Beta|red shoes|http://www.b.example/shoes@2/1"}));

    const TRun list = Run({QStringLiteral("list")});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_TRUE(Contains(list.out, "SITE       KEYWORDS\n"
                                   "a.example  x\n"
                                   "b.example  red shoes, blue\n"))
        << list.out;
    EXPECT_TRUE(Contains(list.out, "ENGINE  TICKED\nAlpha   yes\nBeta    yes\nGamma\n"));
    EXPECT_TRUE(Contains(list.out, "b.example  Beta    red shoes  2         1"));
}

TEST_F(CliProgram, SitesEnginesAndDepthFromTheCommandLine) {
    WriteEngines({"Alpha", "Beta", "Gamma"});
    WriteSites({{"a.example", {"x"}}, {"b.example", {"red shoes"}}});
    server.SetFallback(TFakeReply::Page(ResultPage({"http://r1.other.test/"}, "/gamma/next")));

    const TRun check =
        Run({QStringLiteral("check"), QStringLiteral("--all"), QStringLiteral("--engine"),
             QStringLiteral("gamma"), QStringLiteral("--depth=20")});
    ASSERT_EQ(check.exitCode, 0) << check.err;
    EXPECT_EQ(Rankings(), (std::vector<std::string>{"a.example|Gamma|x|Not in first 20 results@/",
                                                    "b.example|Gamma|red shoes|Not in first 20 "
                                                    "results@/"}));
    // Each pair followed the next-page link: depth 20 at one result a page asks more than one.
    EXPECT_GT(server.RequestCount(), 2u);
    for (const TFakeRequest& request : server.Requests())
        EXPECT_EQ(request.Target.rfind("/gamma/", 0), 0u) << request.Target;
}

TEST_F(CliProgram, ExitCodesTellCheckedFromFailedFromBadUsage) {
    WriteEngines({"Alpha", "Beta"});
    WriteSites({{"b.example", {"red shoes"}}});
    server.SetFallback(TFakeReply::Page(ResultPage({"http://www.b.example/home"})));
    server.Route("/beta/search?q=red+shoes", TFakeReply::Page("busy", 500, "Server Busy"));

    const TRun failed = Run({QStringLiteral("check")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(Contains(failed.err, "[2/2] b.example | Beta | red shoes | not checked\n"
                                     "    Connection error: 500 Server Busy. "))
        << failed.err;
    EXPECT_EQ(Rankings(), (std::vector<std::string>{
                              "b.example|Alpha|red shoes|http://www.b.example/home@1/1"}));

    const std::vector<std::pair<QStringList, std::string>> badUsage = {
        {{QStringLiteral("check"), QStringLiteral("--bogus")},
         "quorvia-cli: check: unknown option '--bogus'\nTry 'quorvia-cli --help'.\n"},
        {{QStringLiteral("check"), QStringLiteral("--site"), QStringLiteral("nowhere")},
         "quorvia-cli: --site 'nowhere': there is no such site\n"},
        {{QStringLiteral("check"), QStringLiteral("--engine"), QStringLiteral("Delta")},
         "quorvia-cli: --engine 'Delta': there is no such search engine\n"},
    };
    for (const auto& [arguments, message] : badUsage) {
        const TRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 2) << message;
        EXPECT_EQ(run.err, message);
    }

    // A table file that cannot be read: nothing is checked and the file stays as it was.
    WriteFile("Word.cds", "not a table");
    const std::size_t requests = server.RequestCount();
    const TRun damaged = Run({QStringLiteral("check")});
    EXPECT_EQ(damaged.exitCode, 2);
    EXPECT_TRUE(Contains(damaged.err, "quorvia-cli: ")) << damaged.err;
    EXPECT_EQ(ReadFile("Word.cds"), "not a table");
    EXPECT_EQ(server.RequestCount(), requests);

    const TRun help = Run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(Contains(help.out, "Usage: quorvia-cli COMMAND [OPTIONS]"));
}

TEST_F(CliProgram, TheToolAndTheWindowRefuseToRunBesideEachOther) {
    WriteEngines({"Alpha", "Beta"});
    WriteSites({{"b.example", {"red shoes"}}});
    ASSERT_TRUE(QFile::copy(BuiltProgram("quorvia"), folder.filePath(QStringLiteral("quorvia"))));

    {
        // The window first: the tool refuses.
        QProcess window;
        Start(window, folder.filePath(QStringLiteral("quorvia")), {});
        ASSERT_TRUE(
            PumpUntil([&] { return QDir(QString::fromStdString(Path("Cache"))).exists(); }, 20000));
        const TRun refused = Run({QStringLiteral("list")});
        EXPECT_EQ(refused.exitCode, 2);
        EXPECT_TRUE(Contains(refused.err, "Quorvia is running; close its window first"))
            << refused.err;
        window.kill();
        window.waitForFinished();
    }

    // A check first, waiting for an engine that does not answer: the window says why it does
    // not open, and a stop ends the check at once with what it has.
    server.SetFallback(TFakeReply::Silence());
    QProcess check;
    Start(check, Tool(), {QStringLiteral("check")});
    ASSERT_TRUE(server.WaitForRequests(1, 20000));
    QProcess window;
    Start(window, folder.filePath(QStringLiteral("quorvia")), {});
    std::string said;
    PumpUntil(
        [&] {
            said += window.readAllStandardError().toStdString();
            return Contains(said, "\n");
        },
        20000);
    EXPECT_EQ(said, "quorvia: A check of your rankings is running (quorvia-cli). Start Quorvia "
                    "again when it has finished.\n");
    window.kill();
    window.waitForFinished();

    check.terminate();
    EXPECT_TRUE(PumpUntil([&] { return check.state() == QProcess::NotRunning; }, 3000));
    EXPECT_EQ(check.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(check.exitCode(), 1);
    const std::string progress = check.readAllStandardError().toStdString();
    EXPECT_TRUE(Contains(progress, "[1/2] b.example | Alpha | red shoes | not checked\n"))
        << progress;
    EXPECT_TRUE(Contains(progress, "0 checked, 1 not checked, stopped.\n"));
    EXPECT_EQ(server.RequestCount(), 1u); // the second pair never started
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("SECache.cds")))); // saved all the same
}
