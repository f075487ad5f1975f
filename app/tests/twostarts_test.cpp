// The program started twice on one data folder, as a double click too many does it: one program
// runs and works on one copy of the database; the other start brings it forward and ends. A
// program killed outright leaves nothing that keeps the next start from running.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "folderguard.h"

namespace {

// Starting a program with the sanitizers on a busy machine takes seconds; these only bound a
// wait that a sound program ends long before.
constexpr int kPatienceMs = 120000;

class TwoStarts : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.isValid());
        ASSERT_TRUE(QDir().mkpath(Home()));
    }
    void TearDown() override {
        for (auto& program : programs)
            if (program->state() != QProcess::NotRunning) {
                program->kill();
                program->waitForFinished(kPatienceMs);
            }
    }
    QString Home() const { return scratch.filePath(QStringLiteral("home")); }
    QString DataFolder() const { return scratch.filePath(QStringLiteral("data")); }

    // The program on the test's own data folder, in a home of its own, so that nothing it
    // writes lands in the user's.
    QProcess& Start() {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FRETLYN_DATA_DIR"), DataFolder());
        env.insert(QStringLiteral("HOME"), Home());
        env.insert(QStringLiteral("XDG_DATA_HOME"), Home() + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Home() + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), Home() + QStringLiteral("/.cache"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        program->setProcessEnvironment(env);
        program->start(QStringLiteral(FRETLYN_PROGRAM), {});
        EXPECT_TRUE(program->waitForStarted(kPatienceMs)) << program->errorString().toStdString();
        programs.push_back(std::move(program));
        return *programs.back();
    }

    // Waits until one of the programs has ended; returns it, or null when none did.
    QProcess* FirstToEnd(const std::vector<QProcess*>& among) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kPatienceMs)
            for (QProcess* program : among)
                if (program->state() == QProcess::NotRunning || program->waitForFinished(50))
                    return program;
        return nullptr;
    }

    // Whether a program holds the data folder now. The look takes the lock for an instant when
    // it is free; a program starting at that instant looks again.
    bool FolderHeld() const {
        const QByteArray path =
            QFile::encodeName(DataFolder() + QLatin1Char('/') + DataFolderGuard::kLockFile);
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        ::close(fd);
        return held;
    }
    bool WaitUntilHeld() const {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kPatienceMs) {
            if (FolderHeld()) return true;
            QThread::msleep(50);
        }
        return false;
    }

    // Waits until the copy in use is set up and named.
    bool WaitForCopyInUse() const {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kPatienceMs) {
            if (QFileInfo::exists(DataFolder() + QStringLiteral("/current"))) return true;
            QThread::msleep(50);
        }
        return false;
    }

    // The copies of the tariff database set up in the data folder.
    QStringList Copies() const {
        return QDir(DataFolder()).entryList({QStringLiteral("tariff-*")}, QDir::Dirs);
    }

    // Waits until the program has said `text` on its error output, or has ended, or `deadline`
    // has passed; returns what it said.
    static QString WaitToSay(QProcess& program, const QString& text, const QElapsedTimer& since) {
        QString said;
        while (!said.contains(text) && since.elapsed() < kPatienceMs) {
            const bool ended =
                program.state() == QProcess::NotRunning || program.waitForFinished(50);
            said += QString::fromUtf8(program.readAllStandardError());
            if (ended) break;
        }
        return said;
    }

    // The socket by which the program on the data folder is reached.
    std::filesystem::path Socket() const {
        struct stat st {};
        if (::stat(QFile::encodeName(DataFolder()).constData(), &st) != 0) return {};
        return std::filesystem::path(qgetenv("XDG_RUNTIME_DIR").toStdString()) /
               ("fretlyn-" + std::to_string(st.st_dev) + "-" + std::to_string(st.st_ino));
    }

    // A start that found the folder in use: it ended at once, saying so, without an error.
    void ExpectHandedOver(QProcess& program) {
        ASSERT_EQ(program.state(), QProcess::NotRunning);
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        const QString said = QString::fromUtf8(program.readAllStandardError());
        EXPECT_TRUE(said.contains(QStringLiteral("Fretlyn is already running on the data folder ") +
                                  DataFolder() +
                                  QStringLiteral("; its window is brought forward.")))
            << said.toStdString();
    }

    // The first program, up and answering later starts from its event loop.
    QProcess& StartAnswering() {
        QProcess& first = Start();
        EXPECT_TRUE(WaitUntilHeld());
        EXPECT_TRUE(WaitForCopyInUse());
        QProcess& second = Start();
        EXPECT_EQ(FirstToEnd({&first, &second}), &second);
        ExpectHandedOver(second);
        return first;
    }

    QTemporaryDir scratch;
    std::vector<std::unique_ptr<QProcess>> programs;
};

TEST_F(TwoStarts, TwoFirstStartsAtOnceGiveOneProgramOnOneCopy) {
    QProcess& a = Start();
    QProcess& b = Start();
    QProcess* ended = FirstToEnd({&a, &b});
    ASSERT_NE(ended, nullptr) << "both programs kept running on one data folder";
    QProcess& running = ended == &a ? b : a;
    ExpectHandedOver(*ended);
    EXPECT_EQ(running.state(), QProcess::Running);
    EXPECT_TRUE(FolderHeld());
    ASSERT_TRUE(WaitForCopyInUse());
    EXPECT_EQ(Copies().size(), 1) << Copies().join(QLatin1Char(' ')).toStdString();
}

TEST_F(TwoStarts, ALaterStartEndsAndAKilledProgramLeavesNoLockBehind) {
    QProcess& first = Start();
    ASSERT_TRUE(WaitUntilHeld());
    ASSERT_TRUE(WaitForCopyInUse());
    QProcess& second = Start();
    ASSERT_EQ(FirstToEnd({&first, &second}), &second);
    ExpectHandedOver(second);
    EXPECT_EQ(first.state(), QProcess::Running);

    // Killed outright: nothing of its own making cleans up after it.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(kPatienceMs));
    QProcess& third = Start();
    ASSERT_TRUE(WaitUntilHeld());
    QProcess& fourth = Start();
    ASSERT_EQ(FirstToEnd({&third, &fourth}), &fourth);
    ExpectHandedOver(fourth);
    EXPECT_EQ(third.state(), QProcess::Running);
    EXPECT_EQ(Copies().size(), 1) << Copies().join(QLatin1Char(' ')).toStdString();
}

// The program stopped (SIGSTOP) while starts keep coming: none waits for good, each ends saying
// that the window could not be brought forward.
TEST_F(TwoStarts, AStoppedProgramKeepsNoStartWaiting) {
    QProcess& first = StartAnswering();
    ASSERT_EQ(first.state(), QProcess::Running);
    ASSERT_EQ(::kill(static_cast<pid_t>(first.processId()), SIGSTOP), 0);
    std::vector<QProcess*> starts;
    for (int start = 0; start < 12; ++start) starts.push_back(&Start());
    const QString couldNot = QStringLiteral("Fretlyn is already running on the data folder ") +
                             DataFolder() +
                             QStringLiteral(", and its window could not be brought forward.");
    QElapsedTimer since;
    since.start();
    for (QProcess* start : starts) {
        const QString said = WaitToSay(*start, couldNot, since);
        EXPECT_TRUE(said.contains(couldNot)) << said.toStdString();
    }
    ASSERT_EQ(::kill(static_cast<pid_t>(first.processId()), SIGCONT), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
}

// A logout ends the session's programs with SIGTERM: the program closes as its user closes it,
// and nothing of it is left behind.
TEST_F(TwoStarts, ALogoutClosesTheProgramAsItsUserWould) {
    QProcess& first = StartAnswering();
    EXPECT_TRUE(std::filesystem::exists(Socket())) << Socket();
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(kPatienceMs));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_FALSE(FolderHeld());
    EXPECT_FALSE(std::filesystem::exists(Socket())) << Socket();
}

// A logout while a question of the start is up (here: set the damaged copy aside?) closes it
// unanswered and ends the program, rather than leaving it for the session to kill; the damaged
// copy is left as it was, to be offered again at the next start.
TEST_F(TwoStarts, ALogoutAtAQuestionOfTheStartEndsTheProgram) {
    QProcess& first = StartAnswering();
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(kPatienceMs));
    const QStringList copies = Copies();
    ASSERT_EQ(copies.size(), 1);
    const std::string copy =
        (DataFolder() + QLatin1Char('/') + copies[0] + QStringLiteral("/x2007.mdb")).toStdString();
    std::filesystem::resize_file(copy, std::filesystem::file_size(copy) / 2);
    const auto damagedSize = std::filesystem::file_size(copy);

    QProcess& again = Start();
    ASSERT_TRUE(WaitUntilHeld());
    QThread::msleep(2000);  // the question is up, or about to be: either way it closes
    again.terminate();
    ASSERT_TRUE(again.waitForFinished(30000)) << "the start waits on its question after a logout";
    EXPECT_EQ(again.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(again.exitCode(), 0) << again.readAllStandardError().toStdString();
    EXPECT_EQ(Copies(), copies) << "nothing set aside without an answer";
    EXPECT_EQ(std::filesystem::file_size(copy), damagedSize);
}

// The data folder in a shared place, its lock held by another user: the start ends, naming the
// lock and the user, instead of saying nothing or that a window comes forward.
TEST_F(TwoStarts, AFolderLockedByAnotherUserIsNamed) {
    if (::geteuid() != 0) GTEST_SKIP() << "another user's lock needs root to be made";
    ASSERT_TRUE(QDir().mkpath(DataFolder()));
    const QByteArray lockFile =
        QFile::encodeName(DataFolder() + QLatin1Char('/') + DataFolderGuard::kLockFile);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        const int fd = ::open(lockFile.constData(), O_RDWR | O_CREAT, 0644);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) ::_exit(2);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        const char byte = 1;
        if (::write(ready[1], &byte, 1) != 1) ::_exit(4);
        for (;;) ::pause();
    }
    char byte = 0;
    const bool otherReady = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    ::close(ready[1]);
    QProcess* start = otherReady ? &Start() : nullptr;
    QElapsedTimer since;
    since.start();
    const QString said = start ? WaitToSay(*start,
                                           QStringLiteral("user id 65534).  Fretlyn works on a "
                                                          "data folder for one user at a time."),
                                           since)
                               : QString();
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    ASSERT_TRUE(otherReady);
    EXPECT_TRUE(said.contains(QStringLiteral("Fretlyn cannot start on the data folder ") +
                              DataFolder() + QStringLiteral(": the lock on ") +
                              QString::fromLocal8Bit(lockFile) +
                              QStringLiteral(" is held by another user, ")))
        << said.toStdString();
    EXPECT_LT(since.elapsed(), 60000) << "waited on another user's program";
}

}  // namespace
