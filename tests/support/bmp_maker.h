#pragma once
// BMP fixtures: a file made field by field, so a test can set any header field to anything.
#include "support/rgb.h"

#include <cstdint>
#include <vector>

namespace nimbrel::test {

struct BmpShape {
    std::int32_t width = 4;
    std::int32_t height = 3;     // negative: rows stored top-down
    std::uint16_t bitCount = 24; // 1, 4, 8, 24 or 32 for the pixel data written
    std::uint16_t planes = 1;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40; // 12 writes the old core header
    std::uint32_t colorsUsed = 0;  // palette entries written: this, or 2^bitCount when 0
    std::int64_t pixelOffset = -1; // -1: right after the palette
};

// Offsets of fields in the file, for tests that damage one.
enum BmpOffset : std::size_t {
    BmpPixelOffsetField = 10,
    BmpHeaderSizeField = 14,
    BmpWidthField = 18,
    BmpHeightField = 22,
    BmpPlanesField = 26,
    BmpBitCountField = 28,
    BmpCompressionField = 30,
    BmpColorsUsedField = 46,
};

// The colour of palette entry i of a made file (red, green, blue).
void BmpPaletteColor(int i, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue);
// The value stored for pixel (x, y), y counted from the top: a palette index for up to 8
// bits (fitting the bit count), else blue, green, red bytes.
std::uint8_t BmpIndexAt(int x, int y, int bitCount);
void BmpColorAt(int x, int y, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue);

std::vector<std::uint8_t> MakeBmp(const BmpShape& shape);
// A 24-bit bottom-up file of one colour.
std::vector<std::uint8_t> MakeSolidBmp(int width, int height, Rgb colour);

void PutLe32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
void PutLe16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);

} // namespace nimbrel::test
