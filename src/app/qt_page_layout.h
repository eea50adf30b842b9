#pragma once
// Small helpers for laying the dialog's controls out at their pixel positions.
#include "app/help.h"

#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>

namespace nimbrel {

// Names a control, puts it at its place relative to its parent and gives it its help number.
template <class Control>
Control* Place(Control* control, const char* name, QRect geometry, int help = 0) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    if (help != 0)
        SetHelpContext(control, help);
    return control;
}

// A label that sizes itself to its text, with its top-left corner at (left, top).
inline QLabel* AutoSizeLabel(QWidget* parent, const char* name, const char* caption, int left,
                             int top) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

// A label of fixed size.
inline QLabel* FixedLabel(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    return Place(label, name, geometry);
}

} // namespace nimbrel
