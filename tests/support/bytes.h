#pragma once
// The bytes the fixture makers return, and the same bytes as text, for files written
// through string-based helpers.
#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel::test {

using Bytes = std::vector<std::uint8_t>;

inline std::string Text(const Bytes& bytes) {
    return {bytes.begin(), bytes.end()};
}

} // namespace nimbrel::test
