#pragma once
// The saver's course: the first picture at once, then one every interval, each decoded
// ahead while the one before shows, until the program's display says to end.
#include "saver/saver_clock.h"
#include "saver/slideshow.h"

namespace nimbrel::saver {

// The screens of one program (a full-screen window per monitor, a preview, a window given
// by the session's screen saver).
class SaverDisplay {
public:
    virtual ~SaverDisplay() = default;
    virtual void Show(const Frame& frame) = 0;
    // Handles what comes (input, the window going) until the deadline; false when the saver
    // is to end.
    virtual bool WaitUntil(SaverClock::Clock::time_point deadline) = 0;
};

void RunSaver(Slideshow& slideshow, SaverDisplay& display, const SaverClock& clock,
              int intervalSeconds);

} // namespace nimbrel::saver
