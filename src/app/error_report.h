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

} // namespace nimbrel
