#include "changer/linux/status_request.h"

#include <csignal>
#include <sys/stat.h>
#include <thread>

namespace nimbrel::changer {
namespace {

// The file a path names now: the state file is written anew and renamed into place.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    bool operator==(const Identity& other) const {
        return device == other.device && inode == other.inode &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

Identity IdentityOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    return {status.st_dev, status.st_ino, status.st_mtim};
}

} // namespace

bool AskForFreshState(long process, const std::string& stateFile,
                      std::chrono::milliseconds patience) {
    const Identity before = IdentityOf(stateFile);
    if (process <= 0 || ::kill(static_cast<pid_t>(process), SIGUSR2) != 0)
        return false;
    const auto until = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!(IdentityOf(stateFile) == before))
            return true;
    }
    return false;
}

} // namespace nimbrel::changer
