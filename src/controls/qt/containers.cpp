#include "controls/qt/containers.h"

#include "controls/error_report.h"

#include <QSignalBlocker>

namespace nimbrel::qt {

void TQtLabel::ShowCaption(std::string_view caption) {
    setText(ToQString(caption));
    if (autoSize_)
        adjustSize();
}

void TQtPanel::ShowCaption(std::string_view caption) {
    // A page shows its caption on its tab; the stack between page and tab widget is Qt's.
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            const int index = tabs->indexOf(this);
            if (index >= 0)
                tabs->setTabText(index, ToQString(caption));
            return;
        }
    }
}

TQtPageControl::TQtPageControl(TPageControl& control, QWidget* parent) : TQtPeer(parent) {
    connect(this, &QTabWidget::currentChanged, this, [&control](int index) {
        RunReported([&control, index] { control.UserSelectPage(index); });
    });
}

void TQtPageControl::ShowActivePage(int index) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
}

} // namespace nimbrel::qt
