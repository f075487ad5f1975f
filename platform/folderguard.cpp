#include "folderguard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr auto kLookAgain = std::chrono::milliseconds(25);

// The socket lives in the abstract namespace, which the kernel clears with the process: no file
// is left behind for a later start to trip over. It is named after the lock file itself (its
// device and inode), so that every path that leads to the folder, through links or mounts,
// meets the same socket; and after the user, who shares that namespace with others.
sockaddr_un SocketAddress(int lockFile, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    struct stat st {};
    if (::fstat(lockFile, &st) != 0) {
        length = 0;
        return address;
    }
    const std::string name = "fretlyn-" + std::to_string(::getuid()) + "-" +
                             std::to_string(st.st_dev) + "-" + std::to_string(st.st_ino);
    // The first byte stays 0: that makes the name abstract.
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return address;
}

bool AskHolder(int lockFile) {
    socklen_t length = 0;
    const sockaddr_un address = SocketAddress(lockFile, length);
    if (length == 0) return false;
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    // The connection is the request: the holder needs nothing more to know what is asked.
    const bool asked = ::connect(s, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(s);
    return asked;
}

bool MakeFolder(const QString& folder) {
    if (QFileInfo(folder).isDir()) return true;
    if (!QDir().mkpath(QFileInfo(folder).absolutePath())) return false;
    // The user's own data: for the user alone, as the copies made in it are.
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

DataFolderGuard::DataFolderGuard() = default;

DataFolderGuard::~DataFolderGuard() {
    Release();
}

DataFolderGuard::Outcome DataFolderGuard::Take(const std::string& folder,
                                               std::chrono::milliseconds wait) {
    Release();
    const QString path = QString::fromStdString(folder);
    if (!MakeFolder(path)) return Outcome::Unguarded;
    const QByteArray lockPath = QFile::encodeName(QDir(path).filePath(QLatin1String(kLockFile)));
    // A folder the user may only read can still be locked through a file already there.
    int fd =
        ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) fd = ::open(lockPath.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        fd = -1;
    }
    // No lock file to be had (a folder, a pipe or a link to nothing in its place, a folder the
    // user may only read): the folder itself is locked, so that damage to one file never lets
    // a second program onto the user's database. Every start meets the same damage, and so
    // takes the same lock.
    if (fd < 0)
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Outcome::Unguarded;

    const auto giveUp = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lock_ = fd;
            Listen();
            return Outcome::Taken;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return Outcome::Unguarded;
        }
        if (AskHolder(fd)) {
            ::close(fd);
            return Outcome::HandedOver;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            ::close(fd);
            return Outcome::Held;
        }
        std::this_thread::sleep_for(kLookAgain);
    }
}

// Without the socket the program still holds the folder; a later start then says that it is
// in use instead of bringing the window forward.
void DataFolderGuard::Listen() {
    socklen_t length = 0;
    const sockaddr_un address = SocketAddress(lock_, length);
    if (length == 0) return;
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0) return;
    if (::bind(s, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        ::listen(s, 8) != 0) {
        ::close(s);
        return;
    }
    listener_ = s;
    notifier_ = std::make_unique<QSocketNotifier>(s, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { Answer(); });
}

void DataFolderGuard::Answer() {
    for (;;) {
        const int asked = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (asked < 0) {
            if (errno == EINTR) continue;
            break;
        }
        ::close(asked);
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
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
    if (lock_ >= 0) ::close(lock_);
    lock_ = -1;
}
