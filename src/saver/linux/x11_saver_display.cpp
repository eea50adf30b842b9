#include "saver/linux/x11_saver_display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <poll.h>
#include <vector>

namespace nimbrel::saver {
namespace {

std::atomic<bool> stopRequested{false};

// The window given by the session's screen saver may go at any moment; drawing into it
// then raises an error that only means the saver is done.
std::atomic<bool> windowLost{false};
int NoteLostWindow(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable)
        windowLost = true;
    return 0;
}

constexpr int OwnWindowWidth = 960;
constexpr int OwnWindowHeight = 540;

int ShiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// A large font for the product's name when the server has one, else the server's default.
XFontStruct* NameFont(Display* display) {
    for (const char* name : {"-*-helvetica-bold-r-normal--34-*-*-*-*-*-iso8859-1",
                             "-*-*-bold-r-normal--24-*-*-*-*-*-iso8859-1", "fixed"})
        if (XFontStruct* font = XLoadQueryFont(display, name))
            return font;
    return nullptr;
}

} // namespace

void X11SaverDisplay::RequestStop() {
    stopRequested = true;
}

X11SaverDisplay::X11SaverDisplay(const std::string& displayName, Target target, Window window)
    : target_(target) {
    display_ = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display_)
        throw EDisplayUnusable(
            "cannot open the X display " +
            (displayName.empty() ? std::string(XDisplayName(nullptr)) : displayName));
    XSetErrorHandler(NoteLostWindow);
    const int screen = DefaultScreen(display_);
    switch (target) {
    case Target::GivenWindow:
        window_ = window;
        break;
    case Target::Root:
        window_ = RootWindow(display_, screen);
        break;
    case Target::OwnWindow: {
        window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, OwnWindowWidth,
                                      OwnWindowHeight, 0, BlackPixel(display_, screen),
                                      BlackPixel(display_, screen));
        XStoreName(display_, window_, "Nimbrel Extensions screen saver");
        // A fixed size: the pictures are rendered for it.
        XSizeHints hints{};
        hints.flags = PMinSize | PMaxSize;
        hints.min_width = hints.max_width = OwnWindowWidth;
        hints.min_height = hints.max_height = OwnWindowHeight;
        XSetWMNormalHints(display_, window_, &hints);
        deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display_, window_, &deleteWindow_, 1);
        XSelectInput(display_, window_,
                     ExposureMask | StructureNotifyMask | KeyPressMask | ButtonPressMask |
                         PointerMotionMask);
        XMapWindow(display_, window_);
        break;
    }
    }
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window_, &attributes) || windowLost) {
        XCloseDisplay(display_);
        throw EDisplayUnusable("there is no window " + std::to_string(window) + " on the display");
    }
    width_ = attributes.width;
    height_ = attributes.height;
    depth_ = attributes.depth;
    visual_ = attributes.visual;
    if (depth_ < 24 || visual_->c_class != TrueColor) {
        XCloseDisplay(display_);
        throw EDisplayUnusable("the window has " + std::to_string(depth_) +
                               " bits of colour; the pictures need 24");
    }
    // Others may watch the given window too; the saver only needs to see it painted over
    // and going away.
    if (target != Target::OwnWindow)
        XSelectInput(display_, window_, ExposureMask | StructureNotifyMask);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
}

X11SaverDisplay::~X11SaverDisplay() {
    if (shown_)
        XFreePixmap(display_, shown_);
    XFreeGC(display_, gc_);
    if (target_ == Target::OwnWindow)
        XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
}

render::ScreenLayout X11SaverDisplay::Layout() const {
    render::ScreenLayout layout{width_, height_, {}};
    int events = 0, errors = 0;
    if (target_ != Target::Root || !XRRQueryExtension(display_, &events, &errors))
        return layout;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display_, window_, True, &count);
    for (int i = 0; monitors && i < count; ++i)
        layout.monitors.push_back(
            {monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
    if (monitors)
        XRRFreeMonitors(monitors);
    return layout;
}

Pixmap X11SaverDisplay::BlankPixmap() {
    const Pixmap pixmap =
        XCreatePixmap(display_, window_, static_cast<unsigned>(width_),
                      static_cast<unsigned>(height_), static_cast<unsigned>(depth_));
    const int screen = DefaultScreen(display_);
    XSetForeground(display_, gc_, BlackPixel(display_, screen));
    XFillRectangle(display_, pixmap, gc_, 0, 0, static_cast<unsigned>(width_),
                   static_cast<unsigned>(height_));
    XFontStruct* font = NameFont(display_);
    if (font) {
        const int length = static_cast<int>(ProductName.size());
        const int textWidth = XTextWidth(font, ProductName.data(), length);
        XSetFont(display_, gc_, font->fid);
        XSetForeground(display_, gc_, WhitePixel(display_, screen));
        XDrawString(display_, pixmap, gc_, (width_ - textWidth) / 2,
                    (height_ + font->ascent - font->descent) / 2, ProductName.data(), length);
        XFreeFont(display_, font);
    }
    return pixmap;
}

// The picture into a pixmap a strip at a time, so that the server's form of it is never
// whole in the saver's memory.
Pixmap X11SaverDisplay::PicturePixmap(const TBitmap& picture) {
    const Pixmap pixmap =
        XCreatePixmap(display_, window_, static_cast<unsigned>(width_),
                      static_cast<unsigned>(height_), static_cast<unsigned>(depth_));
    constexpr int StripRows = 64;
    const int width = std::min(width_, picture.Width());
    const int height = std::min(height_, picture.Height());
    const unsigned long red = visual_->red_mask, green = visual_->green_mask,
                        blue = visual_->blue_mask;
    const int redShift = ShiftOf(red), greenShift = ShiftOf(green), blueShift = ShiftOf(blue);
    std::vector<std::uint32_t> strip(static_cast<std::size_t>(width) * StripRows);
    for (int top = 0; top < height; top += StripRows) {
        const int rows = std::min(StripRows, height - top);
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* bgr = picture.ScanLine(top + y);
            std::uint32_t* out = strip.data() + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x, bgr += 3)
                out[x] = static_cast<std::uint32_t>(
                    ((static_cast<unsigned long>(bgr[2]) << redShift) & red) |
                    ((static_cast<unsigned long>(bgr[1]) << greenShift) & green) |
                    ((static_cast<unsigned long>(bgr[0]) << blueShift) & blue));
        }
        XImage* image =
            XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                         reinterpret_cast<char*>(strip.data()), static_cast<unsigned>(width),
                         static_cast<unsigned>(rows), 32, width * 4);
        if (!image)
            break;
        XPutImage(display_, pixmap, gc_, image, 0, 0, 0, top, static_cast<unsigned>(width),
                  static_cast<unsigned>(rows));
        image->data = nullptr; // the strip is ours
        XDestroyImage(image);
    }
    return pixmap;
}

void X11SaverDisplay::Show(const Frame& frame) {
    const Pixmap next = frame.Blank() ? BlankPixmap() : PicturePixmap(*frame.picture);
    if (shown_)
        XFreePixmap(display_, shown_);
    shown_ = next;
    Redraw();
    XSync(display_, False);
}

void X11SaverDisplay::Redraw() {
    if (shown_)
        XCopyArea(display_, shown_, window_, gc_, 0, 0, static_cast<unsigned>(width_),
                  static_cast<unsigned>(height_), 0, 0);
    XFlush(display_);
}

void X11SaverDisplay::Handle(const XEvent& event) {
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0)
            Redraw();
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window_)
            gone_ = true;
        break;
    case UnmapNotify:
        // The session's screen saver hides its window when the user comes back.
        if (target_ == Target::GivenWindow && event.xunmap.window == window_)
            gone_ = true;
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_)
            gone_ = true;
        break;
    case KeyPress:
        input_.KeyPressed(0, {});
        break;
    case ButtonPress:
        input_.Clicked();
        break;
    case MotionNotify:
        input_.PointerAt(event.xmotion.x_root, event.xmotion.y_root);
        break;
    default:
        break;
    }
}

bool X11SaverDisplay::WaitUntil(SaverClock::Clock::time_point deadline) {
    // The program keeps the stop signals blocked but while waiting here, so that none is
    // lost between the check and the wait.
    sigset_t waiting;
    pthread_sigmask(SIG_BLOCK, nullptr, &waiting);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigdelset(&waiting, signal);
    bool going = true;
    for (;;) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            Handle(event);
        }
        if (stopRequested || windowLost || gone_ || input_.Now() == Protection::State::Ended) {
            going = false;
            break;
        }
        const auto left = deadline - SaverClock::Clock::now();
        if (left <= SaverClock::Clock::duration::zero())
            break;
        const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left);
        timespec timeout{static_cast<time_t>(nanoseconds.count() / 1000000000),
                         static_cast<long>(nanoseconds.count() % 1000000000)};
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        ppoll(&connection, 1, &timeout, &waiting);
    }
    return going;
}

} // namespace nimbrel::saver
