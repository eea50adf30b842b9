#include "changer/linux/session_lock.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace nimbrel::changer {

SessionLock::SessionLock(const std::string& lockFile) {
    file_ = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (file_ < 0)
        return;
    if (flock(file_, LOCK_EX | LOCK_NB) == 0) {
        held_ = true;
        const std::string pid = std::to_string(getpid()) + "\n";
        if (ftruncate(file_, 0) == 0)
            (void)!pwrite(file_, pid.data(), pid.size(), 0);
        return;
    }
    char text[32] = {};
    if (pread(file_, text, sizeof text - 1, 0) > 0)
        holder_ = std::strtol(text, nullptr, 10);
}

SessionLock::~SessionLock() {
    if (file_ >= 0)
        close(file_); // the lock goes with the file
}

} // namespace nimbrel::changer
