#include "render/screen_layout.h"

#include <algorithm>

namespace nimbrel::render {

std::vector<MonitorRect> ScreenLayout::Monitors() const {
    std::vector<MonitorRect> cut;
    for (const MonitorRect& monitor : monitors) {
        const int left = std::max(0, monitor.left);
        const int top = std::max(0, monitor.top);
        const int right = std::min(width, monitor.left + monitor.width);
        const int bottom = std::min(height, monitor.top + monitor.height);
        if (left < right && top < bottom)
            cut.push_back({left, top, right - left, bottom - top});
    }
    if (cut.empty() && width > 0 && height > 0)
        cut.push_back({0, 0, width, height});
    return cut;
}

} // namespace nimbrel::render
