#include "saver/saver_run.h"

namespace nimbrel::saver {

void RunSaver(Slideshow& slideshow, SaverDisplay& display, const SaverClock& clock,
              int intervalSeconds) {
    const SaverClock::Clock::duration interval = clock.Seconds(intervalSeconds);
    Frame frame = slideshow.First();
    display.Show(frame);
    slideshow.Shown(frame);
    SaverClock::Clock::time_point shownAt = clock.Now();
    for (;;) {
        slideshow.PrepareNext();
        // Changes keep to the interval's beat; after a stall (a suspended machine) the beat
        // starts again from now rather than catching up picture after picture.
        SaverClock::Clock::time_point due = shownAt + interval;
        if (due < clock.Now())
            due = clock.Now() + interval;
        if (!display.WaitUntil(due))
            return;
        frame = slideshow.TakeNext();
        display.Show(frame);
        slideshow.Shown(frame);
        shownAt = due;
    }
}

} // namespace nimbrel::saver
