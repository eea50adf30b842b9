#pragma once
// The saver's one clock: real time, with a second whose length tests may shorten (a second
// of 20 ms shows a 30-second interval in 0.6 s).
#include <chrono>

namespace nimbrel::saver {

class SaverClock {
public:
    using Clock = std::chrono::steady_clock;
    explicit SaverClock(std::chrono::milliseconds second = std::chrono::seconds(1))
        : second_(second) {}
    Clock::time_point Now() const { return Clock::now(); }
    Clock::duration Seconds(int count) const { return second_ * count; }

    // A second of NIMBREL_SAVER_SECOND_MS milliseconds when that is set (tests), else 1 s.
    static SaverClock FromEnvironment();

private:
    std::chrono::milliseconds second_;
};

} // namespace nimbrel::saver
