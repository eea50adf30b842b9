#include "bench_display.h"

#include <X11/Xlib.h>

#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace nimbrel::bench {

BenchDisplay::BenchDisplay(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0)
        return;
    const std::vector<std::string> args{"/usr/bin/Xvfb",
                                        "-displayfd",
                                        std::to_string(fds[1]),
                                        "-screen",
                                        "0",
                                        std::to_string(width) + "x" + std::to_string(height) +
                                            "x24",
                                        "-nolisten",
                                        "tcp",
                                        "-noreset"};
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn(&server_, argv[0], nullptr, nullptr, argv.data(), environ);
    close(fds[1]);
    // The server writes its display number and a newline once it takes connections.
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        return;
    display_ = XOpenDisplay((":" + number).c_str());
    if (!display_)
        return;
    name_ = ":" + number;
    rootPicture_ = XInternAtom(display_, "_XROOTPMAP_ID", False);
    XSelectInput(display_, DefaultRootWindow(display_), PropertyChangeMask);
    XSync(display_, False);
}

BenchDisplay::~BenchDisplay() {
    if (display_)
        XCloseDisplay(display_);
    if (server_ > 0) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
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
