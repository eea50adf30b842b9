#pragma once
// A static text. Its caption may change at run time; the layout says whether it sizes
// itself to its text or wraps inside its rectangle.
#include "controls/control.h"

namespace nimbrel {

class TLabel : public TControl {
public:
    using TControl::TControl;
};

} // namespace nimbrel
