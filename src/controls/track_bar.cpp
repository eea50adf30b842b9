#include "controls/track_bar.h"

#include <algorithm>

namespace nimbrel {

int TTrackBar::Clamped(int position) const {
    return std::clamp(position, min_, max_);
}

void TTrackBar::SetPosition(int position) {
    position_ = Clamped(position);
    if (auto* peer = PeerAs<TTrackBarPeer>())
        peer->ShowPosition(position_);
}

void TTrackBar::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    if (auto* peer = PeerAs<TTrackBarPeer>())
        peer->ShowRange(min_, max_);
    SetPosition(position_);
}

void TTrackBar::UserMove(int position) {
    const int before = position_;
    SetPosition(position);
    if (position_ != before && OnChange)
        OnChange();
}

void TTrackBar::ShowState() {
    auto* peer = PeerAs<TTrackBarPeer>();
    peer->ShowRange(min_, max_);
    peer->ShowPosition(position_);
}

} // namespace nimbrel
