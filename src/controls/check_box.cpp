#include "controls/check_box.h"

namespace nimbrel {

TCheckBox::TCheckBox(QWidget* parent) : TCheckBox(QString(), parent) {}

TCheckBox::TCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    // Qt raises toggled for every change of state, by code or by the user, and never for
    // setting the state the box already has.
    connect(this, &QCheckBox::toggled, this, &TCheckBox::Clicked);
}

} // namespace nimbrel
