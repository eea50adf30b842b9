#include "controls/radio_button.h"

namespace nimbrel {

void TRadioButton::Show(bool checked) {
    checked_ = checked;
    if (auto* peer = PeerAs<TRadioButtonPeer>())
        peer->ShowChecked(checked_);
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == checked_)
        return;
    if (!checked) {
        Show(false);
        return;
    }
    if (Parent() != nullptr) {
        for (TControl* sibling : Parent()->Children()) {
            auto* radio = dynamic_cast<TRadioButton*>(sibling);
            if (radio != nullptr && radio != this && radio->checked_)
                radio->Show(false);
        }
    }
    Show(true);
    if (OnClick)
        OnClick();
}

void TRadioButton::ShowState() {
    PeerAs<TRadioButtonPeer>()->ShowChecked(checked_);
}

} // namespace nimbrel
