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
