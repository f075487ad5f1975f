#include "folderguard.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Obstacle = DataFolderGuard::Obstacle;

constexpr auto kLookAgain = std::chrono::milliseconds(25);
// The holder's answer to a request: it is a program of the same user, and comes forward.
constexpr char kComing = 'Y';

std::optional<uid_t> PeerUser(int socket) {
    ucred peer{};
    socklen_t length = sizeof peer;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || length != sizeof peer)
        return std::nullopt;
    return peer.uid;
}

// The effective user of a process: the one its files and locks are taken as.
std::optional<uid_t> ProcessUser(long pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Uid:", 0) == 0) {
            std::istringstream fields(line.substr(4));
            unsigned long real = 0, effective = 0;
            if (fields >> real >> effective) return static_cast<uid_t>(effective);
        }
    return std::nullopt;
}

// The user of the process that holds the lock on the open file, when the kernel tells it. Some
// file systems (btrfs subvolumes, overlays) show the kernel another device than the file's own:
// a lock on the same inode then stands for it when no lock names the device too.
std::optional<uid_t> LockHolder(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    std::ifstream locks("/proc/locks");
    std::string line;
    std::optional<uid_t> sameInode;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        long pid = 0;
        // A waiter's line reads "->" where the kind is.
        if (!(fields >> number >> kind) || kind != "FLOCK") continue;
        if (!(fields >> mode >> access >> pid >> where) || pid <= 0) continue;
        unsigned deviceMajor = 0, deviceMinor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &deviceMajor, &deviceMinor, &inode) != 3)
            continue;
        if (inode != st.st_ino) continue;
        const std::optional<uid_t> user = ProcessUser(pid);
        if (!user) continue;
        if (deviceMajor == major(st.st_dev) && deviceMinor == minor(st.st_dev)) return user;
        if (!sameInode) sameInode = user;
    }
    return sameInode;
}

// A folder of the user's own that no other user can reach into.
bool ClosedToOthers(const std::string& folder) {
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

bool FitsAnAddress(const std::string& path) {
    return path.size() < sizeof(sockaddr_un::sun_path);
}

// Where the socket named `name` lives: the user's runtime folder, which the desktop session
// makes for the user alone, or else a folder of the user's own in /tmp. Empty when neither can
// be had; `obstacle` then says when it is because another user holds the place.
std::string SocketPath(const std::string& name, Obstacle& obstacle) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && ClosedToOthers(runtime) &&
        FitsAnAddress(std::string(runtime) + "/" + name))
        return std::string(runtime) + "/" + name;
    const std::string own = "/tmp/fretlyn-" + std::to_string(::geteuid());
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st {};
    if (::lstat(own.c_str(), &st) != 0) return {};
    if (st.st_uid != ::geteuid()) {
        obstacle = {Obstacle::Kind::Socket, own, st.st_uid};
        return {};
    }
    // The user's own, opened up by someone: closed again. A link is no folder of the user's.
    if (!S_ISDIR(st.st_mode) || ((st.st_mode & 077) != 0 && ::chmod(own.c_str(), 0700) != 0))
        return {};
    return own + "/" + name;
}

// Where a holder of the user's may listen, its own place first: a start from another session of
// the same user (ssh, su, a terminal without the desktop's settings) may see another runtime
// folder, or none. Only places of the user's own, closed to others, are looked in.
std::vector<std::string> PlacesToAsk(const std::string& own, const std::string& name) {
    std::vector<std::string> places;
    if (!own.empty()) places.push_back(own);
    const std::string user = std::to_string(::geteuid());
    for (const std::string& folder : {"/run/user/" + user, "/tmp/fretlyn-" + user}) {
        const std::string path = folder + "/" + name;
        if (path != own && ClosedToOthers(folder) && FitsAnAddress(path)) places.push_back(path);
    }
    return places;
}

bool Address(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || !FitsAnAddress(path)) return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

// Waits for `events` on the socket until `giveUp`.
bool Wait(int socket, short events, Clock::time_point giveUp) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
        pollfd wanted{socket, events, 0};
        const int ready =
            ::poll(&wanted, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready > 0) return (wanted.revents & events) != 0;
        if (ready == 0 || errno != EINTR) return false;
    }
}

enum class Asked { Answered, NotAnswered, OtherUser };

// Asks the program of the user that listens at `path` to come forward. A program that does not
// answer (stopped, busy, or one whose queue of requests is full) keeps the start waiting no
// longer than `giveUp`.
Asked AskHolder(const std::string& path, uid_t user, Clock::time_point giveUp, Obstacle& obstacle) {
    sockaddr_un address{};
    struct stat st {};
    if (!Address(path, address) || ::lstat(path.c_str(), &st) != 0) return Asked::NotAnswered;
    if (st.st_uid != user) {
        obstacle = {Obstacle::Kind::Socket, path, st.st_uid};
        return Asked::OtherUser;
    }
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0) return Asked::NotAnswered;
    Asked asked = Asked::NotAnswered;
    int failure = 0;
    socklen_t length = sizeof failure;
    const bool connected =
        ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
        (errno == EINPROGRESS && Wait(s, POLLOUT, giveUp) &&
         ::getsockopt(s, SOL_SOCKET, SO_ERROR, &failure, &length) == 0 && failure == 0);
    if (connected) {
        const std::optional<uid_t> peer = PeerUser(s);
        if (peer && *peer != user) {
            // Not told a word: another user's program would learn who starts and when.
            obstacle = {Obstacle::Kind::Socket, path, *peer};
            asked = Asked::OtherUser;
        } else if (peer && Wait(s, POLLIN, giveUp)) {
            char answer = 0;
            if (::recv(s, &answer, 1, 0) == 1 && answer == kComing) asked = Asked::Answered;
        }
    }
    ::close(s);
    return asked;
}

bool MakeFolder(const QString& folder) {
    if (QFileInfo(folder).isDir()) return true;
    if (!QDir().mkpath(QFileInfo(folder).absolutePath())) return false;
    // The user's own data: for the user alone, as the copies made in it are.
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || errno == EEXIST;
}

// The lock file, when there is one to be had: a folder, a pipe or a link to nothing in its
// place is none. A folder the user may only read can still be locked through a file already
// there.
int OpenLockFile(const QByteArray& path) {
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        fd = -1;
    }
    return fd;
}

// The folder's identity: every path that leads to it, through links or mounts, meets the same.
std::string Identity(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {};
    return std::to_string(st.st_dev) + "-" + std::to_string(st.st_ino);
}

}  // namespace

bool PeerIsUser(int socket, uid_t user) {
    const std::optional<uid_t> peer = PeerUser(socket);
    return peer && *peer == user;
}

DataFolderGuard::DataFolderGuard(uid_t user) : user_(user) {}

DataFolderGuard::~DataFolderGuard() {
    Release();
}

DataFolderGuard::Outcome DataFolderGuard::Take(const std::string& folder,
                                               std::chrono::milliseconds wait) {
    Release();
    obstacle_ = {};
    const QString path = QString::fromStdString(folder);
    if (!MakeFolder(path)) return Outcome::Unguarded;
    const QByteArray lockPath = QFile::encodeName(QDir(path).filePath(QLatin1String(kLockFile)));
    // The lock on the folder itself is the guard: it holds whatever becomes of the lock file,
    // and it is the same lock by every path to the folder. The lock file is locked as well, for
    // an earlier version of the program that locks only the file.
    folderLock_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    fileLock_ = OpenLockFile(lockPath);
    if (folderLock_ < 0 && fileLock_ < 0) return Outcome::Unguarded;
    Obstacle socketPlace;
    const std::string socketName =
        "fretlyn-" + Identity(folderLock_ >= 0 ? folderLock_ : fileLock_);
    const std::string socket = SocketPath(socketName, socketPlace);

    const auto giveUp = Clock::now() + wait;
    for (;;) {
        const int busy = TakeLocks();
        if (busy < 0) {
            if (folderLock_ < 0 && fileLock_ < 0) return Outcome::Unguarded;
            obstacle_ = socketPlace;
            Listen(socket);
            return Outcome::Taken;
        }
        if (const std::optional<uid_t> holder = LockHolder(busy); holder && *holder != user_) {
            obstacle_ = {Obstacle::Kind::Lock,
                         busy == folderLock_ ? folder : lockPath.toStdString(), *holder};
            Release();
            return Outcome::HeldByAnotherUser;
        }
        Asked asked = Asked::NotAnswered;
        for (const std::string& place : PlacesToAsk(socket, socketName)) {
            asked = AskHolder(place, user_, giveUp, obstacle_);
            if (asked != Asked::NotAnswered) break;
        }
        if (socket.empty() && socketPlace.kind != Obstacle::Kind::None) obstacle_ = socketPlace;
        if (asked == Asked::Answered || obstacle_.kind != Obstacle::Kind::None) {
            Release();
            return asked == Asked::Answered ? Outcome::HandedOver : Outcome::HeldByAnotherUser;
        }
        if (Clock::now() >= giveUp) {
            Release();
            return Outcome::Held;
        }
        std::this_thread::sleep_for(kLookAgain);
    }
}

// Takes the lock on the folder and on the lock file, or neither; returns the one another
// program holds, or -1. A lock the file system cannot give (a network folder that locks only
// files open for writing) is left to the other one.
int DataFolderGuard::TakeLocks() {
    for (int* lock : {&folderLock_, &fileLock_}) {
        if (*lock < 0) continue;
        int taken = 0;
        while ((taken = ::flock(*lock, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (taken == 0) continue;
        if (errno == EWOULDBLOCK) {
            if (lock == &fileLock_ && folderLock_ >= 0) ::flock(folderLock_, LOCK_UN);
            return *lock;
        }
        ::close(*lock);
        *lock = -1;
    }
    return -1;
}

// Without the socket the program still holds the folder; a later start then says that it is
// in use instead of bringing the window forward.
void DataFolderGuard::Listen(const std::string& path) {
    sockaddr_un address{};
    if (!Address(path, address)) return;
    // What is there was left by a program that held the folder before (this one holds it now),
    // unless another user put it there.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (st.st_uid != user_) {
            obstacle_ = {Obstacle::Kind::Socket, path, st.st_uid};
            return;
        }
        ::unlink(path.c_str());
    }
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0) return;
    if (::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(s);
        return;
    }
    if (::listen(s, 16) != 0) {
        ::unlink(path.c_str());
        ::close(s);
        return;
    }
    listener_ = s;
    socket_ = path;
    notifier_ = std::make_unique<QSocketNotifier>(s, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { Answer(); });
}

void DataFolderGuard::Answer() {
    for (;;) {
        const int asked = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (asked < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            break;
        }
        // Another user's start would raise this user's window and take the keyboard from
        // whatever the user is typing into: it is not answered.
        const bool own = PeerIsUser(asked, user_);
        if (own) ::send(asked, &kComing, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        ::close(asked);
        if (!own) continue;
        if (bring_)
            bring_();
        else
            ++waiting_;
    }
}

void DataFolderGuard::OnBringForward(std::function<void()> bring) {
    bring_ = std::move(bring);
    if (bring_ && waiting_ > 0) {
        waiting_ = 0;
        bring_();
    }
}

void DataFolderGuard::Release() {
    notifier_.reset();
    if (listener_ >= 0) {
        ::unlink(socket_.c_str());
        ::close(listener_);
    }
    listener_ = -1;
    socket_.clear();
    for (int* lock : {&folderLock_, &fileLock_}) {
        if (*lock >= 0) ::close(*lock);
        *lock = -1;
    }
}
