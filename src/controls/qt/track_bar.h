#pragma once
// A track bar whose change event means "the user moved it": a position or range set by
// code (through any setter) raises nothing; the position is kept inside the range.
#include <QSlider>

namespace nimbrel {

class TQtTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TQtTrackBar(QWidget* parent = nullptr);

    int Position() const { return value(); }
    // Clamped into the range; raises no Changed.
    void SetPosition(int position);
    // Raises no Changed, even when the position has to move into the new range.
    void SetRange(int min, int max);

signals:
    // The user moved the bar (mouse, keyboard or wheel).
    void Changed();

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
    bool settingByCode_ = false;
};

} // namespace nimbrel
