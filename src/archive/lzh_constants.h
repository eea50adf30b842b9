#pragma once
// The constants of the LZSS + adaptive Huffman scheme and the fixed prefix code of the
// match positions.
#include <array>
#include <cstdint>

namespace nimbrel::lzh {

inline constexpr unsigned WindowSize = 4096; // ring size; positions are 12 bits
inline constexpr unsigned RingMask = WindowSize - 1;
inline constexpr unsigned LookAhead = 60; // longest match
inline constexpr unsigned Threshold = 2;  // a match is at least Threshold + 1 bytes
inline constexpr unsigned SymbolCount = 256 - Threshold + LookAhead; // 314
inline constexpr unsigned TreeSize = 2 * SymbolCount - 1;            // 627
inline constexpr unsigned Root = TreeSize - 1;                       // 626
inline constexpr std::uint16_t FrequencyLimit = 0x8000;
inline constexpr unsigned RingBufferSize = WindowSize + LookAhead - 1; // 4155
inline constexpr unsigned RingStart = WindowSize - LookAhead;          // 4036

namespace detail {
// Fills a 256-entry table from runs of (value, entries).
template <std::size_t N>
constexpr std::array<std::uint8_t, 256>
MakeTable(const std::array<std::pair<unsigned, unsigned>, N>& runs) {
    std::array<std::uint8_t, 256> table{};
    unsigned index = 0;
    for (auto [value, entries] : runs)
        for (unsigned n = 0; n < entries; ++n)
            table[index++] = static_cast<std::uint8_t>(value);
    return table;
}

constexpr std::array<std::uint8_t, 256> MakeUpperBits() {
    std::array<std::pair<unsigned, unsigned>, 64> runs{};
    for (unsigned v = 0; v < 64; ++v) {
        unsigned entries = v == 0 ? 32 : v <= 3 ? 16 : v <= 11 ? 8 : v <= 23 ? 4 : v <= 47 ? 2 : 1;
        runs[v] = {v, entries};
    }
    return MakeTable(runs);
}
} // namespace detail

// Indexed by the first 8 bits of a position code: the upper 6 bits of the position...
inline constexpr std::array<std::uint8_t, 256> PositionUpperBits = detail::MakeUpperBits();
// ...and the length in bits of the position's prefix code.
inline constexpr std::array<std::uint8_t, 256> PositionCodeLength =
    detail::MakeTable(std::array<std::pair<unsigned, unsigned>, 6>{
        {{3, 32}, {4, 48}, {5, 64}, {6, 48}, {7, 48}, {8, 16}}});

static_assert(PositionUpperBits[255] == 63 && PositionUpperBits[31] == 0 &&
              PositionUpperBits[32] == 1);
static_assert(PositionCodeLength[255] == 8 && PositionCodeLength[240] == 8 &&
              PositionCodeLength[239] == 7);

} // namespace nimbrel::lzh
