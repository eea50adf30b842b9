#pragma once
// The outputs of a Wayland compositor, as its wl_output objects tell them: each one's name,
// current mode and place (laid side by side where the compositor tells none). For the compositors
// that have no IPC of their own to ask (the ones swaybg serves).
#include "changer/screen_layout.h"

#include <string>
#include <vector>

namespace nimbrel::changer {

struct WaylandOutput {
    std::string name; // empty when the compositor is too old to tell it
    MonitorRect rect;
};

// The outputs of the compositor at $WAYLAND_DISPLAY. Raises Exception when it cannot be
// reached or reports none.
std::vector<WaylandOutput> WaylandOutputs();

// The screen the outputs make together, one monitor each.
ScreenLayout LayoutOfOutputs(const std::vector<WaylandOutput>& outputs);
// The name of the output at `rect`; raises Exception when none is there (the outputs changed
// since the wallpaper was made for them).
std::string OutputNameAt(const std::vector<WaylandOutput>& outputs, const MonitorRect& rect);

} // namespace nimbrel::changer
