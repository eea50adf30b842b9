#pragma once
// The standard error report: an exception that leaves an event handler or a paint is
// shown in a message box with the exception's message, the caption "Nimbrel Extensions"
// and the error icon, and the program goes on. Each frontend catches at its boundary
// (Qt: the application's notify; Win32: the window procedure, before the exception
// crosses a Win32 frame) and calls ShowException.
#include <exception>

namespace nimbrel {

inline constexpr const char* ApplicationTitle = "Nimbrel Extensions";

// The standard error report of one exception (an EAbort shows nothing).
void ShowException(const std::exception_ptr& error);

// Runs an event handler under the standard error report. Catching at the handler keeps the
// toolkit's own frames out of the unwinding, so none of their objects is left behind.
template <class Handler> void RunReported(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        ShowException(std::current_exception());
    }
}

} // namespace nimbrel
