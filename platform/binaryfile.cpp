#include "binaryfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "fileerror.h"

namespace {
std::string Bytes(size_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}
}  // namespace

BinaryFile::~BinaryFile() {
    Close();
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept {
    *this = std::move(other);
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept {
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void BinaryFile::Open(const std::string& path) {
    Close();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError(errno == ENOENT ? FileError::kFileNotFound : FileError::kPathFileAccess,
                        "The data file " + path + " is missing or unreadable.");
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(FileError::kPathFileAccess,
                        "The data file " + path + " is not a regular file.");
    }
    path_ = path;
    fd_ = fd;
}

void BinaryFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

size_t BinaryFile::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
    return static_cast<size_t>(st.st_size);
}

uint8_t BinaryFile::ByteAt(size_t position) const {
    uint8_t byte = 0;
    if (ReadUpTo(position, &byte, 1) < 1) TooShort(position, 1);
    return byte;
}

std::string BinaryFile::BytesAt(size_t position, size_t count) const {
    std::string bytes(count, '\0');
    if (ReadUpTo(position, bytes.data(), count) < count) TooShort(position, count);
    return bytes;
}

size_t BinaryFile::ReadUpTo(size_t position, void* into, size_t count) const {
    if (fd_ < 0) throw std::runtime_error("A data file was read before it was opened.");
    if (position < 1) TooShort(position, count);
    auto* to = static_cast<char*>(into);
    size_t got = 0;
    while (got < count) {
        const ssize_t n =
            ::pread(fd_, to + got, count - got, static_cast<off_t>(position - 1 + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            throw FileError(FileError::kPathFileAccess, "The data file " + path_ +
                                                            " could not be read at position " +
                                                            std::to_string(position) + ".");
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

void BinaryFile::TooShort(size_t position, size_t count) const {
    throw FileError(FileError::kInputPastEnd,
                    "The data file " + path_ + " is too short: " + Bytes(count) + " at position " +
                        std::to_string(position) + (count == 1 ? " is" : " are") +
                        " past its end (" + Bytes(Size()) + ").");
}
