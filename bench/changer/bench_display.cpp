#include "bench_display.h"

#include <X11/Xlib.h>

#include <poll.h>

namespace nimbrel::bench {

// -noreset: the root picture outlives the programs that set it.
BenchDisplay::BenchDisplay(int width, int height) : server_(width, height, {"-noreset"}) {
    if (server_.Name().empty())
        return;
    display_ = XOpenDisplay(server_.Name().c_str());
    if (!display_)
        return;
    name_ = server_.Name();
    rootPicture_ = XInternAtom(display_, "_XROOTPMAP_ID", False);
    XSelectInput(display_, DefaultRootWindow(display_), PropertyChangeMask);
    XSync(display_, False);
}

BenchDisplay::~BenchDisplay() {
    if (display_)
        XCloseDisplay(display_);
}

void BenchDisplay::DropChanges() {
    XSync(display_, False);
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
    }
}

bool BenchDisplay::WaitForNewRootPicture(std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == PropertyNotify && event.xproperty.atom == rootPicture_)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd watched{ConnectionNumber(display_), POLLIN, 0};
        poll(&watched, 1, static_cast<int>(left.count()));
    }
}

} // namespace nimbrel::bench
