#include "controls/list_box.h"

namespace nimbrel {

void TListBox::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    if (auto* peer = PeerAs<TListBoxPeer>()) {
        peer->ShowItems(items_);
        peer->ShowItemIndex(itemIndex_);
    }
}

void TListBox::SetItemIndex(int index) {
    itemIndex_ = index >= 0 && index < Count() ? index : -1;
    if (auto* peer = PeerAs<TListBoxPeer>())
        peer->ShowItemIndex(itemIndex_);
}

void TListBox::UserClick(int index) {
    itemIndex_ = index >= 0 && index < Count() ? index : -1;
    if (OnClick)
        OnClick();
}

void TListBox::ShowState() {
    auto* peer = PeerAs<TListBoxPeer>();
    peer->ShowItems(items_);
    peer->ShowItemIndex(itemIndex_);
}

} // namespace nimbrel
