// One program per data folder: the first start takes the folder, a later one asks it to come
// forward instead, and the folder is free again as soon as its holder lets it go.

#include "folderguard.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Outcome = DataFolderGuard::Outcome;

namespace {

// The user `nobody`, whom a test run as root becomes in a child to be another user.
constexpr uid_t kOtherUser = 65534;

class FolderGuard : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.isValid());
        // The session's runtime folder, where the sockets are, is the test's own.
        const std::string runtime = scratch.filePath("run").toStdString();
        ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
        if (const char* before = std::getenv("XDG_RUNTIME_DIR")) runtimeBefore = before;
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    void TearDown() override {
        if (runtimeBefore.empty())
            ::unsetenv("XDG_RUNTIME_DIR");
        else
            ::setenv("XDG_RUNTIME_DIR", runtimeBefore.c_str(), 1);
        for (const pid_t child : children) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
    }
    // A folder that is not there yet, as at the very first start.
    std::string Folder() const { return scratch.filePath("data/Fretlyn").toStdString(); }
    std::string LockFile() const { return Folder() + "/" + DataFolderGuard::kLockFile; }
    static void AnswerRequests() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    // A later start, as another program makes it: the holder answers from its event loop
    // meanwhile. Only for a start that does not take the folder.
    static Outcome TakeWhileAnswering(DataFolderGuard& later, const std::string& folder,
                                      std::chrono::milliseconds wait = 5s) {
        auto taking = std::async(std::launch::async, [&] { return later.Take(folder, wait); });
        while (taking.wait_for(5ms) != std::future_status::ready) QCoreApplication::processEvents();
        return taking.get();
    }
    // A child process that does `asRoot`, becomes another user and does `asOther`; it ends with
    // what that returns, or stays until the test ends when it is negative. Returns once the
    // child has done it, answering requests meanwhile.
    void AsAnotherUser(const std::function<void()>& asRoot, const std::function<int()>& asOther) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            asRoot();
            if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0) ::_exit(100);
            const int status = asOther();
            const char byte = 1;
            if (::write(ready[1], &byte, 1) != 1) ::_exit(101);
            if (status >= 0) ::_exit(status);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        children.push_back(child);
        // What the child does may wait on the answer of a holder in this process.
        pollfd readiness{ready[0], POLLIN, 0};
        while (::poll(&readiness, 1, 5) == 0) QCoreApplication::processEvents();
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the other user's child did not get ready";
        ::close(ready[0]);
    }
    // Waits for the last child to end, answering requests meanwhile; returns its exit code.
    int ChildEnds() {
        const pid_t child = children.back();
        int status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(5ms);
        }
        children.pop_back();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    QTemporaryDir scratch;
    std::string runtimeBefore;
    std::vector<pid_t> children;
};

sockaddr_un AddressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), std::min(path.size(), sizeof address.sun_path - 1));
    return address;
}

TEST_F(FolderGuard, ALaterStartAsksTheHolderToComeForwardAndEveryPathLeadsToIt) {
    DataFolderGuard first;
    ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
    EXPECT_TRUE(fs::is_directory(Folder()));
    EXPECT_EQ(fs::status(Folder()).permissions() & fs::perms::all, fs::perms::owner_all);

    int broughtForward = 0;
    first.OnBringForward([&] { ++broughtForward; });
    DataFolderGuard second;
    EXPECT_EQ(TakeWhileAnswering(second, Folder()), Outcome::HandedOver);
    AnswerRequests();
    EXPECT_EQ(broughtForward, 1);

    // Another way to the same folder is the same folder.
    const fs::path link = scratch.filePath("link").toStdString();
    fs::create_directory_symlink(Folder(), link);
    DataFolderGuard third;
    EXPECT_EQ(TakeWhileAnswering(third, link.string() + "/"), Outcome::HandedOver);
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
    EXPECT_EQ(TakeWhileAnswering(second, Folder()), Outcome::HandedOver);
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
    EXPECT_EQ(TakeWhileAnswering(third, Folder()), Outcome::HandedOver);
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
        EXPECT_EQ(TakeWhileAnswering(second, Folder()), Outcome::HandedOver);
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

// Deleted while the program runs, the lock file takes no guard away with it.
TEST_F(FolderGuard, ADeletedLockFileStillKeepsASecondProgramOut) {
    DataFolderGuard first;
    ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
    ASSERT_TRUE(fs::remove(LockFile()));
    DataFolderGuard second;
    EXPECT_EQ(TakeWhileAnswering(second, Folder()), Outcome::HandedOver);
    // Another start in its turn makes a lock file afresh: the folder is still held.
    EXPECT_TRUE(fs::exists(LockFile()));
    DataFolderGuard third;
    EXPECT_EQ(TakeWhileAnswering(third, Folder()), Outcome::HandedOver);
}

// A holder that does not answer (stopped, or busy): every start ends in time, however many
// come, and says that the holder could not be brought forward.
TEST_F(FolderGuard, AHolderThatDoesNotAnswerKeepsNoStartWaiting) {
    DataFolderGuard first;
    ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
    int broughtForward = 0;
    first.OnBringForward([&] { ++broughtForward; });
    for (int start = 1; start <= 12; ++start) {
        SCOPED_TRACE(start);
        DataFolderGuard later;
        const auto began = std::chrono::steady_clock::now();
        EXPECT_EQ(later.Take(Folder(), 300ms), Outcome::Held);
        EXPECT_LT(std::chrono::steady_clock::now() - began, 5s);
    }
    // Answering again, it answers what is asked from then on.
    AnswerRequests();
    broughtForward = 0;
    DataFolderGuard answered;
    EXPECT_EQ(TakeWhileAnswering(answered, Folder()), Outcome::HandedOver);
    EXPECT_EQ(broughtForward, 1);
}

// Two starts of one user that see different runtime folders (one from the desktop, one from a
// terminal without the desktop's settings) still meet: the later start also asks in the other
// places a holder of the user's listens in.
TEST_F(FolderGuard, AStartFromAnotherSessionOfTheUserFindsTheHolder) {
    ::unsetenv("XDG_RUNTIME_DIR");
    DataFolderGuard first;
    ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
    ASSERT_FALSE(first.Socket().empty());
    EXPECT_NE(fs::path(first.Socket()).parent_path(), scratch.filePath("run").toStdString());
    int broughtForward = 0;
    first.OnBringForward([&] { ++broughtForward; });

    ::setenv("XDG_RUNTIME_DIR", scratch.filePath("run").toStdString().c_str(), 1);
    DataFolderGuard second;
    EXPECT_EQ(TakeWhileAnswering(second, Folder()), Outcome::HandedOver);
    AnswerRequests();
    EXPECT_EQ(broughtForward, 1);
}

// The socket is in the user's runtime folder, for the user alone, and only a start of the
// holder's own user is answered.
TEST_F(FolderGuard, AStartOfAnotherUserIsNotAnswered) {
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
    EXPECT_TRUE(PeerIsUser(ends[0], ::geteuid()));
    EXPECT_FALSE(PeerIsUser(ends[0], ::geteuid() + 1));
    ::close(ends[0]);
    ::close(ends[1]);
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    EXPECT_FALSE(PeerIsUser(pipeEnds[0], ::geteuid())) << "a pipe has no peer to ask";
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);

    {
        // A holder that runs for another user: this user's start is not its own.
        DataFolderGuard first(::geteuid() + 1);
        ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
        const fs::path socket = first.Socket();
        EXPECT_EQ(socket.parent_path(), scratch.filePath("run").toStdString());
        int broughtForward = 0;
        first.OnBringForward([&] { ++broughtForward; });
        DataFolderGuard second;
        EXPECT_EQ(TakeWhileAnswering(second, Folder(), 500ms), Outcome::Held);
        AnswerRequests();
        EXPECT_EQ(broughtForward, 0);
    }
    EXPECT_TRUE(fs::is_empty(scratch.filePath("run").toStdString())) << "the socket is left";

    if (::geteuid() != 0) GTEST_SKIP() << "another user's connection needs root to be made";
    DataFolderGuard first;
    ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
    int broughtForward = 0;
    first.OnBringForward([&] { ++broughtForward; });
    // Opened up, as an abstract socket is to every user: the holder still answers none but
    // its own user.
    for (const QString& folder : {scratch.path(), scratch.filePath("run")})
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0711), 0);
    // The test program's own temporary home, above the scratch folder, is closed to others too.
    for (fs::path above = fs::path(scratch.path().toStdString()).parent_path();
         above.has_relative_path(); above = above.parent_path()) {
        struct stat folder {};
        if (::stat(above.c_str(), &folder) != 0 || (folder.st_mode & S_IXOTH)) break;
        ASSERT_EQ(::chmod(above.c_str(), (folder.st_mode & 07777) | S_IXOTH), 0) << above;
    }
    ASSERT_EQ(::chmod(first.Socket().c_str(), 0777), 0);
    const sockaddr_un address = AddressOf(first.Socket());
    AsAnotherUser(
        [] {},
        [&address] {
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
                return 2;
            pollfd answer{s, POLLIN, 0};
            char byte = 0;
            // Ends 1 when answered, 0 when not.
            return ::poll(&answer, 1, 10000) == 1 && ::recv(s, &byte, 1, 0) == 1 ? 1 : 0;
        });
    EXPECT_EQ(ChildEnds(), 0);
    EXPECT_EQ(broughtForward, 0);
}

// Another user holds the folder's lock (a data folder in a shared place): the start ends,
// naming the lock and the user.
TEST_F(FolderGuard, ALockHeldByAnotherUserIsNamed) {
    {
        DataFolderGuard first;
        ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
        DataFolderGuard other(::geteuid() + 1);
        const auto began = std::chrono::steady_clock::now();
        EXPECT_EQ(other.Take(Folder()), Outcome::HeldByAnotherUser);
        EXPECT_LT(std::chrono::steady_clock::now() - began, 4s) << "waited for another user";
        EXPECT_EQ(other.InTheWay().kind, DataFolderGuard::Obstacle::Kind::Lock);
        EXPECT_EQ(other.InTheWay().path, Folder());
        EXPECT_EQ(other.InTheWay().user, ::geteuid());
    }

    if (::geteuid() != 0) GTEST_SKIP() << "another user's lock needs root to be made";
    // Only the lock file, as an earlier version of the program, or a user who can read the
    // folder, holds it.
    const std::string lockFile = LockFile();
    AsAnotherUser(
        [&lockFile] {
            const int fd = ::open(lockFile.c_str(), O_RDONLY);
            if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) ::_exit(2);
        },
        [] { return -1; });
    DataFolderGuard guard;
    EXPECT_EQ(guard.Take(Folder()), Outcome::HeldByAnotherUser);
    EXPECT_EQ(guard.InTheWay().kind, DataFolderGuard::Obstacle::Kind::Lock);
    EXPECT_EQ(guard.InTheWay().path, lockFile);
    EXPECT_EQ(guard.InTheWay().user, kOtherUser);
}

// Another user in the socket's place: a start is not kept from running, and a later start says
// who is in the way instead of saying that the window comes forward.
TEST_F(FolderGuard, ASocketHeldByAnotherUserIsNamed) {
    std::string socket;
    {
        DataFolderGuard first;
        ASSERT_EQ(first.Take(Folder()), Outcome::Taken);
        socket = first.Socket();
        ASSERT_FALSE(socket.empty());
    }
    ASSERT_FALSE(fs::exists(socket));
    {
        // Something of this user's in the place of the socket of a program that runs for
        // another.
        { std::ofstream(socket) << "not a socket"; }
        DataFolderGuard first(::geteuid() + 1);
        EXPECT_EQ(first.Take(Folder()), Outcome::Taken);
        EXPECT_EQ(first.InTheWay().kind, DataFolderGuard::Obstacle::Kind::Socket);
        EXPECT_EQ(first.InTheWay().path, socket);
        EXPECT_EQ(first.InTheWay().user, ::geteuid());
        EXPECT_TRUE(first.Socket().empty());
        fs::remove(socket);
    }

    if (::geteuid() != 0) GTEST_SKIP() << "another user's socket needs root to be made";
    // A listener of another user at the socket's name, while a program of this user holds the
    // folder: a start does not talk to it.
    const int held = ::open(Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const sockaddr_un address = AddressOf(socket);
    int listener = -1;
    AsAnotherUser(
        [&] {
            ::close(held);  // the lock stays with this process, not with the child
            listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
                ::_exit(2);
        },
        [&] { return ::listen(listener, 8) == 0 ? -1 : 3; });
    DataFolderGuard later;
    EXPECT_EQ(later.Take(Folder(), 2s), Outcome::HeldByAnotherUser);
    EXPECT_EQ(later.InTheWay().kind, DataFolderGuard::Obstacle::Kind::Socket);
    EXPECT_EQ(later.InTheWay().path, socket);
    EXPECT_EQ(later.InTheWay().user, kOtherUser);

    // The other user's socket in the place: the program that takes the folder says so.
    ::close(held);
    ASSERT_EQ(::chown(socket.c_str(), kOtherUser, kOtherUser), 0);
    DataFolderGuard first;
    EXPECT_EQ(first.Take(Folder()), Outcome::Taken);
    EXPECT_EQ(first.InTheWay().kind, DataFolderGuard::Obstacle::Kind::Socket);
    EXPECT_EQ(first.InTheWay().user, kOtherUser);
    EXPECT_TRUE(fs::exists(socket)) << "another user's socket is not this program's to remove";
}

}  // namespace
