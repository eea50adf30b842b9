#include "controls/qt/application.h"

#include "controls/error_report.h"
#include "controls/qt/text.h"

#include <QCursor>
#include <QEvent>
#include <QFont>
#include <QMessageBox>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <QToolTip>

#include <cstdint>

namespace nimbrel::qt {
namespace {

bool IsPaint(const QEvent* event) {
    return event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest;
}

// The stored texts break lines with a bare carriage return; Qt breaks on line feeds.
QString DisplayText(const std::string& text) {
    QString shown = ToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// HELP_SETPOPUP_POS carries the point as x in the low word and y in the high word.
QPoint UnpackPoint(std::uintptr_t data) {
    return {static_cast<std::int16_t>(data & 0xFFFF), static_cast<std::int16_t>(data >> 16)};
}

} // namespace

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {
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

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
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

void TQtToolkit::RunMessageLoop(TForm&) {
    QApplication::exec();
}

void TQtToolkit::ProcessMessages() {
    QCoreApplication::processEvents();
}

void TQtToolkit::ShowMessageBox(const TMessageBoxRequest& request) {
    QMessageBox box(request.icon == TMessageIcon::Error ? QMessageBox::Critical
                                                        : QMessageBox::NoIcon,
                    ToQString(request.caption), DisplayText(request.text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TQtToolkit::ShowScreenCursor(TCursor cursor) {
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    if (cursor == TCursor::crHourGlass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void TQtToolkit::PresentHelp(const platform::HelpRequest& request) {
    if (request.command == platform::HelpSetPopupPos) {
        helpPosition_ = UnpackPoint(request.data);
    } else if (request.command == platform::HelpContextPopup) {
        QToolTip::showText(helpPosition_, QStringLiteral("%1\nTopic %2")
                                              .arg(ToQString(request.helpFile))
                                              .arg(static_cast<qulonglong>(request.data)));
    }
}

TSize TQtToolkit::ScreenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? TSize{screen->geometry().width(), screen->geometry().height()} : TSize{};
}

} // namespace nimbrel::qt
