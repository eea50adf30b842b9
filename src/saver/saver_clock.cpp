#include "saver/saver_clock.h"

#include <cstdlib>

namespace nimbrel::saver {

SaverClock SaverClock::FromEnvironment() {
    if (const char* text = std::getenv("NIMBREL_SAVER_SECOND_MS"); text && *text) {
        const long milliseconds = std::strtol(text, nullptr, 10);
        if (milliseconds > 0)
            return SaverClock(std::chrono::milliseconds(milliseconds));
    }
    return SaverClock();
}

} // namespace nimbrel::saver
