#include "binaryfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "fileerror.h"
#include "savefile.h"

namespace {
std::string Bytes(size_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}
}  // namespace

int OpenRegularFile(const std::string& path, const std::string& what) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            throw FileError(FileError::kFileNotFound, what + " " + path + " is missing.");
        throw FileError(FileError::kPathFileAccess,
                        what + " " + path + " cannot be read: " + SystemReason(error) + ".");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(FileError::kPathFileAccess,
                        what + " " + path +
                            " is not a regular file (a named pipe, a device or a folder stands "
                            "in its place), so it is not read.");
    }
    // Only the opening had to be kept from waiting.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string ReadRegularFile(const std::string& path, const std::string& what, size_t mostBytes) {
    const int fd = OpenRegularFile(path, what);
    std::string bytes;
    char buffer[16384];
    for (;;) {
        // The files read whole are small: a huge one is damage, and reading it would cost every
        // start seconds and gigabytes.
        if (bytes.size() > mostBytes) {
            ::close(fd);
            throw FileError(FileError::kPathFileAccess,
                            what + " " + path + " is larger than " + std::to_string(mostBytes) +
                                " bytes, far larger than it can be, so it is not read.");
        }
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            throw FileError(FileError::kPathFileAccess,
                            what + " " + path + " could not be read: " + SystemReason(error) + ".");
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return bytes;
}

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
        checkedIn_ = std::exchange(other.checkedIn_, 0);
    }
    return *this;
}

void BinaryFile::Open(const std::string& path) {
    Close();
    fd_ = OpenRegularFile(path, "The data file");
    path_ = path;
}

void BinaryFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    checkedIn_ = 0;
    if (blocks_) blocks_->read.clear();
}

size_t BinaryFile::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
    return static_cast<size_t>(st.st_size);
}

BinaryFile::Stamp BinaryFile::StampNow() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        throw FileError(FileError::kPathFileAccess,
                        "The data file " + path_ +
                            " cannot be examined: " + SystemReason(fd_ < 0 ? EBADF : errno) + ".");
    auto ns = [](const timespec& t) { return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
            static_cast<uint64_t>(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

void BinaryFile::ReadWhole(const std::function<void(std::string_view)>& chunk) const {
    constexpr size_t kChunkBytes = 256 * 1024;
    const auto bytes = std::make_unique_for_overwrite<char[]>(kChunkBytes);
    for (size_t offset = 0;;) {
        const size_t got = ReadFromFile(offset, bytes.get(), kChunkBytes);
        if (got == 0) return;
        chunk(std::string_view(bytes.get(), got));
        offset += got;
    }
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
    return blocks_ ? ReadFromBlocks(position - 1, to, count) : ReadFromFile(position - 1, to, count);
}

size_t BinaryFile::ReadFromFile(size_t offset, char* into, size_t count) const {
    size_t got = 0;
    while (got < count) {
        const ssize_t n = ::pread(fd_, into + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            throw FileError(FileError::kPathFileAccess, "The data file " + path_ +
                                                            " could not be read at position " +
                                                            std::to_string(offset + 1) + ".");
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return got;
}

size_t BinaryFile::ReadFromBlocks(size_t offset, char* into, size_t count) const {
    const size_t kBlockBytes = blocks_->blockBytes;
    size_t got = 0;
    while (got < count) {
        const size_t number = (offset + got) / kBlockBytes;
        auto it = blocks_->read.find(number);
        if (it == blocks_->read.end()) {
            // Kept only once read whole: a read that fails leaves nothing behind.
            Block read{std::make_unique_for_overwrite<char[]>(kBlockBytes), 0};
            read.size = ReadFromFile(number * kBlockBytes, read.bytes.get(), kBlockBytes);
            it = blocks_->read.emplace(number, std::move(read)).first;
        }
        const Block& block = it->second;
        const size_t at = (offset + got) % kBlockBytes;
        if (at >= block.size) break;  // the file ended here
        const size_t n = std::min(count - got, block.size - at);
        std::memcpy(into + got, block.bytes.get() + at, n);
        got += n;
        if (block.size < kBlockBytes) break;
    }
    return got;
}

BinaryFile::KeepBlocks::KeepBlocks(const BinaryFile& file, size_t blockBytes) : file_(file) {
    if (file_.keepers_++ == 0) file_.blocks_ = std::make_unique<Blocks>(Blocks{blockBytes, {}});
}

BinaryFile::KeepBlocks::~KeepBlocks() {
    if (--file_.keepers_ == 0) file_.blocks_.reset();
}

void BinaryFile::TooShort(size_t position, size_t count) const {
    throw FileError(FileError::kInputPastEnd,
                    "The data file " + path_ + " is too short: " + Bytes(count) + " at position " +
                        std::to_string(position) + (count == 1 ? " is" : " are") +
                        " past its end (" + Bytes(Size()) + ").");
}
