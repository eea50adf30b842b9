#pragma once
// The bytes the fixture makers return, and the same bytes as text, for files written
// through string-based helpers.
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace nimbrel::test {

using Bytes = std::vector<std::uint8_t>;

inline std::string Text(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

// `size` bytes that do not compress, the same for the same seed.
inline Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

} // namespace nimbrel::test
