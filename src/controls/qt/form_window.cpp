#include "controls/qt/form_window.h"

#include "controls/error_report.h"
#include "controls/qt/product_icon.h"

#include <QApplication>
#include <QShortcut>
#include <QShowEvent>
#include <QWindow>

namespace nimbrel::qt {

TQtFormWindow::TQtFormWindow(TForm& form, const TLayoutRow& row) : TQtPeer(nullptr), form_(form) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    BindControl(*this, form);
    setWindowIcon(ProductIcon());
    setFixedSize(row.Bounds.Width, row.Bounds.Height);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        RunReported([this] { form_.HelpRequested(ControlOfWidget(QApplication::focusWidget())); });
    });
    qApp->installEventFilter(this);
}

TQtFormWindow::~TQtFormWindow() {
    // The base's destructor closes the window, which moves the focus and sends events; the
    // form must hear none of them.
    qApp->removeEventFilter(this);
}

// The outer size is the client area plus the frame the window system gives the window,
// which a window manager tells only once the window is shown. The native window is not
// made for asking: a window moved before it exists is placed by its frame's corner.
TSize TQtFormWindow::FrameSize() const {
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    return {width() + frame.left() + frame.right(), height() + frame.top() + frame.bottom()};
}

// The window system reports the frame with a move, a resize or the activation that follows
// the showing.
bool TQtFormWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
    case QEvent::UpdateRequest:
        if (isVisible()) {
            const TSize outer = FrameSize();
            const QSize frame(outer.Width, outer.Height);
            if (frame != knownFrame_) {
                knownFrame_ = frame;
                RunReported([this] { form_.FrameChanged(); });
            }
        }
        break;
    default:
        break;
    }
    return handled;
}

void TQtFormWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A restore by the window system is no new showing of the dialog.
    if (!event->spontaneous())
        RunReported([this] { form_.Shown(); });
}

// The form hears where the focus went before the control that received it does, so that
// the page's entering comes before the field's own.
// The caption's help button puts the application into its "what's this" mode, whose click
// arrives as a WhatsThis event for the clicked widget.
bool TQtFormWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::FocusIn && type != QEvent::WhatsThis && type != QEvent::QueryWhatsThis)
        return QWidget::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return QWidget::eventFilter(watched, event);
    if (type == QEvent::FocusIn) {
        RunReported([this, widget] { form_.FocusMoved(ControlOfWidget(widget)); });
        return QWidget::eventFilter(watched, event);
    }
    event->accept();
    if (event->type() == QEvent::WhatsThis)
        RunReported([this, widget] { form_.HelpRequested(ControlOfWidget(widget)); });
    return true;
}

} // namespace nimbrel::qt
