#pragma once
// A data file opened for shared, read-only binary access for the whole run. Every read asks
// the file as it is now (within one command, as it was when the command first read that part,
// see KeepBlocks): a tariff update may shorten a file the program holds open, and a read past
// its new end must be an error, never a fault of a memory map.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

// Opens a file to read only when it is a regular file: a named pipe or a device in its place
// would hold the opening, or the first read, for as long as nothing writes to it. `what` names
// the file in the error ("The data file"): a FileError that says it is missing
// (kFileNotFound), is no regular file, or why the system would not open it (kPathFileAccess).
// Returns the descriptor, which the caller closes.
int OpenRegularFile(const std::string& path, const std::string& what);
// The whole of a small regular file, opened as OpenRegularFile does; a failed read, or a file
// of more than `mostBytes`, is a FileError naming the file.
constexpr size_t kSmallFileBytesMost = 4 * 1024 * 1024;
std::string ReadRegularFile(const std::string& path, const std::string& what,
                            size_t mostBytes = kSmallFileBytesMost);

class BinaryFile {
  public:
    BinaryFile() = default;
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;

    // Throws a FileError naming the file when it cannot be opened or is no regular file.
    void Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    // The file's size now.
    size_t Size() const;

    // What tells one state of the file from another without reading it: which file it is,
    // its size and its times of change.
    struct Stamp {
        uint64_t device = 0, inode = 0, size = 0;
        int64_t modifiedNs = 0, changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    // The file's stamp now; a FileError naming it when it cannot be had.
    Stamp StampNow() const;
    // Hands every byte of the file as it is now to `chunk`, in order and in pieces, read from
    // the file itself (never from kept blocks). A failed read is a FileError naming the file.
    void ReadWhole(const std::function<void(std::string_view)>& chunk) const;
    // The command (Database::RunningCommand) in which the file was last found as its tariff
    // lists it, so that a command checks each file once; 0 when never.
    uint64_t CheckedInCommand() const { return checkedIn_; }
    void SetCheckedInCommand(uint64_t command) const { checkedIn_ = command; }

    // The byte at a 1-based position; a position outside the file is a FileError
    // (kInputPastEnd) naming it.
    uint8_t ByteAt(size_t position) const;
    // count bytes from a 1-based position, all inside the file.
    std::string BytesAt(size_t position, size_t count) const;
    // Up to count bytes from a 1-based position into `into`, in one call on the file where it
    // can: fewer only where the file ends. Returns how many were read.
    size_t ReadUpTo(size_t position, void* into, size_t count) const;

    // While one lives, the file's blocks are read once and kept: a batch test reads a byte or
    // two of the file for each of its lines, all over the file, and one call on the file a
    // block costs less than one a byte. It lives for one command, never longer, so that the
    // next command reads the file as it is then.
    class KeepBlocks {
      public:
        // A block as large as the whole of most files read this way; a small one where
        // only a little of a large file is read.
        static constexpr size_t kBlockBytes = 64 * 1024;
        explicit KeepBlocks(const BinaryFile& file, size_t blockBytes = kBlockBytes);
        ~KeepBlocks();
        KeepBlocks(const KeepBlocks&) = delete;
        KeepBlocks& operator=(const KeepBlocks&) = delete;

      private:
        const BinaryFile& file_;
    };

  private:
    [[noreturn]] void TooShort(size_t position, size_t count) const;
    size_t ReadFromFile(size_t offset, char* into, size_t count) const;
    size_t ReadFromBlocks(size_t offset, char* into, size_t count) const;

    std::string path_;
    int fd_ = -1;
    // The blocks read while a KeepBlocks lives, by their number; each holds what the file had
    // there, fewer bytes than a block where it ended.
    struct Block {
        std::unique_ptr<char[]> bytes;
        size_t size = 0;
    };
    struct Blocks {
        size_t blockBytes;
        std::unordered_map<size_t, Block> read;
    };
    mutable std::unique_ptr<Blocks> blocks_;
    mutable int keepers_ = 0;
    mutable uint64_t checkedIn_ = 0;
};
