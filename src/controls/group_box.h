#pragma once
// Containers: a framed group with a caption, a page of the page control, a plain panel.
// They carry no behaviour of their own beyond being parents (help numbers, radio groups).
#include "controls/control.h"

namespace nimbrel {

class TGroupBox : public TControl {
public:
    using TControl::TControl;
};

class TTabSheet : public TControl {
public:
    using TControl::TControl;
};

class TPanel : public TControl {
public:
    using TControl::TControl;
};

} // namespace nimbrel
