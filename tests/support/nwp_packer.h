#pragma once
// Test-only packer: LZSS over a 4,096-byte ring with an adaptive Huffman code for literals
// and match lengths and a fixed prefix code for positions, closed by one 1 bit and zero
// bits to the end of the byte; optionally behind the 4-byte compressed-file signature.
// Written apart from the expanding side (its own tree and tables) so that the two check
// each other.
#include "support/bytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nimbrel::test {

inline constexpr std::array<std::uint8_t, 4> NwpSignature{0x01, 0x00, 0x33, 0xAC};

// Writes codes one by one, so a test can make any stream it needs (a match into the initial
// ring, a given closing position, ...).
class LzhCodeWriter {
public:
    LzhCodeWriter();
    void Literal(std::uint8_t byte);
    // `position` is the distance minus 1 (0..4095), `length` 3..60.
    void Match(unsigned position, unsigned length);
    // Appends the closing 1 bit and zero bits to the byte's end; answers the stream.
    Bytes Finish();
    // Bits written so far.
    std::size_t BitCount() const { return bytes_.size() * 8 + pendingBits_; }

private:
    void PutBits(unsigned code, unsigned length);
    void EncodeSymbol(unsigned symbol);
    void Count(unsigned symbol);
    void Rebuild();

    std::vector<unsigned> frequency_; // one more entry: a sentinel
    std::vector<unsigned> parent_;    // nodes, then the leaf of each symbol
    std::vector<unsigned> child_;
    Bytes bytes_;
    unsigned pending_ = 0;
    unsigned pendingBits_ = 0;
};

struct PackOptions {
    unsigned maxMatchLength = 60; // 3..60; shorter gives another parse of the same data
    bool useMatches = true;
};

// The code stream of `data`, closed.
Bytes PackLzh(std::span<const std::uint8_t> data, const PackOptions& options = {});
// The signature followed by the code stream.
Bytes PackNwp(std::span<const std::uint8_t> data, const PackOptions& options = {});
// Where the closing 1 bit stands in the last byte of a closed stream: 0 (top bit) to 7.
unsigned ClosingBitPosition(std::span<const std::uint8_t> stream);

// Host file helpers for fixtures.
Bytes ReadHostFile(const std::string& path);
void WriteHostFile(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace nimbrel::test
