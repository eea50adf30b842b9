#include "controls/qt/track_bar.h"

#include "controls/error_report.h"
#include "controls/qt/accessible_faces.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTimerEvent>
#include <QWheelEvent>

namespace nimbrel::qt {
TQtTrackBar::TQtTrackBar(TTrackBar& control, QWidget* parent) : TQtPeer(parent) {
    InstallAccessibleFaces();
    setOrientation(Qt::Horizontal);
    setTickPosition(QSlider::TicksBelow);
    connect(this, &QSlider::valueChanged, this, [this, &control](int value) {
        if (userInput_)
            RunReported([&control, value] { control.UserMove(value); });
    });
}

void TQtTrackBar::ShowRange(int min, int max) {
    const QSignalBlocker quiet(this);
    setRange(min, max);
}

void TQtTrackBar::ShowPosition(int position) {
    const QSignalBlocker quiet(this);
    setValue(position);
}

QString TQtTrackBar::SpokenValue() const {
    if (spokenUnit_.isEmpty())
        return QString::number(value());
    return QStringLiteral("%1 %2").arg(value()).arg(spokenUnit_);
}

void TQtTrackBar::MoveByUser(int position) {
    const QScopedValueRollback<bool> user(userInput_, true);
    setValue(position);
}

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

} // namespace nimbrel::qt
