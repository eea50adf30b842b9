#include "archive/bitmap_completeness.h"

namespace nimbrel {
namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t LargestHeaderSize = 124;
constexpr std::uint32_t MasksSize = 12; // after a 40-byte header, for BI_BITFIELDS

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

std::uint32_t U16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | (std::uint32_t{bytes[at + 1]} << 8);
}
std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return U16(bytes, at) | (U16(bytes, at + 2) << 16);
}

struct Header {
    std::uint32_t size = 0;
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    bool topDown = false;
    std::uint32_t planes = 1;
    std::uint32_t bits = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t imageSize = 0;
    std::uint32_t colorsUsed = 0;
};

bool ReadHeader(std::span<const std::uint8_t> head, Header& h) {
    constexpr std::size_t at = FileHeaderSize;
    h.size = U32(head, at);
    if (h.size == CoreHeaderSize && head.size() >= at + CoreHeaderSize) {
        h.width = U16(head, at + 4);
        h.height = U16(head, at + 6);
        h.planes = U16(head, at + 8);
        h.bits = U16(head, at + 10);
        return h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 24;
    }
    if (h.size < InfoHeaderSize || h.size > LargestHeaderSize || head.size() < at + InfoHeaderSize)
        return false;
    const auto width = static_cast<std::int32_t>(U32(head, at + 4));
    const auto height = static_cast<std::int32_t>(U32(head, at + 8));
    if (width < 0)
        return false;
    h.width = static_cast<std::uint64_t>(width);
    h.topDown = height < 0;
    h.height = h.topDown ? 0 - static_cast<std::uint64_t>(std::int64_t{height})
                         : static_cast<std::uint64_t>(height);
    h.planes = U16(head, at + 12);
    h.bits = U16(head, at + 14);
    h.compression = U32(head, at + 16);
    h.imageSize = U32(head, at + 20);
    h.colorsUsed = U32(head, at + 32);
    switch (h.compression) {
    case BI_RGB:
        return h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 ||
               h.bits == 32;
    case BI_BITFIELDS:
        return h.bits == 16 || h.bits == 32;
    case BI_RLE8:
        return h.bits == 8 && !h.topDown;
    case BI_RLE4:
        return h.bits == 4 && !h.topDown;
    default:
        return false;
    }
}

// The bytes from the file's start to the pixel data at the least: headers, masks, palette.
std::uint64_t HeadersAndPalette(const Header& h) {
    std::uint64_t bytes = FileHeaderSize + h.size;
    if (h.compression == BI_BITFIELDS && h.size == InfoHeaderSize)
        bytes += MasksSize;
    const std::uint64_t entry = h.size == CoreHeaderSize ? 3 : 4;
    if (h.bits <= 8)
        bytes += entry * (h.colorsUsed != 0 ? h.colorsUsed : 1u << h.bits);
    else
        bytes += entry * h.colorsUsed; // an optional palette of a true-colour picture
    return bytes;
}

} // namespace

TBitmapShape ExamineBitmapHead(std::span<const std::uint8_t> head, std::uint64_t size) {
    TBitmapShape shape;
    Header h;
    if (head.size() < FileHeaderSize + 4 || head[0] != 'B' || head[1] != 'M' ||
        !ReadHeader(head, h) || h.planes != 1)
        return shape;
    if ((h.bits <= 8 && h.colorsUsed > (1u << h.bits)) || h.colorsUsed > 256)
        return shape;
    const std::uint64_t pixelsAt = U32(head, 10);
    if (pixelsAt < HeadersAndPalette(h))
        return shape;
    shape.readable = true;
    shape.width = static_cast<int>(h.width);
    shape.height = static_cast<int>(h.height);

    std::uint64_t pixelBytes = 0;
    if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
        // Coded data says its own size; without it, it runs to the end of the file, and
        // at least its end-of-bitmap code (two bytes) must be there.
        pixelBytes = h.imageSize != 0 ? h.imageSize : 2;
    } else {
        // Rows are padded to whole 32-bit words. Width and bits are below 2^32 and 2^6, so
        // the row fits; a height that would take the product past any file is incomplete.
        const std::uint64_t row = (h.width * h.bits + 31) / 32 * 4;
        if (row != 0 && h.height > (UINT64_MAX - pixelsAt) / row)
            return shape;
        pixelBytes = row * h.height;
    }
    shape.complete = size >= pixelsAt && size - pixelsAt >= pixelBytes;
    return shape;
}

bool IsCompleteBitmap(std::span<const std::uint8_t> head, std::uint64_t size) {
    return ExamineBitmapHead(head, size).complete;
}

} // namespace nimbrel
