#include "controls/drop_down_list.h"

namespace nimbrel {

void TDropDownList::AddItem(std::string_view item) {
    items_.emplace_back(item);
    if (auto* peer = PeerAs<TDropDownListPeer>())
        peer->ShowItems(items_);
    SetItemIndex(itemIndex_);
}

void TDropDownList::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    if (auto* peer = PeerAs<TDropDownListPeer>())
        peer->ShowItems(items_);
    SetItemIndex(itemIndex_);
}

void TDropDownList::SetItemIndex(int index) {
    itemIndex_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    if (auto* peer = PeerAs<TDropDownListPeer>())
        peer->ShowItemIndex(itemIndex_);
}

std::string TDropDownList::Text() const {
    return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)] : std::string();
}

void TDropDownList::ShowState() {
    auto* peer = PeerAs<TDropDownListPeer>();
    peer->ShowItems(items_);
    peer->ShowItemIndex(itemIndex_);
}

} // namespace nimbrel
