#pragma once
// A file system of the test's own on a folder: a memory file system of a few kilobytes, which
// fills up as a disk does ("No space left on device"), or one mounted read-only ("Read-only
// file system"). Mounting one takes the privilege to mount; where the test has none, Mounted()
// is false and the test skips what needs it.

#include <sys/mount.h>

#include <cstddef>
#include <filesystem>
#include <string>

class SmallFileSystem {
  public:
    enum Access { kWritable, kReadOnly };
    SmallFileSystem(const std::filesystem::path& folder, size_t bytes, Access access = kWritable)
        : folder_(folder) {
        std::filesystem::create_directories(folder_);
        const std::string size = "size=" + std::to_string(bytes);
        mounted_ = ::mount("fretlyn-test", folder_.c_str(), "tmpfs",
                           access == kReadOnly ? MS_RDONLY : 0, size.c_str()) == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return mounted_; }

  private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};
