// The real program in a temporary program folder: one instance at a time.

#include <gtest/gtest.h>

#include "support/QtTestApp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

QString BuiltProgram(const char* file) {
    return QString::fromUtf8(QUORVIA_TEST_PROGRAM_DIR) + QLatin1Char('/') + QLatin1String(file);
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
