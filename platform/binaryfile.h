#pragma once
// A data file opened for shared, read-only binary access and mapped into memory once, so
// that the many single-byte look-ups of a rating cost no system call.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class BinaryFile {
  public:
    BinaryFile() = default;
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;

    // Throws std::runtime_error naming the file when it cannot be opened.
    void Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    size_t Size() const { return size_; }

    // The byte at a 1-based position; a position outside the file is an error naming it.
    uint8_t ByteAt(size_t position) const;
    // count bytes from a 1-based position, all inside the file.
    std::string_view BytesAt(size_t position, size_t count) const;

  private:
    std::string path_;
    int fd_ = -1;
    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
};
