#include "lockedfiles.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <stdexcept>

namespace fs = std::filesystem;

ReadOnlyPath::ReadOnlyPath(fs::path path) : path_(std::move(path)) {
    perms_ = fs::status(path_).permissions();
    const bool folder = fs::is_directory(path_);
    fs::permissions(path_,
                    folder ? fs::perms::owner_read | fs::perms::owner_exec : fs::perms::owner_read);
    if (Writable()) immutable_ = SetImmutable(true);
}

ReadOnlyPath::~ReadOnlyPath() {
    if (immutable_) SetImmutable(false);
    fs::permissions(path_, perms_);
}

bool ReadOnlyPath::Writable() const {
    return ::access(path_.c_str(), W_OK) == 0;
}

bool ReadOnlyPath::SetImmutable(bool on) const {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

HeldLock::HeldLock(const std::string& path, const char* kind) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + path + " for the lock");
    const std::string begin = std::string("BEGIN ") + kind;
    if (sqlite3_exec(db_, begin.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot lock " + path + ": " + sqlite3_errmsg(db_));
}

HeldLock::~HeldLock() {
    Release();
}

void HeldLock::Release() {
    if (!db_) return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
    db_ = nullptr;
}
