#include "controls/check_box.h"

namespace nimbrel {

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_)
        return;
    checked_ = checked;
    if (auto* peer = PeerAs<TCheckBoxPeer>())
        peer->ShowChecked(checked_);
    if (OnClick)
        OnClick();
}

void TCheckBox::ShowState() {
    PeerAs<TCheckBoxPeer>()->ShowChecked(checked_);
}

} // namespace nimbrel
