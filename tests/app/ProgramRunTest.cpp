// The real program in a temporary program folder: one instance at a time, and a whole scan
// under an X server of the test's own, driven by mouse and keyboard like a user would.

#include <gtest/gtest.h>

#include "AppTestSupport.h"

#include "store/Tables.h"

#include "support/FakeEngine.h"
#include "support/QtTestApp.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

QString BuiltProgram(const char* file) {
    return QString::fromUtf8(QUORVIA_TEST_PROGRAM_DIR) + QLatin1Char('/') + QLatin1String(file);
}

// An Xvfb server on the first free display number, ended with the test.
class TVirtualDisplay {
public:
    TVirtualDisplay() {
        for (int number = 90; number < 190; ++number) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            name_ = QStringLiteral(":%1").arg(number);
            server_.start(QStringLiteral("Xvfb"),
                          {name_, QStringLiteral("-screen"), QStringLiteral("0"),
                           QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                           QStringLiteral("tcp")});
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
            // A server that lost the race for this number ends at once; another's socket
            // must not pass for ours.
            if (server_.waitForStarted() &&
                quorvia::testing::PumpUntil([&] { return QFileInfo::exists(socket); }, 10000) &&
                !server_.waitForFinished(200))
                return;
            server_.kill();
            server_.waitForFinished();
        }
        name_.clear();
    }
    ~TVirtualDisplay() {
        server_.terminate();
        server_.waitForFinished();
    }
    const QString& Name() const { return name_; }

private:
    QString name_;
    QProcess server_;
};

// The environment of the program started on the virtual display, with its own runtime folder
// (the single-instance lock lives there).
QProcessEnvironment DisplayEnvironment(const QString& display, const QTemporaryDir& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    return env;
}

// Runs xdotool on the display while the fake engine keeps being served; its output, trimmed.
QString XDoTool(const QString& display, const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), arguments);
    quorvia::testing::PumpUntil([&] { return tool.state() == QProcess::NotRunning; }, 20000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

} // namespace

TEST(ProgramRun, ASecondStartEndsAtOnceAndLeavesTheFirstRunning) {
    quorvia::testing::EnsureCoreApplication();
    QTemporaryDir folder;
    QTemporaryDir runtime;
    for (const char* file : {"quorvia", "SE.cds"})
        ASSERT_TRUE(QFile::copy(BuiltProgram(file), folder.filePath(QLatin1String(file))));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString program = folder.filePath(QStringLiteral("quorvia"));

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program);
    ASSERT_TRUE(first.waitForStarted());
    // The lock is taken before the window exists; the window creates "Cache".
    QElapsedTimer clock;
    clock.start();
    while (!QDir(folder.filePath(QStringLiteral("Cache"))).exists() && clock.elapsed() < 20000)
        QThread::msleep(10);
    ASSERT_TRUE(QDir(folder.filePath(QStringLiteral("Cache"))).exists());

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished();
}

TEST(ProgramRun, AScanInTheRealWindowEndsWithItsRankingsInTheFileAfterClosing) {
    quorvia::testing::TProgramFolderFixture folder;
    quorvia::testing::TFakeEngine server;
    server.SetFallback(quorvia::testing::TFakeReply::Page(quorvia::testing::ResultPage(
        {"http://r1.other.test/", "http://r2.other.test/", "http://www.site.example/shoes"})));
    folder.WriteEngines({"Alpha", "Beta"}, server.Origin());
    folder.WriteFile("set.ini", "[inet]\nConnectType=1\ntimeout=5\n"
                                "[TMainForm]\nSEs=Beta\nWebSite=site.example\n");
    folder.WriteSite("site.example", {"red shoes"});
    const QString program = QString::fromStdString(folder.Path("quorvia"));
    ASSERT_TRUE(QFile::copy(BuiltProgram("quorvia"), program));

    TVirtualDisplay display;
    ASSERT_FALSE(display.Name().isEmpty()) << "no Xvfb server could be started";
    QTemporaryDir runtime;
    QProcessEnvironment env = DisplayEnvironment(display.Name(), runtime);
    QProcess quorvia;
    quorvia.setProcessEnvironment(env);
    quorvia.start(program);
    ASSERT_TRUE(quorvia.waitForStarted());

    const QString window =
        XDoTool(display.Name(), {QStringLiteral("search"), QStringLiteral("--sync"),
                                 QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                 QStringLiteral("Quorvia by Halvex")})
            .section(QLatin1Char('\n'), 0, 0);
    ASSERT_FALSE(window.isEmpty());
    // The middle of "Check My Rankings": the input strip starts 83 pixels down, under the menu
    // bar and the banner strip, and the button sits at 580,47 in it, 153 x 35.
    XDoTool(display.Name(),
            {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("656"),
             QStringLiteral("147"), QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(quorvia::testing::PumpUntil([&] { return server.RequestCount() == 1; }, 20000));
    EXPECT_EQ(server.Requests()[0].Target, "/search?q=red+shoes");
    // Let the walk record its find and the closing clip end, then leave by File, Exit.
    quorvia::testing::PumpUntil([] { return false; }, 2000);
    XDoTool(display.Name(), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    XDoTool(display.Name(), {QStringLiteral("key"), QStringLiteral("alt+f")});
    quorvia::testing::PumpUntil([] { return false; }, 300);
    XDoTool(display.Name(), {QStringLiteral("key"), QStringLiteral("x")});
    ASSERT_TRUE(quorvia::testing::PumpUntil([&] { return quorvia.state() == QProcess::NotRunning; },
                                            20000));
    EXPECT_EQ(quorvia.exitCode(), 0);
    EXPECT_EQ(server.RequestCount(), 1u);

    // The rankings are a detail of the sites: load both so the site's rows show.
    quorvia::TTables stored;
    stored.WebSiteClientDataSet.LoadFromFile(folder.Path("WebSite.cds"));
    stored.SECacheClientDataSet.LoadFromFile(folder.Path("SECache.cds"));
    quorvia::TClientDataSet& rankings = stored.SECacheClientDataSet;
    ASSERT_EQ(rankings.RecordCount(), 1);
    rankings.First();
    EXPECT_EQ(rankings.FieldByName("SENAME").AsString(), "Beta");
    EXPECT_EQ(rankings.FieldByName("Keyword").AsString(), "red shoes");
    EXPECT_EQ(rankings.FieldByName("url").AsString(), "http://www.site.example/shoes");
    EXPECT_EQ(rankings.FieldByName("Position").AsInteger(), 3);
}

namespace {

// Runs a program to its end; its exit code, or -1 when it could not run. Output in output.
int RunToEnd(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitCode();
}

QStringList FilesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

TEST(ProgramRun, InstalledTheProgramReadsShareAndKeepsTheUsersFilesInTheUserDataFolder) {
    quorvia::testing::EnsureCoreApplication();
    QTemporaryDir prefix;
    QString output;
    ASSERT_EQ(RunToEnd(QStringLiteral(QUORVIA_TEST_CMAKE),
                       {QStringLiteral("--install"), QStringLiteral(QUORVIA_TEST_BUILD_DIR),
                        QStringLiteral("--prefix"), prefix.path()},
                       &output),
              0)
        << output.toStdString();
    const QStringList installed = FilesUnder(prefix.path());
    for (const char* file :
         {"bin/quorvia", "share/quorvia/SE.cds", "share/quorvia/IntSe.lst",
          "share/quorvia/badhtml.lst", "share/quorvia/ua.lst", "share/quorvia/help.chm",
          "share/quorvia/help/toc.hhc", "share/quorvia/help/index.html",
          "share/quorvia/distribution.txt", "share/quorvia/license.txt",
          "share/doc/quorvia/copyright", "share/applications/example.halvex.Quorvia.desktop",
          "share/metainfo/example.halvex.Quorvia.metainfo.xml",
          "share/icons/hicolor/48x48/apps/quorvia.png",
          "share/icons/hicolor/256x256/apps/quorvia.png",
          "share/icons/hicolor/scalable/apps/quorvia.svg"})
        EXPECT_TRUE(installed.contains(QLatin1String(file))) << file;
    EXPECT_EQ(QImage(prefix.filePath(QStringLiteral("share/icons/hicolor/48x48/apps/quorvia.png")))
                  .size(),
              QSize(48, 48));
    EXPECT_EQ(
        QImage(prefix.filePath(QStringLiteral("share/icons/hicolor/256x256/apps/quorvia.png")))
            .size(),
        QSize(256, 256));
    EXPECT_EQ(RunToEnd(QStringLiteral("desktop-file-validate"),
                       {prefix.filePath(
                           QStringLiteral("share/applications/example.halvex.Quorvia.desktop"))},
                       &output),
              0)
        << output.toStdString();
    EXPECT_TRUE(output.trimmed().isEmpty()) << output.toStdString();
    EXPECT_EQ(RunToEnd(QStringLiteral("appstreamcli"),
                       {QStringLiteral("validate"), QStringLiteral("--no-net"),
                        prefix.filePath(
                            QStringLiteral("share/metainfo/example.halvex.Quorvia.metainfo.xml"))},
                       &output),
              0)
        << output.toStdString();

    // Started from there under an X server, as from the desktop's menu.
    TVirtualDisplay display;
    ASSERT_FALSE(display.Name().isEmpty()) << "no Xvfb server could be started";
    QTemporaryDir data;
    QTemporaryDir runtime;
    QProcessEnvironment env = DisplayEnvironment(display.Name(), runtime);
    env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    QProcess quorvia;
    quorvia.setProcessEnvironment(env);
    quorvia.start(prefix.filePath(QStringLiteral("bin/quorvia")));
    ASSERT_TRUE(quorvia.waitForStarted());
    const QString userFolder = data.filePath(QStringLiteral("Quorvia"));
    ASSERT_TRUE(quorvia::testing::PumpUntil(
        [&] { return QFileInfo(userFolder + QStringLiteral("/Cache")).isDir(); }, 20000));
    const QString window =
        XDoTool(display.Name(), {QStringLiteral("search"), QStringLiteral("--sync"),
                                 QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                 QStringLiteral("Quorvia by Halvex")})
            .section(QLatin1Char('\n'), 0, 0);
    ASSERT_FALSE(window.isEmpty());
    // The shipped engines were read from share/quorvia: a first run that works.
    XDoTool(display.Name(), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    XDoTool(display.Name(), {QStringLiteral("key"), QStringLiteral("alt+f")});
    quorvia::testing::PumpUntil([] { return false; }, 300);
    XDoTool(display.Name(), {QStringLiteral("key"), QStringLiteral("x")});
    ASSERT_TRUE(quorvia::testing::PumpUntil([&] { return quorvia.state() == QProcess::NotRunning; },
                                            20000));
    EXPECT_EQ(quorvia.exitCode(), 0);
    EXPECT_EQ(quorvia.readAllStandardError().trimmed(), QByteArray());

    EXPECT_EQ(FilesUnder(userFolder),
              (QStringList{QStringLiteral("History.db"), QStringLiteral("SECache.cds"),
                           QStringLiteral("WebSite.cds"), QStringLiteral("Word.cds"),
                           QStringLiteral("set.ini")}));
    EXPECT_EQ(FilesUnder(prefix.path()), installed) << "nothing written beside the program";
}

TEST(ProgramRun, WindowTitlesAreTheirCaptionsAloneUnderTheWindowSystem) {
    quorvia::testing::TProgramFolderFixture folder;
    folder.WriteEngines({"Alpha"});
    const QString program = QString::fromStdString(folder.Path("quorvia"));
    ASSERT_TRUE(QFile::copy(BuiltProgram("quorvia"), program));

    TVirtualDisplay display;
    ASSERT_FALSE(display.Name().isEmpty()) << "no Xvfb server could be started";
    QTemporaryDir runtime;
    QProcessEnvironment env = DisplayEnvironment(display.Name(), runtime);
    QProcess quorvia;
    quorvia.setProcessEnvironment(env);
    quorvia.start(program);
    ASSERT_TRUE(quorvia.waitForStarted());

    // The names the window system holds, matched whole.
    auto windowNamed = [&](const char* title) {
        QString found;
        quorvia::testing::PumpUntil(
            [&] {
                found = XDoTool(display.Name(),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"),
                                 QStringLiteral("^%1$").arg(QString::fromUtf8(title))})
                            .section(QLatin1Char('\n'), 0, 0);
                return !found.isEmpty();
            },
            10000);
        return found;
    };
    const QString window = windowNamed("Quorvia by Halvex");
    ASSERT_FALSE(window.isEmpty());
    XDoTool(display.Name(), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    XDoTool(display.Name(), {QStringLiteral("key"), QStringLiteral("alt+f")});
    quorvia::testing::PumpUntil([] { return false; }, 300);
    XDoTool(display.Name(), {QStringLiteral("key"), QStringLiteral("t")}); // "Se&ttings..."
    const QString settings = windowNamed("Settings");
    EXPECT_FALSE(settings.isEmpty()) << "no window titled exactly \"Settings\"";
    if (!settings.isEmpty())
        XDoTool(display.Name(), {QStringLiteral("key"), QStringLiteral("--window"), settings,
                                 QStringLiteral("Escape")});
    quorvia.terminate();
    if (!quorvia.waitForFinished(10000))
        quorvia.kill();
}
