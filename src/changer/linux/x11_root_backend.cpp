#include "changer/linux/x11_root_backend.h"

#include "sysutil/exception.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace nimbrel::changer {
namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

DisplayHandle OpenDisplay(const std::string& name) {
    DisplayHandle display(XOpenDisplay(name.empty() ? nullptr : name.c_str()));
    if (!display)
        throw Exception("cannot open the X display " +
                        (name.empty() ? std::string(XDisplayName(nullptr)) : name));
    return display;
}

// The pixmap a root property names, or None.
Pixmap PixmapOf(Display* display, Window root, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = None;
    if (XGetWindowProperty(display, root, property, 0, 1, False, XA_PIXMAP, &type, &format, &count,
                           &after, &data) == Success &&
        type == XA_PIXMAP && format == 32 && count == 1 && data)
        pixmap = *reinterpret_cast<Pixmap*>(data);
    if (data)
        XFree(data);
    return pixmap;
}

// Freeing another program's retained pixmap can raise an error when it is already gone.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

// The wallpaper's pixels in the server's form, a strip of rows at a time.
class PixelConverter {
public:
    explicit PixelConverter(const Visual* visual)
        : redMask_(visual->red_mask), greenMask_(visual->green_mask), blueMask_(visual->blue_mask),
          redShift_(ShiftOf(redMask_)), greenShift_(ShiftOf(greenMask_)),
          blueShift_(ShiftOf(blueMask_)) {}

    void Convert(const TBitmap& wallpaper, int top, int rows, std::uint32_t* strip) const {
        const int width = wallpaper.Width();
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* pixel = wallpaper.ScanLine(top + y);
            std::uint32_t* out = strip + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x, pixel += 3)
                out[x] = static_cast<std::uint32_t>(
                    ((static_cast<unsigned long>(pixel[2]) << redShift_) & redMask_) |
                    ((static_cast<unsigned long>(pixel[1]) << greenShift_) & greenMask_) |
                    ((static_cast<unsigned long>(pixel[0]) << blueShift_) & blueMask_));
        }
    }

private:
    static int ShiftOf(unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return shift;
    }
    unsigned long redMask_, greenMask_, blueMask_;
    int redShift_, greenShift_, blueShift_;
};

struct GcHandle {
    GcHandle(Display* display, Drawable drawable)
        : display(display), gc(XCreateGC(display, drawable, 0, nullptr)) {}
    ~GcHandle() { XFreeGC(display, gc); }
    GcHandle(const GcHandle&) = delete;
    GcHandle& operator=(const GcHandle&) = delete;
    Display* display;
    GC gc;
};

constexpr int StripRows = 64;

// Copies the 24-bit wallpaper into the pixmap a strip at a time through the connection, so
// that the server's form of the picture is never whole in the changer's memory.
void PutWallpaper(Display* display, Pixmap pixmap, const TBitmap& wallpaper, Visual* visual,
                  int depth) {
    const int width = wallpaper.Width();
    std::vector<std::uint32_t> strip(static_cast<std::size_t>(width) * StripRows);
    const GcHandle gc(display, pixmap);
    const PixelConverter converter(visual);
    for (int top = 0; top < wallpaper.Height(); top += StripRows) {
        const int rows = std::min(StripRows, wallpaper.Height() - top);
        converter.Convert(wallpaper, top, rows, strip.data());
        XImage* image =
            XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                         reinterpret_cast<char*>(strip.data()), static_cast<unsigned>(width),
                         static_cast<unsigned>(rows), 32, width * 4);
        if (!image)
            throw Exception("the X server takes no picture of this screen's kind");
        XPutImage(display, pixmap, gc.gc, image, 0, 0, 0, top, static_cast<unsigned>(width),
                  static_cast<unsigned>(rows));
        image->data = nullptr; // the strip is ours
        XDestroyImage(image);
    }
}

bool attachRefused = false;
int NoteAttachRefused(Display*, XErrorEvent*) {
    attachRefused = true;
    return 0;
}

// A strip of shared memory the server reads the pixels from, saving their copy through the
// connection; detached and gone with it.
class SharedStrip {
public:
    SharedStrip(Display* display, Visual* visual, int depth, int width, int rows)
        : display_(display) {
        image_ =
            XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr,
                            &segment_, static_cast<unsigned>(width), static_cast<unsigned>(rows));
        if (!image_ || image_->bytes_per_line != width * 4 || image_->bits_per_pixel != 32)
            return;
        segment_.shmid = shmget(IPC_PRIVATE,
                                static_cast<std::size_t>(image_->bytes_per_line) *
                                    static_cast<std::size_t>(rows),
                                IPC_CREAT | 0600);
        if (segment_.shmid < 0)
            return;
        void* memory = shmat(segment_.shmid, nullptr, 0);
        // Gone once both ends have let go of it, whatever happens.
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        if (memory == reinterpret_cast<void*>(-1))
            return;
        segment_.shmaddr = image_->data = static_cast<char*>(memory);
        segment_.readOnly = True;
        // A server on another machine (or in another namespace) cannot attach it.
        XSync(display, False);
        attachRefused = false;
        const XErrorHandler old = XSetErrorHandler(NoteAttachRefused);
        const bool sent = XShmAttach(display, &segment_) != 0;
        XSync(display, False);
        XSetErrorHandler(old);
        attached_ = sent && !attachRefused;
    }
    ~SharedStrip() {
        if (attached_) {
            XShmDetach(display_, &segment_);
            XSync(display_, False);
        }
        if (segment_.shmaddr)
            shmdt(segment_.shmaddr);
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
    }
    SharedStrip(const SharedStrip&) = delete;
    SharedStrip& operator=(const SharedStrip&) = delete;

    bool Usable() const { return attached_; }
    XImage* Image() const { return image_; }
    std::uint32_t* Pixels() const { return reinterpret_cast<std::uint32_t*>(segment_.shmaddr); }

private:
    Display* display_;
    XShmSegmentInfo segment_{0, -1, nullptr, False};
    XImage* image_ = nullptr;
    bool attached_ = false;
};

// As PutWallpaper, through shared memory where the server offers it; false when it does not.
bool PutWallpaperShared(Display* display, Pixmap pixmap, const TBitmap& wallpaper, Visual* visual,
                        int depth) {
    if (!XShmQueryExtension(display))
        return false;
    const int width = wallpaper.Width();
    const SharedStrip strip(display, visual, depth, width, StripRows);
    if (!strip.Usable())
        return false;
    const GcHandle gc(display, pixmap);
    const PixelConverter converter(visual);
    for (int top = 0; top < wallpaper.Height(); top += StripRows) {
        const int rows = std::min(StripRows, wallpaper.Height() - top);
        converter.Convert(wallpaper, top, rows, strip.Pixels());
        XShmPutImage(display, pixmap, gc.gc, strip.Image(), 0, 0, 0, top,
                     static_cast<unsigned>(width), static_cast<unsigned>(rows), False);
        XSync(display, False); // the server has read the strip: it may be written again
    }
    return true;
}

} // namespace

// The server's end is the session's: the changer ends with it, at once (a picture being
// rendered ahead on another thread is dropped; its file is never half made).
static int SessionEnded(Display*) {
    std::fputs("nimbrel-changer: the X display has ended\n", stderr);
    std::_Exit(0);
}

X11RootBackend::X11RootBackend(std::string display)
    : display_(std::move(display)), session_(OpenDisplay(display_).release()) {
    XSetIOErrorHandler(SessionEnded);
}

X11RootBackend::~X11RootBackend() {
    XCloseDisplay(session_);
}

int X11RootBackend::SessionConnection() const {
    return ConnectionNumber(session_);
}

void X11RootBackend::TakeSessionEvents() {
    while (XPending(session_) > 0) {
        XEvent event;
        XNextEvent(session_, &event);
    }
}

ScreenLayout X11RootBackend::Screen() {
    const DisplayHandle display = OpenDisplay(display_);
    const int screen = DefaultScreen(display.get());
    ScreenLayout layout{
        DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen), {}};
    int events = 0, errors = 0;
    if (XRRQueryExtension(display.get(), &events, &errors)) {
        int count = 0;
        XRRMonitorInfo* monitors =
            XRRGetMonitors(display.get(), RootWindow(display.get(), screen), True, &count);
        for (int i = 0; monitors && i < count; ++i)
            layout.monitors.push_back(
                {monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
        if (monitors)
            XRRFreeMonitors(monitors);
    }
    return layout;
}

void X11RootBackend::Show(const TBitmap& wallpaper, const std::string&) {
    const DisplayHandle display = OpenDisplay(display_);
    Display* const d = display.get();
    const int screen = DefaultScreen(d);
    const Window root = RootWindow(d, screen);
    const int depth = DefaultDepth(d, screen);
    Visual* const visual = DefaultVisual(d, screen);
    if (depth < 24 || visual->c_class != TrueColor)
        throw Exception("the X screen has " + std::to_string(depth) +
                        " bits of colour; the wallpaper needs 24");
    if (wallpaper.Width() != DisplayWidth(d, screen) ||
        wallpaper.Height() != DisplayHeight(d, screen))
        throw Exception("the screen changed size while the wallpaper was made");

    // The pixmap outlives this connection; the next wallpaper frees it.
    XSetCloseDownMode(d, RetainPermanent);
    const Pixmap pixmap =
        XCreatePixmap(d, root, static_cast<unsigned>(wallpaper.Width()),
                      static_cast<unsigned>(wallpaper.Height()), static_cast<unsigned>(depth));
    if (!PutWallpaperShared(d, pixmap, wallpaper, visual, depth))
        PutWallpaper(d, pixmap, wallpaper, visual, depth);

    const Atom rootPixmap = XInternAtom(d, "_XROOTPMAP_ID", False);
    const Atom setRootPixmap = XInternAtom(d, "ESETROOT_PMAP_ID", False);
    XGrabServer(d);
    // A pixmap both names agree on was left by a program that retained it, as we do: its
    // resources go with it.
    const Pixmap previous = PixmapOf(d, root, rootPixmap);
    if (previous != None && previous == PixmapOf(d, root, setRootPixmap)) {
        XErrorHandler old = XSetErrorHandler(IgnoreErrors);
        XKillClient(d, previous);
        XSync(d, False);
        XSetErrorHandler(old);
    }
    XChangeProperty(d, root, rootPixmap, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pixmap), 1);
    XChangeProperty(d, root, setRootPixmap, XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pixmap), 1);
    XSetWindowBackgroundPixmap(d, root, pixmap);
    XClearWindow(d, root);
    XUngrabServer(d);
    XSync(d, False);
}

} // namespace nimbrel::changer
