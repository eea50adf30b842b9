#pragma once
// A colour of a made picture.
#include <cstdint>

namespace nimbrel::test {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

} // namespace nimbrel::test
