#include "controls/control.h"

#include <algorithm>

namespace nimbrel {

void TControl::SetParent(TControl* parent) {
    if (parent_ != nullptr)
        std::erase(parent_->children_, this);
    parent_ = parent;
    if (parent_ != nullptr)
        parent_->children_.push_back(this);
}

bool TControl::IsInside(const TControl* container) const {
    for (const TControl* c = this; c != nullptr; c = c->parent_) {
        if (c == container)
            return true;
    }
    return false;
}

void TControl::SetCaption(std::string_view caption) {
    caption_ = caption;
    if (peer_ != nullptr)
        peer_->ShowCaption(caption_);
}

void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (peer_ != nullptr)
        peer_->ShowEnabled(enabled_);
}

void TControl::SetFocus() {
    if (peer_ != nullptr)
        peer_->TakeFocus();
}

TPoint TControl::ScreenOrigin() const {
    return peer_ != nullptr ? peer_->ScreenOrigin() : TPoint{};
}

void TControl::AttachPeer(TControlPeer* peer) {
    peer_ = peer;
    if (peer_ == nullptr)
        return;
    peer_->ShowCaption(caption_);
    peer_->ShowEnabled(enabled_);
    ShowState();
}

} // namespace nimbrel
