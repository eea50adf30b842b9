#include "controls/qt/track_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTimerEvent>
#include <QWheelEvent>

namespace nimbrel {

TQtTrackBar::TQtTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    connect(this, &QSlider::valueChanged, this, [this] {
        if (userInput_ && !settingByCode_) {
            emit Changed();
        }
    });
}

void TQtTrackBar::SetPosition(int position) {
    const QScopedValueRollback<bool> byCode(settingByCode_, true);
    setValue(position); // the slider clamps into its range
}

void TQtTrackBar::SetRange(int min, int max) {
    const QScopedValueRollback<bool> byCode(settingByCode_, true);
    setRange(min, max);
}

// A value that changes while the bar handles the user's input was changed by the user.
void TQtTrackBar::keyPressEvent(QKeyEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::keyPressEvent(event);
}

void TQtTrackBar::mousePressEvent(QMouseEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::mousePressEvent(event);
}

void TQtTrackBar::mouseMoveEvent(QMouseEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::mouseMoveEvent(event);
}

void TQtTrackBar::mouseReleaseEvent(QMouseEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::mouseReleaseEvent(event);
}

void TQtTrackBar::wheelEvent(QWheelEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::wheelEvent(event);
}

void TQtTrackBar::timerEvent(QTimerEvent* event) {
    const QScopedValueRollback<bool> user(userInput_, true);
    QSlider::timerEvent(event);
}

} // namespace nimbrel
