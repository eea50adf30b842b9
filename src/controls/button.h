#pragma once
// A push button. Enter presses it only while it has the focus: no button of the dialog is
// the default or the cancel button.
#include "controls/control.h"

#include <functional>

namespace nimbrel {

class TButton : public TControl {
public:
    using TControl::TControl;

    std::function<void()> OnClick;

    // For the frontend: the user pressed it (mouse, space, Enter or its access key).
    void UserClick();
};

} // namespace nimbrel
