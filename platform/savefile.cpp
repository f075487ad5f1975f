#include "savefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

namespace {
[[noreturn]] void Fail(const std::string& path, int error) {
    throw SaveFileError("Cannot write " + path + ": " + SystemReason(error) + ".");
}

// The permissions the file has, or a new file's (as the user's file-creation mask leaves them).
mode_t ModeFor(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
}  // namespace

void SaveFileWhole(const std::string& path, std::string_view bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) Fail(path, errno);
    // Whatever fails below takes the temporary file away and leaves the old file as it was.
    const auto failWith = [&](int error) {
        ::close(fd);
        ::unlink(temp.c_str());
        Fail(path, error);
    };
    if (::fchmod(fd, ModeFor(path)) != 0) failWith(errno);
    for (size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failWith(errno);
        if (n == 0) failWith(ENOSPC);
        written += static_cast<size_t>(n);
    }
    // Some file systems report a full disk only when the data reach it.
    if (::fsync(fd) != 0) failWith(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        Fail(path, error);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        Fail(path, error);
    }
}
