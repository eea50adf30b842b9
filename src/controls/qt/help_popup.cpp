#include "controls/qt/help_popup.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

namespace nimbrel::qt {
namespace {

constexpr int MaxWidth = 320;

} // namespace

// A tool tip window: no frame from the window manager, placed where it is asked to be, and
// it takes neither the focus nor the keyboard from the dialog.
TQtHelpPopup::TQtHelpPopup() : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("HelpPopup"));
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(4);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    qApp->installEventFilter(this);
}

TQtHelpPopup::~TQtHelpPopup() {
    qApp->removeEventFilter(this);
}

void TQtHelpPopup::ShowAt(QPoint topLeft, const QString& text) {
    setText(text);
    setMaximumWidth(MaxWidth);
    setMinimumWidth(0);
    adjustSize();
    QPoint place = topLeft;
    if (const QScreen* screen = QGuiApplication::screenAt(topLeft)) {
        const QRect area = screen->availableGeometry();
        place.setX(qBound(area.left(), place.x(), qMax(area.left(), area.right() + 1 - width())));
        place.setY(qBound(area.top(), place.y(), qMax(area.top(), area.bottom() + 1 - height())));
    }
    move(place);
    show();
    raise();
}

// As a help pop-up does, it goes at the next key, click or change of window.
bool TQtHelpPopup::eventFilter(QObject* watched, QEvent* event) {
    if (isVisible()) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::ApplicationDeactivate:
        case QEvent::WindowDeactivate:
            hide();
            break;
        default:
            break;
        }
    }
    return QLabel::eventFilter(watched, event);
}

} // namespace nimbrel::qt
