#pragma once
// The files the program writes for the user (a printed bill, the batch test's results) go
// through a temporary file in the same folder that takes the old file's place only once it is
// complete: a full disk or a failed write leaves the last good file as it was, and a reader
// never sees half a file.

#include <stdexcept>
#include <string>
#include <string_view>

// The reason the system gives for an error number ("No space left on device", "Permission
// denied", "Read-only file system").
std::string SystemReason(int error);

// A file that could not be written; the text names the file and the reason as the system
// gives it.
class SaveFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Writes the bytes to the path, replacing what was there only when every byte is written.
void SaveFileWhole(const std::string& path, std::string_view bytes);

// The same for a file written piece by piece, however large, in blocks: the old file is
// replaced only by Commit, and one given up (destroyed before Commit, by an error or an
// exception) leaves it as it was and no temporary file behind. Every failure is SaveFileError.
class SaveFileStream {
  public:
    explicit SaveFileStream(const std::string& path);
    ~SaveFileStream();
    SaveFileStream(const SaveFileStream&) = delete;
    SaveFileStream& operator=(const SaveFileStream&) = delete;

    void Write(std::string_view bytes);
    void Commit();

  private:
    // Takes the temporary file away and throws the system's reason for the error.
    [[noreturn]] void GiveUp(int error);
    void WriteOut(std::string_view bytes);

    std::string path_;
    std::string temp_;
    int fd_ = -1;
    std::string block_;
};
