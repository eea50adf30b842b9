#include "support/bmp_maker.h"

#include <cstdlib>

namespace nimbrel::test {
namespace {
void Append16(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Append32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    Append16(bytes, value);
    Append16(bytes, value >> 16);
}
} // namespace

void PutLe32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutLe16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void BmpPaletteColor(int i, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    red = static_cast<std::uint8_t>(i * 37);
    green = static_cast<std::uint8_t>(255 - i);
    blue = static_cast<std::uint8_t>(i * 11 + 5);
}

std::uint8_t BmpIndexAt(int x, int y, int bitCount) {
    return static_cast<std::uint8_t>((x * 3 + y * 5) % (1 << bitCount));
}

void BmpColorAt(int x, int y, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    red = static_cast<std::uint8_t>(x * 13 + 1);
    green = static_cast<std::uint8_t>(y * 17 + 2);
    blue = static_cast<std::uint8_t>(x * y + 3);
}

std::vector<std::uint8_t> MakeSolidBmp(int width, int height, Rgb colour) {
    std::vector<std::uint8_t> bytes = MakeBmp({.width = width,
                                               .height = height,
                                               .bitCount = 24,
                                               .planes = 1,
                                               .compression = 0,
                                               .headerSize = 40,
                                               .colorsUsed = 0,
                                               .pixelOffset = -1});
    const std::size_t offset = bytes[10] | bytes[11] << 8 | bytes[12] << 16 | bytes[13] << 24;
    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * 24 + 31) / 32) * 4;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bytes.data() + offset + rowBytes * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = colour.blue;
            row[3 * x + 1] = colour.green;
            row[3 * x + 2] = colour.red;
        }
    }
    return bytes;
}

std::vector<std::uint8_t> MakeBmp(const BmpShape& shape) {
    const bool core = shape.headerSize == 12;
    const std::uint32_t paletteCount = shape.colorsUsed != 0 ? shape.colorsUsed
                                       : shape.bitCount <= 8 ? 1u << shape.bitCount
                                                             : 0;
    const std::uint32_t entrySize = core ? 3 : 4;
    const std::uint32_t headersEnd = 14 + shape.headerSize + paletteCount * entrySize;
    const std::uint32_t offset =
        shape.pixelOffset >= 0 ? static_cast<std::uint32_t>(shape.pixelOffset) : headersEnd;
    const int width = shape.width;
    const int height = std::abs(shape.height);
    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * shape.bitCount + 31) / 32) * 4;

    std::vector<std::uint8_t> bytes{'B', 'M'};
    Append32(bytes, static_cast<std::uint32_t>(offset + rowBytes * height));
    Append32(bytes, 0);
    Append32(bytes, offset);
    Append32(bytes, shape.headerSize);
    if (core) {
        Append16(bytes, static_cast<std::uint32_t>(width));
        Append16(bytes, static_cast<std::uint32_t>(shape.height));
        Append16(bytes, shape.planes);
        Append16(bytes, shape.bitCount);
    } else {
        Append32(bytes, static_cast<std::uint32_t>(width));
        Append32(bytes, static_cast<std::uint32_t>(shape.height));
        Append16(bytes, shape.planes);
        Append16(bytes, shape.bitCount);
        Append32(bytes, shape.compression);
        Append32(bytes, static_cast<std::uint32_t>(rowBytes * height));
        Append32(bytes, 0); // pixels per metre, as the program writes them
        Append32(bytes, 0);
        Append32(bytes, shape.colorsUsed);
        Append32(bytes, 0);
        bytes.resize(14 + shape.headerSize, 0);
    }
    for (std::uint32_t i = 0; i < paletteCount; ++i) {
        std::uint8_t r, g, b;
        BmpPaletteColor(static_cast<int>(i), r, g, b);
        bytes.push_back(b);
        bytes.push_back(g);
        bytes.push_back(r);
        if (!core)
            bytes.push_back(0);
    }
    bytes.resize(offset, 0);
    for (int i = 0; i < height; ++i) {
        const int y = shape.height < 0 ? i : height - 1 - i; // the picture row stored here
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < width; ++x) {
            if (shape.bitCount <= 8) {
                const std::uint8_t index = BmpIndexAt(x, y, shape.bitCount);
                const int bit = x * shape.bitCount;
                row[bit / 8] |= static_cast<std::uint8_t>(index << (8 - shape.bitCount - bit % 8));
            } else {
                std::uint8_t r, g, b;
                BmpColorAt(x, y, r, g, b);
                const std::size_t at = static_cast<std::size_t>(x) * (shape.bitCount / 8);
                row[at] = b;
                row[at + 1] = g;
                row[at + 2] = r;
            }
        }
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    return bytes;
}

} // namespace nimbrel::test
