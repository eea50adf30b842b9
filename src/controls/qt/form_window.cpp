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

    connect(qApp, &QApplication::focusChanged, this, &TQtFormWindow::FocusChanged);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        RunReported([this] { form_.HelpRequested(ControlOfWidget(QApplication::focusWidget())); });
    });
    qApp->installEventFilter(this);
}

TQtFormWindow::~TQtFormWindow() {
    // The base's destructor closes the window, which moves the focus and sends events; the
    // form must hear none of them.
    disconnect(qApp, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
}

// The outer size is the client area plus the frame the window system gives the window.
TSize TQtFormWindow::FrameSize() const {
    const_cast<TQtFormWindow*>(this)->winId(); // the native window, so that its frame is known
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    return {width() + frame.left() + frame.right(), height() + frame.top() + frame.bottom()};
}

void TQtFormWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A restore by the window system is no new showing of the dialog.
    if (!event->spontaneous())
        RunReported([this] { form_.Shown(); });
}

void TQtFormWindow::FocusChanged(QWidget*, QWidget* to) {
    if (to == nullptr || to->window() != this)
        return;
    RunReported([this, to] { form_.FocusMoved(ControlOfWidget(to)); });
}

// The caption's help button puts the application into its "what's this" mode, whose click
// arrives as a WhatsThis event for the clicked widget.
bool TQtFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::WhatsThis && event->type() != QEvent::QueryWhatsThis)
        return QWidget::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return QWidget::eventFilter(watched, event);
    event->accept();
    if (event->type() == QEvent::WhatsThis)
        RunReported([this, widget] { form_.HelpRequested(ControlOfWidget(widget)); });
    return true;
}

} // namespace nimbrel::qt
