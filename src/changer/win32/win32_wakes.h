#pragma once
// What wakes the changer on Windows, in one wait (MsgWaitForMultipleObjects) with the
// deadline as its time-out: a write to the settings key (RegNotifyChangeKeyValue), the
// change-now event of a second start, and the messages of its hidden window (the session's
// end, or WM_CLOSE from the uninstaller). Nothing polls.
#include "changer/changer.h"
#include "changer/win32/session_instance.h"

#include <string>

namespace nimbrel::changer {

// The class of the changer's hidden window: the uninstaller finds the changer by it.
inline constexpr const char* ChangerWindowClass = "NimbrelChangerWindow";

class Win32Wakes : public WakeSource {
public:
    // `changeNow`: the session's change-now event (owned by the caller). `say` hears of
    // the session's end at once: the system may end the process right after telling it.
    // Raises Exception when the settings key cannot be watched.
    Win32Wakes(HANDLE changeNow, ChangerClock clock, MessageSink say);
    ~Win32Wakes() override;
    Win32Wakes(const Win32Wakes&) = delete;
    Win32Wakes& operator=(const Win32Wakes&) = delete;

    Wake Wait(std::optional<ChangerClock::Clock::time_point> deadline) override;

private:
    // Asks for the next write to the settings key (or, while it is missing, for its making)
    // to set storeChanged_; raises Exception on failure.
    void WatchStore();
    // Runs the window's messages; answers whether one of them ends the changer.
    bool TakeMessages();
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l);

    HANDLE changeNow_;
    ChangerClock clock_;
    MessageSink say_;
    HKEY key_ = nullptr;
    OwnedHandle storeChanged_;
    HWND window_ = nullptr;
    bool stop_ = false;
};

} // namespace nimbrel::changer
