#pragma once
// The application object and its standard error report: an exception that leaves an
// event handler or a paint is shown in a message box with the exception's message, the
// caption "Nimbrel Extensions" and the error icon, and the program goes on.
#include <QApplication>

#include <exception>

namespace nimbrel {

inline constexpr const char* ApplicationTitle = "Nimbrel Extensions";

class TApplication : public QApplication {
    Q_OBJECT

public:
    // Sets the title, and off Windows the classic style with the 8-point sans font.
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// The standard error report of one exception (an EAbort shows nothing).
void ShowException(const std::exception_ptr& error);

// Runs an event handler under the standard error report. Catching at the handler keeps the
// framework's own frames out of the unwinding, so none of their objects is left behind;
// the application object's report remains for what leaves a paint or a control.
template <class Handler> void RunReported(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        ShowException(std::current_exception());
    }
}

} // namespace nimbrel
