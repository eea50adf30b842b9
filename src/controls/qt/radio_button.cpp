#include "controls/qt/radio_button.h"

namespace nimbrel {

TQtRadioButton::TQtRadioButton(QWidget* parent) : TQtRadioButton(QString(), parent) {}

TQtRadioButton::TQtRadioButton(const QString& caption, QWidget* parent)
    : QRadioButton(caption, parent) {
    // Auto-exclusive buttons of one parent uncheck each other before the newly checked one
    // reports its toggle.
    setAutoExclusive(true);
    connect(this, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            emit Clicked();
        }
    });
}

void TQtRadioButton::SetChecked(bool checked) {
    if (checked || !isChecked()) {
        setChecked(checked);
        return;
    }
    // Qt refuses to uncheck the checked button of an exclusive group; code may.
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}

} // namespace nimbrel
