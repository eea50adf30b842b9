#pragma once
// A 1920x1080 Xvfb of the benchmark's own, and the root window's wallpaper property watched
// on it.
#include "support/xvfb_server.h"

#include <chrono>
#include <string>

struct _XDisplay;

namespace nimbrel::bench {

class BenchDisplay {
public:
    // Starts the server on a display number it picks itself; Name() is empty when it failed.
    BenchDisplay(int width, int height);
    ~BenchDisplay();
    BenchDisplay(const BenchDisplay&) = delete;
    BenchDisplay& operator=(const BenchDisplay&) = delete;

    const std::string& Name() const { return name_; }
    // Forgets the property changes seen so far.
    void DropChanges();
    // Waits until a program sets the root's picture (_XROOTPMAP_ID); false at the timeout.
    bool WaitForNewRootPicture(std::chrono::milliseconds timeout);

private:
    test::XvfbServer server_;
    std::string name_;
    _XDisplay* display_ = nullptr;
    unsigned long rootPicture_ = 0; // the property's atom
};

} // namespace nimbrel::bench
