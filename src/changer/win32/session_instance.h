#pragma once
// One changer per user session: a named mutex held while it runs, and a named event through
// which a second start (or --next) asks the running one to change now. The uninstaller
// and the session's end reach the running changer through its hidden window (ChangerWindow).
#include "changer/win32/windows_api.h"

namespace nimbrel::changer {

inline constexpr const char* ChangerMutexName = "Local\\NimbrelChanger";
inline constexpr const char* ChangeNowEventName = "Local\\NimbrelChangerChangeNow";

// A kernel object's handle, closed at the end.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~OwnedHandle();
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

class SessionInstance {
public:
    // Takes the session's place if it is free. The change-now event exists before the
    // mutex, so a second start that finds the mutex always finds the event too.
    SessionInstance();
    // Whether this process is the session's changer.
    bool First() const { return first_; }
    // Asks the running changer to change now; false when it cannot be reached.
    bool AskForChange() const;
    // Signalled when someone asks this changer to change now.
    HANDLE ChangeNowEvent() const { return changeNow_.Get(); }

private:
    OwnedHandle changeNow_;
    OwnedHandle mutex_;
    bool first_ = false;
};

// Whether a changer runs in this session (without taking its place).
bool ChangerRuns();

} // namespace nimbrel::changer
