#pragma once
// The screen facts pictures depend on: colour bits (bits per pixel times planes), and the
// millisecond tick count that throttles progress reports. Tests may replace both.
#include <cstdint>
#include <functional>

namespace nimbrel {

// Bits per pixel times colour planes of the screen; 24 or more where there is no screen.
int ScreenColorBits();
// Replaces the screen query (0 restores the platform's answer).
void OverrideScreenColorBits(int bits);

// Milliseconds of a monotonic clock, as the system tick count.
std::uint32_t TickCount();
// Replaces the clock (an empty function restores the real one).
void OverrideTickCount(std::function<std::uint32_t()> clock);

} // namespace nimbrel
