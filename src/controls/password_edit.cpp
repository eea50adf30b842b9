#include "controls/password_edit.h"

namespace nimbrel {

void TPasswordEdit::SetText(std::string_view text) {
    text_ = text;
    if (auto* peer = PeerAs<TEditPeer>())
        peer->ShowText(text_);
}

void TPasswordEdit::ShowState() {
    PeerAs<TEditPeer>()->ShowText(text_);
}

} // namespace nimbrel
