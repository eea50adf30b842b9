#pragma once
// The Qt window of the track bar: a horizontal slider with ticks below. A value that
// changes while the slider handles the user's input was changed by the user. A screen
// reader hears its position with its unit ("60 minutes").
#include "controls/qt/peer.h"
#include "controls/track_bar.h"

#include <QSlider>

namespace nimbrel::qt {

class TQtTrackBar : public TQtPeer<QSlider, TTrackBarPeer> {
public:
    TQtTrackBar(TTrackBar& control, QWidget* parent);

    void ShowRange(int min, int max) override;
    void ShowPosition(int position) override;

    void SetSpokenUnit(const QString& unit) { spokenUnit_ = unit; }
    // The position as spoken: the number and the unit.
    QString SpokenValue() const;
    // A move asked for by an assistive tool is the user's.
    void MoveByUser(int position);

protected:
    // Every move by the user comes through one of these.
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void timerEvent(QTimerEvent* event) override; // the repeat of a held page click

private:
    bool userInput_ = false;
    QString spokenUnit_;
};

} // namespace nimbrel::qt
