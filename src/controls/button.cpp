#include "controls/button.h"

namespace nimbrel {

void TButton::UserClick() {
    if (Enabled() && OnClick)
        OnClick();
}

} // namespace nimbrel
