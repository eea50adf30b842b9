#include "changer/changer_clock.h"

#include <cstdlib>

namespace nimbrel::changer {

ChangerClock ChangerClock::FromEnvironment() {
    if (const char* text = std::getenv("NIMBREL_CHANGER_MINUTE_MS"); text && *text) {
        const long milliseconds = std::strtol(text, nullptr, 10);
        if (milliseconds > 0)
            return ChangerClock(std::chrono::milliseconds(milliseconds));
    }
    return ChangerClock();
}

} // namespace nimbrel::changer
