#pragma once
// One changer per user: an exclusive lock on a file of the changer's data folder, held as
// long as the changer runs, with the holder's process id inside.
#include <string>

namespace nimbrel::changer {

class SessionLock {
public:
    // Tries to take the lock (a host path); Held() tells whether it was taken.
    explicit SessionLock(const std::string& lockFile);
    ~SessionLock();
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;

    bool Held() const { return held_; }
    // The process id of the changer holding it, 0 when unknown (read when not held).
    long Holder() const { return holder_; }

private:
    int file_ = -1;
    bool held_ = false;
    long holder_ = 0;
};

} // namespace nimbrel::changer
