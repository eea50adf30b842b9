#include "support/small_disk.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#if defined(__linux__)
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace nimbrel::test {

SmallDisk::SmallDisk() {
#if defined(__linux__)
    char pattern[] = "/tmp/nimbrel-small-disk-XXXXXX";
    if (const char* made = ::mkdtemp(pattern))
        folder_ = made;
    mounted_ = !folder_.empty() && ::geteuid() == 0 &&
               ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=512k,mode=0777") == 0;
#endif
}

SmallDisk::~SmallDisk() {
#if defined(__linux__)
    if (mounted_)
        ::umount2(folder_.c_str(), MNT_DETACH);
#endif
    if (!folder_.empty())
        std::filesystem::remove_all(folder_);
}

bool SmallDisk::Fill() const {
    std::FILE* filler = std::fopen((folder_ + "/filler").c_str(), "wb");
    if (!filler)
        return false;
    std::setvbuf(filler, nullptr, _IONBF, 0);
    const std::string block(1024, 'f');
    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size()) {
    }
    // What is left is less than a block: take it byte by byte.
    while (std::fputc('f', filler) != EOF) {
    }
    std::fclose(filler);
    return true;
}

} // namespace nimbrel::test
