// The program started under a limit on the size of a file (ulimit -f), as some systems set one:
// a file it cannot write whole is told as a full disk is, and the program does not end on the
// spot with a half-written file left behind.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Starting a program with the sanitizers on a busy machine takes seconds; this only bounds a
// wait that a sound program ends long before.
constexpr int kPatienceMs = 120000;

TEST(FileSizeLimit, ACopyLargerThanTheLimitIsToldAndTheProgramLives) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString home = scratch.filePath(QStringLiteral("home"));
    const QString data = scratch.filePath(QStringLiteral("data"));
    ASSERT_TRUE(QDir().mkpath(home));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FRETLYN_DATA_DIR"), data);
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    program.setProcessEnvironment(env);
    // The shipped database is some megabytes: its first copy goes past the limit.
    program.setChildProcessModifier([] {
        const rlimit limit{1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    program.start(QStringLiteral(FRETLYN_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(kPatienceMs)) << program.errorString().toStdString();

    // The error is written out as its message is shown; the message then waits for the user.
    const QString told = QStringLiteral("would be larger than this system lets a file be");
    QString said;
    QElapsedTimer waited;
    waited.start();
    while (!said.contains(told) && program.state() != QProcess::NotRunning &&
           waited.elapsed() < kPatienceMs) {
        program.waitForReadyRead(200);
        said += QString::fromUtf8(program.readAllStandardError());
    }
    said += QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE(said.contains(told)) << said.toStdString();
    EXPECT_FALSE(program.state() == QProcess::NotRunning &&
                 program.exitStatus() == QProcess::CrashExit)
        << "ended by signal; said: " << said.toStdString();
    program.kill();
    program.waitForFinished(kPatienceMs);
    // Nothing half-written stays behind.
    const QStringList left =
        QDir(data).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, QStringList{QStringLiteral("running.lock")}) << left.join(' ').toStdString();
}

}  // namespace
