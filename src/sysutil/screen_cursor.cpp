#include "sysutil/screen_cursor.h"

#include <utility>

namespace nimbrel {
namespace {
TCursor current = TCursor::crDefault;
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
