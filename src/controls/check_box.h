#pragma once
// A check box whose click event means "my state changed", whether the user or the code
// changed it; setting the state it already has raises nothing.
#include "controls/control.h"

#include <functional>

namespace nimbrel {

class TCheckBoxPeer : public TControlPeer {
public:
    virtual void ShowChecked(bool checked) = 0;
};

class TCheckBox : public TControl {
public:
    using TControl::TControl;

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    // Raised after the state changed.
    std::function<void()> OnClick;

    // For the frontend: the user set the box to `checked` (a click toggles it).
    void UserSetChecked(bool checked) { SetChecked(checked); }

protected:
    void ShowState() override;

private:
    bool checked_ = false;
};

} // namespace nimbrel
