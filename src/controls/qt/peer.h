#pragma once
// What every Qt window of a control does for its control, and the way back from a widget
// (or any widget inside it, such as a list's viewport) to its control.
#include "controls/control.h"
#include "controls/qt/text.h"

#include <QPoint>
#include <QWidget>

namespace nimbrel::qt {

// Marks `widget` as the window of `control`.
void BindControl(QWidget& widget, TControl& control);
// The control of the widget or of its nearest parent that has one; nullptr outside.
TControl* ControlOfWidget(const QWidget* widget);

// The common part of a peer: `Widget` is the Qt class, `Peer` the control's peer interface.
template <class Widget, class Peer> class TQtPeer : public Widget, public Peer {
public:
    explicit TQtPeer(QWidget* parent) : Widget(parent) {}

    void ShowCaption(std::string_view) override {}
    void ShowEnabled(bool enabled) override { Widget::setEnabled(enabled); }
    void TakeFocus() override { Widget::setFocus(Qt::OtherFocusReason); }
    bool HasFocus() const override { return Widget::hasFocus(); }
    TPoint ScreenOrigin() const override {
        const QPoint origin = Widget::mapToGlobal(QPoint(0, 0));
        return {origin.x(), origin.y()};
    }
};

} // namespace nimbrel::qt
