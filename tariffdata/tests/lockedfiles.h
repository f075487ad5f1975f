#pragma once
// Files that another program has locked or made read-only, for the tests of how the program
// copes with them.

#include <sqlite3.h>

#include <filesystem>
#include <string>

// Makes a file or folder read-only for this process for its lifetime: by its mode bits, and
// when the tests run as root (who writes through mode bits) by the file system's immutable
// flag. Writable() tells whether it worked, so a test can skip where neither is possible.
class ReadOnlyPath {
  public:
    explicit ReadOnlyPath(std::filesystem::path path);
    ~ReadOnlyPath();
    ReadOnlyPath(const ReadOnlyPath&) = delete;
    ReadOnlyPath& operator=(const ReadOnlyPath&) = delete;

    bool Writable() const;

  private:
    bool SetImmutable(bool on) const;

    std::filesystem::path path_;
    std::filesystem::perms perms_;
    bool immutable_ = false;
};

// A second connection to a database holding a lock on it, as another program would.
class HeldLock {
  public:
    // "EXCLUSIVE" keeps out readers and writers; "IMMEDIATE" keeps out writers only.
    HeldLock(const std::string& path, const char* kind = "EXCLUSIVE");
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

    void Release();

  private:
    sqlite3* db_ = nullptr;
};
