#pragma once
// A small file system of its own (a 512 KB tmpfs, root only, Linux), filled up to its last
// byte on request: a full disk as a user meets one.
#include <string>

namespace nimbrel::test {

class SmallDisk {
public:
    SmallDisk();
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // False where it cannot be mounted (not root, not Linux): the caller skips.
    bool Mounted() const { return mounted_; }
    const std::string& Folder() const { return folder_; }

    // Writes a filler file until the disk takes no more; false when the filler cannot be
    // made at all.
    bool Fill() const;

private:
    std::string folder_;
    bool mounted_ = false;
};

} // namespace nimbrel::test
