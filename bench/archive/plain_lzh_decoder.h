#pragma once
// The baseline of the benchmarks: the expansion written in the textbook way, with plain
// state, a stdio-like byte reader and writer and no virtual calls.
#include <cstdint>
#include <span>
#include <vector>

namespace nimbrel::bench {

std::vector<std::uint8_t> PlainLzhDecode(std::span<const std::uint8_t> stream);

} // namespace nimbrel::bench
