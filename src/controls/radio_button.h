#pragma once
// A radio button whose click event means "I became checked", by the user or by code.
// Checking one unchecks the other radio buttons of the same parent (its group box);
// being unchecked raises nothing. Code may also uncheck it, leaving none checked.
#include "controls/control.h"

#include <functional>

namespace nimbrel {

class TRadioButtonPeer : public TControlPeer {
public:
    virtual void ShowChecked(bool checked) = 0;
};

class TRadioButton : public TControl {
public:
    using TControl::TControl;

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    // Raised after it became checked and the others of its group were unchecked.
    std::function<void()> OnClick;

    // For the frontend: the user chose it (a click on a checked one changes nothing).
    void UserCheck() { SetChecked(true); }

protected:
    void ShowState() override;

private:
    void Show(bool checked);

    bool checked_ = false;
};

} // namespace nimbrel
