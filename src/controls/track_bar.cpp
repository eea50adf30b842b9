#include "controls/track_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTimerEvent>
#include <QWheelEvent>

namespace nimbrel {

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    connect(this, &QSlider::valueChanged, this, [this] {
        if (userInput_ && !settingByCode_) {
            emit Changed();
        }
    });
}

void TTrackBar::SetPosition(int position) {
    const QScopedValueRollback<bool> byCode(settingByCode_, true);
    setValue(position); // the slider clamps into its range
}

void TTrackBar::SetRange(int min, int max) {
    const QScopedValueRollback<bool> byCode(settingByCode_, true);
    setRange(min, max);
}

// A value that changes while the bar handles the user's input was changed by the user.
void TTrackBar::keyPressEvent(QKeyEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::keyPressEvent(event);
}

void TTrackBar::mousePressEvent(QMouseEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::mousePressEvent(event);
}

void TTrackBar::mouseMoveEvent(QMouseEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::mouseMoveEvent(event);
}

void TTrackBar::mouseReleaseEvent(QMouseEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::mouseReleaseEvent(event);
}

void TTrackBar::wheelEvent(QWheelEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::wheelEvent(event);
}

void TTrackBar::timerEvent(QTimerEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::timerEvent(event);
}

} // namespace nimbrel
