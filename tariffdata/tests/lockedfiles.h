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

// A folder with little room, for the tests of a full disk. Where this process may mount a file
// system (root), a small one is mounted on the folder for the object's lifetime, so that a write
// past its size fails as on a full disk (ENOSPC). Elsewhere Fill() limits the size of any file
// this process writes (RLIMIT_FSIZE, with SIGXFSZ ignored) until Free(), so that a large write
// fails all the same (EFBIG).
class SmallDisk {
  public:
    SmallDisk(std::filesystem::path folder, unsigned long bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Makes a large write fail from now on: nothing more to do on a small file system (the test
    // sizes it so that the write does not fit); otherwise a file may grow to 512 KiB at most.
    // False when neither can be had.
    bool Fill();
    void Free();
    bool Mounted() const { return mounted_; }

  private:
    std::filesystem::path folder_;
    bool mounted_ = false;
    bool limited_ = false;
    unsigned long long keptLimit_ = 0;
    void (*keptSignal_)(int) = nullptr;
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
