#include "controls/qt/peer.h"

#include <QVariant>

namespace nimbrel::qt {
namespace {

constexpr const char* ControlProperty = "nimbrelControl";

} // namespace

void BindControl(QWidget& widget, TControl& control) {
    widget.setProperty(ControlProperty, QVariant::fromValue(static_cast<void*>(&control)));
    widget.setObjectName(QString::fromStdString(control.Name()));
}

TControl* ControlOfWidget(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->isWindow() ? nullptr : w->parentWidget()) {
        const QVariant bound = w->property(ControlProperty);
        if (bound.isValid())
            return static_cast<TControl*>(bound.value<void*>());
    }
    return nullptr;
}

} // namespace nimbrel::qt
