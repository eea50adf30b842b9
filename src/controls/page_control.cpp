#include "controls/page_control.h"

#include <algorithm>

namespace nimbrel {

TControl* TPageControl::ActivePage() const {
    const auto& pages = Pages();
    return activePage_ >= 0 && activePage_ < static_cast<int>(pages.size()) ? pages[activePage_]
                                                                            : nullptr;
}

void TPageControl::SetActivePage(TControl* page) {
    const auto& pages = Pages();
    const auto found = std::find(pages.begin(), pages.end(), page);
    if (found == pages.end())
        return;
    activePage_ = static_cast<int>(found - pages.begin());
    if (auto* peer = PeerAs<TPageControlPeer>())
        peer->ShowActivePage(activePage_);
}

void TPageControl::UserSelectPage(int index) {
    if (index >= 0 && index < static_cast<int>(Pages().size()))
        activePage_ = index;
}

void TPageControl::ShowState() {
    PeerAs<TPageControlPeer>()->ShowActivePage(activePage_);
}

} // namespace nimbrel
