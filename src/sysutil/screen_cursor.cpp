#include "sysutil/screen_cursor.h"

#include <atomic>
#include <utility>

namespace nimbrel {
namespace {
// Atomic: nimbrel-tool expands files on several threads at once, each showing the
// hourglass while it works; only the GUI, on its one thread, installs a handler.
std::atomic<TCursor> current{TCursor::crDefault};
std::function<void(TCursor)>& Handler() {
    static std::function<void(TCursor)> handler;
    return handler;
}
} // namespace

TCursor ScreenCursor() {
    return current;
}

void SetScreenCursor(TCursor cursor) {
    current = cursor;
    if (Handler())
        Handler()(cursor);
}

void SetScreenCursorHandler(std::function<void(TCursor)> handler) {
    Handler() = std::move(handler);
}

} // namespace nimbrel
