#pragma once
// The files the program writes for the user (a printed bill, the batch test's results) go
// through a temporary file in the same folder that takes the old file's place only once it is
// complete: a full disk or a failed write leaves the last good file as it was, and a reader
// never sees half a file.

#include <stdexcept>
#include <string>
#include <string_view>

// A file that could not be written; the text names the file and the cause.
class SaveFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Writes the bytes to the path, replacing what was there only when every byte is written.
void SaveFileWhole(const std::string& path, std::string_view bytes);
