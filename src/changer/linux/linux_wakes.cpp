#include "changer/linux/linux_wakes.h"

#include "sysutil/exception.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <utility>

namespace nimbrel::changer {
namespace {

sigset_t TakenSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGUSR1, SIGUSR2, SIGTERM, SIGINT, SIGHUP})
        sigaddset(&set, signal);
    return set;
}

} // namespace

LinuxWakes::LinuxWakes(const std::string& storeFile, int session, std::function<void()> takeSession)
    : session_(session), takeSession_(std::move(takeSession)) {
    const auto slash = storeFile.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : storeFile.substr(0, slash);
    storeName_ = slash == std::string::npos ? storeFile : storeFile.substr(slash + 1);
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0 || inotify_add_watch(inotify_, folder.c_str(),
                                          IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE) < 0)
        throw Exception("cannot watch the settings store's folder " + folder + ": " +
                        std::strerror(errno));
    const sigset_t set = TakenSignals();
    sigprocmask(SIG_BLOCK, &set, nullptr);
    signals_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (signals_ < 0)
        throw Exception(std::string("cannot take signals: ") + std::strerror(errno));
}

LinuxWakes::~LinuxWakes() {
    if (inotify_ >= 0)
        close(inotify_);
    if (signals_ >= 0)
        close(signals_);
}

bool LinuxWakes::DrainStoreEvents() {
    bool store = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = read(inotify_, buffer, sizeof buffer);
        if (got <= 0)
            return store;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0) {
                const std::string name(event->name);
                // The hive file and its log; the shared-memory index changes on every read.
                if (name == storeName_ || name == storeName_ + "-wal")
                    store = true;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

Wake LinuxWakes::Wait(std::optional<ChangerClock::Clock::time_point> deadline) {
    for (;;) {
        int timeout = -1;
        if (deadline) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                *deadline - ChangerClock::Clock::now());
            timeout = static_cast<int>(std::clamp<long long>(left.count(), 0, INT_MAX));
        }
        pollfd watched[3] = {{signals_, POLLIN, 0}, {inotify_, POLLIN, 0}, {session_, POLLIN, 0}};
        const int ready = poll(watched, session_ >= 0 ? 3 : 2, timeout);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return Wake::TimeUp;
        if (watched[0].revents & POLLIN) {
            signalfd_siginfo info{};
            if (read(signals_, &info, sizeof info) == sizeof info)
                return info.ssi_signo == SIGUSR1   ? Wake::ChangeNow
                       : info.ssi_signo == SIGUSR2 ? Wake::Report
                                                   : Wake::Stop;
        }
        if (session_ >= 0 && watched[2].revents != 0 && takeSession_)
            takeSession_();
        if ((watched[1].revents & POLLIN) && DrainStoreEvents())
            return Wake::StoreChanged;
    }
}

} // namespace nimbrel::changer
