#include "changer/win32/win32_wakes.h"

#include "settings/store_values.h"
#include "sysutil/exception.h"

#include <algorithm>
#include <utility>

namespace nimbrel::changer {
namespace {

HINSTANCE ThisProgram() {
    return GetModuleHandleA(nullptr);
}

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ThisProgram();
    windowClass.lpszClassName = ChangerWindowClass;
    RegisterClassA(&windowClass); // a second registration fails harmlessly
}

// Milliseconds until the deadline, rounded up so that the wake never comes early.
DWORD TimeOut(const ChangerClock& clock, std::optional<ChangerClock::Clock::time_point> deadline) {
    if (!deadline)
        return INFINITE;
    const auto left = *deadline - clock.Now();
    if (left <= ChangerClock::Clock::duration::zero())
        return 0;
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<DWORD>(std::min<long long>(milliseconds, INFINITE - 1));
}

} // namespace

Win32Wakes::Win32Wakes(HANDLE changeNow, ChangerClock clock, MessageSink say)
    : changeNow_(changeNow), clock_(clock), say_(std::move(say)),
      storeChanged_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    if (!storeChanged_)
        throw Exception("cannot make an event (system error " + std::to_string(GetLastError()) +
                        ")");
    WatchStore();
    RegisterWindowClass(&Win32Wakes::WindowProcedure);
    // Hidden, but a top-level window: the session's end is told only to those.
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, ChangerWindowClass, "Nimbrel wallpaper changer",
                              WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, ThisProgram(), this);
    if (window_ == nullptr)
        throw Exception("cannot make the changer's window (system error " +
                        std::to_string(GetLastError()) + ")");
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Wakes::~Win32Wakes() {
    if (window_ != nullptr)
        DestroyWindow(window_);
    if (key_ != nullptr)
        RegCloseKey(key_);
}

void Win32Wakes::WatchStore() {
    if (key_ != nullptr)
        RegCloseKey(key_);
    key_ = nullptr;
    // The settings key, or, while it is not there (a user who never saved the dialog), the
    // nearest key above it, watched for its coming: the changer makes no key of its own.
    const std::string settingsKey(store::SettingsKey);
    const std::string parentKey = settingsKey.substr(0, settingsKey.rfind('\\'));
    struct Watch {
        std::string key;
        DWORD changes;
        BOOL subtree;
    };
    const Watch watches[] = {
        {settingsKey, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, FALSE},
        {parentKey, REG_NOTIFY_CHANGE_NAME, TRUE},
        {"Software", REG_NOTIFY_CHANGE_NAME, FALSE},
    };
    for (const Watch& watch : watches) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, watch.key.c_str(), 0, KEY_NOTIFY, &key_) !=
            ERROR_SUCCESS) {
            key_ = nullptr;
            continue;
        }
        const LONG result =
            RegNotifyChangeKeyValue(key_, watch.subtree, watch.changes, storeChanged_.Get(), TRUE);
        if (result != ERROR_SUCCESS)
            throw Exception("cannot watch HKEY_CURRENT_USER\\" + watch.key + " (system error " +
                            std::to_string(result) + ")");
        return;
    }
    throw Exception("cannot watch HKEY_CURRENT_USER\\" + settingsKey);
}

LRESULT CALLBACK Win32Wakes::WindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* wakes = reinterpret_cast<Win32Wakes*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE; // nothing of ours is unsaved
    case WM_ENDSESSION:
        // Everything is saved before each wait: only the goodbye is left to say.
        if (w && wakes != nullptr) {
            wakes->stop_ = true;
            wakes->say_("the session ends; the changer ends");
        }
        return 0;
    case WM_CLOSE:
        if (wakes != nullptr)
            wakes->stop_ = true;
        return 0;
    default:
        return DefWindowProcA(window, message, w, l);
    }
}

bool Win32Wakes::TakeMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            stop_ = true;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return stop_;
}

Wake Win32Wakes::Wait(std::optional<ChangerClock::Clock::time_point> deadline) {
    const HANDLE handles[] = {storeChanged_.Get(), changeNow_};
    for (;;) {
        // Messages sent before the wait (the session's end) are taken first.
        if (TakeMessages())
            return Wake::Stop;
        const DWORD woken =
            MsgWaitForMultipleObjects(2, handles, FALSE, TimeOut(clock_, deadline), QS_ALLINPUT);
        switch (woken) {
        case WAIT_OBJECT_0:
            // Watched again before anything is read, so that no later write is missed.
            WatchStore();
            return Wake::StoreChanged;
        case WAIT_OBJECT_0 + 1:
            return Wake::ChangeNow;
        case WAIT_OBJECT_0 + 2:
            continue; // a message: taken at the top
        case WAIT_TIMEOUT:
            return Wake::TimeUp;
        default:
            throw Exception("the changer's wait failed (system error " +
                            std::to_string(GetLastError()) + ")");
        }
    }
}

} // namespace nimbrel::changer
