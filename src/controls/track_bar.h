#pragma once
// A track bar whose change event means "the user moved it": a position set by code is
// moved into the range and raises nothing.
#include <QSlider>

namespace nimbrel {

class TTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TTrackBar(QWidget* parent = nullptr);

    int Position() const { return value(); }
    // Clamped into Min..Max; raises no Changed.
    void SetPosition(int position);
    // Raises no Changed, even when the position has to move into the new range.
    void SetRange(int min, int max);

signals:
    // The user moved the bar (mouse, keyboard or wheel).
    void Changed();

private:
    bool settingByCode_ = false;
};

} // namespace nimbrel
