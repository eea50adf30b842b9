#pragma once
// The changer's one clock: real time, with a minute whose length tests may shorten (a
// minute of 50 ms runs an hour's interval in three seconds).
#include <chrono>

namespace nimbrel::changer {

class ChangerClock {
public:
    using Clock = std::chrono::steady_clock;
    explicit ChangerClock(std::chrono::milliseconds minute = std::chrono::minutes(1))
        : minute_(minute) {}
    Clock::time_point Now() const { return Clock::now(); }
    Clock::duration Minutes(int count) const { return minute_ * count; }
    // The same span in real seconds, for a time shown to a person.
    std::chrono::milliseconds Minute() const { return minute_; }

    // A minute of NIMBREL_CHANGER_MINUTE_MS milliseconds when that is set (tests), else 60 s.
    static ChangerClock FromEnvironment();

private:
    std::chrono::milliseconds minute_;
};

} // namespace nimbrel::changer
