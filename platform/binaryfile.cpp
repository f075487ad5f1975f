#include "binaryfile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>

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
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void BinaryFile::Open(const std::string& path) {
    Close();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("The data file " + path + " is missing or unreadable.");
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw std::runtime_error("The data file " + path + " is not a regular file.");
    }
    size_t size = static_cast<size_t>(st.st_size);
    const unsigned char* data = nullptr;
    if (size > 0) {
        void* p = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
        if (p == MAP_FAILED) {
            ::close(fd);
            throw std::runtime_error("The data file " + path + " could not be read.");
        }
        data = static_cast<const unsigned char*>(p);
    }
    path_ = path;
    fd_ = fd;
    data_ = data;
    size_ = size;
}

void BinaryFile::Close() {
    if (data_) ::munmap(const_cast<unsigned char*>(data_), size_);
    if (fd_ >= 0) ::close(fd_);
    data_ = nullptr;
    fd_ = -1;
    size_ = 0;
}

uint8_t BinaryFile::ByteAt(size_t position) const {
    return static_cast<uint8_t>(BytesAt(position, 1)[0]);
}

std::string_view BinaryFile::BytesAt(size_t position, size_t count) const {
    if (fd_ < 0) throw std::runtime_error("A data file was read before it was opened.");
    if (position < 1 || position - 1 > size_ || count > size_ - (position - 1))
        throw std::runtime_error("The data file " + path_ +
                                 " is too short: " + std::to_string(count) + " bytes at position " +
                                 std::to_string(position) + " are past its end (" +
                                 std::to_string(size_) + " bytes).");
    return {reinterpret_cast<const char*>(data_) + position - 1, count};
}
