#include "app/error_report.h"

#include "app/message_box.h"
#include "sysutil/exception.h"

#include <QEvent>
#include <QFont>
#include <QStyleFactory>
#include <QTimer>

namespace nimbrel {
namespace {

// The message of an exception as code page 1250 text; nothing for a silent stop.
bool MessageOf(const std::exception_ptr& error, std::string& message) {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown exception";
    }
    return true;
}

bool IsPaint(const QEvent* event) {
    return event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest;
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("nimbrel-ext"));
    setApplicationDisplayName(QString::fromLatin1(ApplicationTitle));
#ifndef _WIN32
    // The classic look the dialog's pixel geometry was drawn for. Its 8-point font is 11
    // pixels high at 96 pixels per inch and narrow; a condensed sans font at 11 pixels keeps
    // every caption inside its control on any screen.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
        setStyle(classic);
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    setFont(font);
#endif
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    const bool paint = IsPaint(event);
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        if (paint) {
            // No modal loop in the middle of a paint: report once the paint is over.
            QTimer::singleShot(0, this, [error] { ShowException(error); });
        } else {
            ShowException(error);
        }
    }
    return false;
}

void ShowException(const std::exception_ptr& error) {
    std::string message;
    if (!MessageOf(error, message))
        return;
    ShowMessageBox({ApplicationTitle, message, TMessageIcon::Error});
}

} // namespace nimbrel
