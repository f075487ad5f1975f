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

constexpr size_t kBlock = size_t{1} << 16;

SaveFileStream::SaveFileStream(const std::string& path) : path_(path), temp_(path + ".XXXXXX") {
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) Fail(path_, errno);
    if (::fchmod(fd_, ModeFor(path_)) != 0) GiveUp(errno);
    block_.reserve(kBlock);
}

SaveFileStream::~SaveFileStream() {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(temp_.c_str());
}

void SaveFileStream::GiveUp(int error) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
    Fail(path_, error);
}

void SaveFileStream::WriteOut(std::string_view bytes) {
    for (size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) GiveUp(errno);
        if (n == 0) GiveUp(ENOSPC);
        written += static_cast<size_t>(n);
    }
}

void SaveFileStream::Write(std::string_view bytes) {
    if (block_.size() + bytes.size() > kBlock) {
        WriteOut(block_);
        block_.clear();
    }
    if (bytes.size() >= kBlock)
        WriteOut(bytes);
    else
        block_.append(bytes);
}

void SaveFileStream::Commit() {
    WriteOut(block_);
    block_.clear();
    // Some file systems report a full disk only when the data reach it.
    if (::fsync(fd_) != 0) GiveUp(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp_.c_str());
        Fail(path_, error);
    }
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp_.c_str());
        Fail(path_, error);
    }
}

void SaveFileWhole(const std::string& path, std::string_view bytes) {
    SaveFileStream file(path);
    file.Write(bytes);
    file.Commit();
}
