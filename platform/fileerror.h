#pragma once
// An error of one of the program's data files. It carries the platform's run-time error
// number, so that a start-up failure shows a number as the database engine's errors do.

#include <stdexcept>
#include <string>

class FileError : public std::runtime_error {
  public:
    static constexpr int kFileNotFound = 53;
    static constexpr int kInputPastEnd = 62;    // the file ends before what was to be read
    static constexpr int kPathFileAccess = 75;  // there, but not readable as a file

    FileError(int number, const std::string& message)
        : std::runtime_error(message), number_(number) {}
    int number() const noexcept { return number_; }

  private:
    int number_;
};
