#include "controls/radio_button.h"

namespace nimbrel {

TRadioButton::TRadioButton(QWidget* parent) : TRadioButton(QString(), parent) {}

TRadioButton::TRadioButton(const QString& caption, QWidget* parent)
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

void TRadioButton::SetChecked(bool checked) {
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
