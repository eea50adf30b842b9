#include "controls/track_bar.h"

namespace nimbrel {

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    // Every value change that code did not make comes from the user's mouse, keys or wheel.
    connect(this, &QSlider::valueChanged, this, [this] {
        if (!settingByCode_) {
            emit Changed();
        }
    });
}

void TTrackBar::SetPosition(int position) {
    settingByCode_ = true;
    setValue(position); // the slider clamps into its range
    settingByCode_ = false;
}

void TTrackBar::SetRange(int min, int max) {
    settingByCode_ = true;
    setRange(min, max);
    settingByCode_ = false;
}

} // namespace nimbrel
