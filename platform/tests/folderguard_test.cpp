// One program per data folder: the first start takes the folder, a later one asks it to come
// forward instead, and the folder is free again as soon as its holder lets it go.

#include "folderguard.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Outcome = DataFolderGuard::Outcome;

namespace {

class FolderGuard : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(scratch.isValid()); }
    // A folder that is not there yet, as at the very first start.
    std::string Folder() const { return scratch.filePath("data/Fretlyn").toStdString(); }
    static void AnswerRequests() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    QTemporaryDir scratch;
};

TEST_F(FolderGuard, ALaterStartAsksTheHolderToComeForwardAndEveryPathLeadsToIt) {
    DataFolderGuard first;
    ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
    EXPECT_TRUE(fs::is_directory(Folder()));
    EXPECT_EQ(fs::status(Folder()).permissions() & fs::perms::all, fs::perms::owner_all);

    int broughtForward = 0;
    first.OnBringForward([&] { ++broughtForward; });
    DataFolderGuard second;
    EXPECT_EQ(second.Take(Folder()), Outcome::HandedOver);
    AnswerRequests();
    EXPECT_EQ(broughtForward, 1);

    // Another way to the same folder is the same folder.
    const fs::path link = scratch.filePath("link").toStdString();
    fs::create_directory_symlink(Folder(), link);
    DataFolderGuard third;
    EXPECT_EQ(third.Take(link.string() + "/"), Outcome::HandedOver);
    AnswerRequests();
    EXPECT_EQ(broughtForward, 2);

    // Another folder is free.
    DataFolderGuard elsewhere;
    EXPECT_EQ(elsewhere.Take(scratch.filePath("other").toStdString()), Outcome::Taken);
}

// A program asked while it was still starting answers once it can.
TEST_F(FolderGuard, ARequestBeforeTheWindowExistsIsAnsweredWhenItDoes) {
    DataFolderGuard first;
    ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
    DataFolderGuard second;
    EXPECT_EQ(second.Take(Folder()), Outcome::HandedOver);
    AnswerRequests();
    int broughtForward = 0;
    first.OnBringForward([&] { ++broughtForward; });
    EXPECT_EQ(broughtForward, 1);
}

TEST_F(FolderGuard, TheFolderIsFreeOnceItsHolderLetsItGo) {
    DataFolderGuard first;
    ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
    first.Release();
    DataFolderGuard second;
    EXPECT_EQ(second.Take(Folder()), Outcome::Taken);
    DataFolderGuard third;
    EXPECT_EQ(third.Take(Folder()), Outcome::HandedOver);
}

// The lock file held by one that does not listen (yet): a later start waits for it, takes the
// folder when it is let go meanwhile, and otherwise says it is held.
TEST_F(FolderGuard, AHolderThatDoesNotAnswerIsWaitedForThenNamedAsHolding) {
    fs::create_directories(Folder());
    const std::string lockFile = Folder() + "/" + DataFolderGuard::kLockFile;
    const int held = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    DataFolderGuard waiting;
    EXPECT_EQ(waiting.Take(Folder(), 200ms), Outcome::Held);

    std::thread letGo([held] {
        std::this_thread::sleep_for(100ms);
        ::close(held);
    });
    EXPECT_EQ(waiting.Take(Folder(), 10s), Outcome::Taken);
    letGo.join();
}

// Something else in the place of the lock file (a folder, a named pipe, a link to nothing): the
// folder itself is locked instead, so that a damaged lock file never lets a second program work
// on the same database.
TEST_F(FolderGuard, ADamagedLockFileStillKeepsASecondProgramOut) {
    const fs::path lockFile = fs::path(Folder()) / DataFolderGuard::kLockFile;
    const std::pair<const char*, std::function<void()>> damages[] = {
        {"a folder", [&] { fs::create_directory(lockFile); }},
        {"a named pipe", [&] { ASSERT_EQ(::mkfifo(lockFile.c_str(), 0600), 0); }},
        {"a link to nothing",
         [&] { fs::create_symlink(fs::path(Folder()) / "nowhere", lockFile); }},
    };
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        fs::remove_all(Folder());
        fs::create_directories(Folder());
        damage();
        DataFolderGuard first;
        ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
        DataFolderGuard second;
        EXPECT_EQ(second.Take(Folder(), 200ms), Outcome::HandedOver);
        first.Release();
        EXPECT_EQ(second.Take(Folder()), Outcome::Taken);
    }
}

// The folder cannot be made: the start goes on, and the step that needs it says why.
TEST_F(FolderGuard, AFolderThatCannotBeMadeLeavesTheStartUnguarded) {
    const fs::path file = scratch.filePath("a-file").toStdString();
    { std::ofstream(file) << "not a folder"; }
    DataFolderGuard guard;
    EXPECT_EQ(guard.Take((file / "Fretlyn").string()), Outcome::Unguarded);
}

}  // namespace
