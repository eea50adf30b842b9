// set-monitors WxH+X+Y...: replaces the monitors RandR reports on $DISPLAY with these (the
// first takes the screen's output, the others have none), as a test's several screens.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("set-monitors: no display\n", stderr);
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResources(display, root);
    if (!resources || resources->noutput == 0) {
        std::fputs("set-monitors: the screen has no output\n", stderr);
        return 1;
    }
    RROutput output = resources->outputs[0];
    XRRFreeScreenResources(resources);
    for (int i = 1; i < argc; ++i) {
        XRRMonitorInfo monitor{};
        if (std::sscanf(argv[i], "%dx%d+%d+%d", &monitor.width, &monitor.height, &monitor.x,
                        &monitor.y) != 4) {
            std::fprintf(stderr, "set-monitors: '%s' is not WxH+X+Y\n", argv[i]);
            return 2;
        }
        monitor.outputs = i == 1 ? &output : nullptr;
        monitor.noutput = i == 1 ? 1 : 0;
        monitor.name = XInternAtom(display, ("MONITOR" + std::to_string(i)).c_str(), False);
        monitor.mwidth = monitor.width;
        monitor.mheight = monitor.height;
        XRRSetMonitor(display, root, &monitor);
    }
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
