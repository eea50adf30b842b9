#include "controls/qt/check_box.h"

namespace nimbrel {

TQtCheckBox::TQtCheckBox(QWidget* parent) : TQtCheckBox(QString(), parent) {}

TQtCheckBox::TQtCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    // Qt raises toggled for every change of state, by code or by the user, and never for
    // setting the state the box already has.
    connect(this, &QCheckBox::toggled, this, &TQtCheckBox::Clicked);
}

} // namespace nimbrel
