#include "changer/win32/session_instance.h"

namespace nimbrel::changer {

OwnedHandle::~OwnedHandle() {
    if (*this)
        CloseHandle(handle_);
}

SessionInstance::SessionInstance()
    : changeNow_(CreateEventA(nullptr, FALSE, FALSE, ChangeNowEventName)),
      mutex_(CreateMutexA(nullptr, TRUE, ChangerMutexName)) {
    first_ = static_cast<bool>(mutex_) && GetLastError() != ERROR_ALREADY_EXISTS;
}

bool SessionInstance::AskForChange() const {
    return changeNow_ && SetEvent(changeNow_.Get());
}

bool ChangerRuns() {
    const OwnedHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, ChangerMutexName));
    return static_cast<bool>(mutex);
}

} // namespace nimbrel::changer
