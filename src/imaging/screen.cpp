#include "imaging/screen.h"

#include "platform/system.h"

#include <chrono>

namespace nimbrel {
namespace {
int overriddenBits = 0;

std::function<std::uint32_t()>& TickClock() {
    static std::function<std::uint32_t()> clock;
    return clock;
}
} // namespace

int ScreenColorBits() {
    return overriddenBits != 0 ? overriddenBits : platform::ScreenBitsPerPixel();
}

void OverrideScreenColorBits(int bits) {
    overriddenBits = bits;
}

std::uint32_t TickCount() {
    if (TickClock())
        return TickClock()();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void OverrideTickCount(std::function<std::uint32_t()> clock) {
    TickClock() = std::move(clock);
}

} // namespace nimbrel
