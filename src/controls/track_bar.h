#pragma once
// A track bar whose change event means "the user moved it": a position or range set by
// code raises nothing; the position is kept inside the range.
#include "controls/control.h"

#include <functional>

namespace nimbrel {

class TTrackBarPeer : public TControlPeer {
public:
    virtual void ShowRange(int min, int max) = 0;
    virtual void ShowPosition(int position) = 0;
};

class TTrackBar : public TControl {
public:
    using TControl::TControl;

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    // Clamped into the range; raises no OnChange.
    void SetPosition(int position);
    // Raises no OnChange, even when the position has to move into the new range.
    void SetRange(int min, int max);

    // The user moved the bar (mouse, keyboard or wheel).
    std::function<void()> OnChange;

    // For the frontend: the user moved the thumb to `position`. Raises OnChange when the
    // position changed.
    void UserMove(int position);

protected:
    void ShowState() override;

private:
    int Clamped(int position) const;

    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
};

} // namespace nimbrel
