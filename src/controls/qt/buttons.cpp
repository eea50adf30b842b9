#include "controls/qt/buttons.h"

#include "controls/error_report.h"

namespace nimbrel::qt {

TQtButton::TQtButton(TButton& control, QWidget* parent) : TQtPeer(parent) {
    // Enter presses a button only while it has the focus; neither is the default.
    setAutoDefault(true);
    connect(this, &QPushButton::clicked, this,
            [&control] { RunReported([&control] { control.UserClick(); }); });
}

TQtCheckBox::TQtCheckBox(TCheckBox& control, QWidget* parent) : TQtPeer(parent) {
    connect(this, &QCheckBox::clicked, this, [&control](bool checked) {
        RunReported([&control, checked] { control.UserSetChecked(checked); });
    });
}

TQtRadioButton::TQtRadioButton(TRadioButton& control, QWidget* parent) : TQtPeer(parent) {
    setAutoExclusive(true);
    connect(this, &QRadioButton::clicked, this,
            [&control] { RunReported([&control] { control.UserCheck(); }); });
}

void TQtRadioButton::ShowChecked(bool checked) {
    if (checked || !isChecked()) {
        setChecked(checked);
        return;
    }
    // Qt refuses to uncheck the checked button of an exclusive group; code may.
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}

} // namespace nimbrel::qt
