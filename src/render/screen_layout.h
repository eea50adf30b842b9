#pragma once
// The desktop a wallpaper covers: one picture of the whole screen, and the monitors it shows
// on, each of which gets a render of its own.
#include <vector>

namespace nimbrel::render {

struct MonitorRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const MonitorRect&, const MonitorRect&) = default;
};

struct ScreenLayout {
    int width = 0;
    int height = 0;
    // Empty: the whole screen is one monitor.
    std::vector<MonitorRect> monitors;
    // The monitors, or the whole screen as one when none is reported; each cut to the screen.
    std::vector<MonitorRect> Monitors() const;
    friend bool operator==(const ScreenLayout&, const ScreenLayout&) = default;
};

} // namespace nimbrel::render
