#pragma once
// What wakes the changer on Linux, in one blocking wait: writes to the settings store
// (inotify on the store's folder: the hive file and its write-ahead log), SIGUSR1 from a
// second start asking for a change now, SIGUSR2 from --status asking for the state, and the
// signals that end the session.
#include "changer/changer.h"

#include <functional>
#include <string>

namespace nimbrel::changer {

class LinuxWakes : public WakeSource {
public:
    // `storeFile`: the host path of the store (registry.sqlite3). Blocks the signals it
    // takes, so that they arrive only here. Raises Exception when it cannot watch.
    // `session`, when given, is one more connection to watch (the display's), and
    // `takeSession` reads what arrives on it.
    explicit LinuxWakes(const std::string& storeFile, int session = -1,
                        std::function<void()> takeSession = {});
    ~LinuxWakes() override;
    LinuxWakes(const LinuxWakes&) = delete;
    LinuxWakes& operator=(const LinuxWakes&) = delete;

    Wake Wait(std::optional<ChangerClock::Clock::time_point> deadline) override;

private:
    // Whether a read inotify event names the store's files.
    bool DrainStoreEvents();

    std::string storeName_;
    int inotify_ = -1;
    int signals_ = -1;
    int session_ = -1;
    std::function<void()> takeSession_;
};

} // namespace nimbrel::changer
