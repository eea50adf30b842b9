#include "archive/bitmap_completeness.h"

namespace nimbrel {
namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;

// Compressions whose pixel data has a size set by the dimensions alone: plain rows, and
// plain rows with colour masks.
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

std::uint32_t U16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | (std::uint32_t{bytes[at + 1]} << 8);
}
std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return U16(bytes, at) | (U16(bytes, at + 2) << 16);
}

} // namespace

bool IsCompleteBitmap(std::span<const std::uint8_t> head, std::uint64_t size) {
    if (head.size() < FileHeaderSize + 4 || head[0] != 'B' || head[1] != 'M')
        return false;
    const std::uint64_t pixelsAt = U32(head, 10);
    const std::uint32_t infoSize = U32(head, FileHeaderSize);
    const std::size_t info = FileHeaderSize;
    std::uint64_t width = 0, height = 0, bitsPerPixel = 0, compression = BI_RGB, imageSize = 0;
    if (infoSize == CoreHeaderSize && head.size() >= info + CoreHeaderSize) {
        width = U16(head, info + 4);
        height = U16(head, info + 6);
        bitsPerPixel = U16(head, info + 10);
    } else if (infoSize >= InfoHeaderSize && head.size() >= info + InfoHeaderSize) {
        const auto signedWidth = static_cast<std::int32_t>(U32(head, info + 4));
        const auto signedHeight = static_cast<std::int32_t>(U32(head, info + 8));
        if (signedWidth < 0)
            return false;
        width = static_cast<std::uint64_t>(signedWidth);
        // A negative height is a picture stored top row first.
        height = signedHeight < 0 ? 0 - static_cast<std::uint64_t>(std::int64_t{signedHeight})
                                  : static_cast<std::uint64_t>(signedHeight);
        bitsPerPixel = U16(head, info + 14);
        compression = U32(head, info + 16);
        imageSize = U32(head, info + 20);
    } else {
        return false;
    }
    if (pixelsAt < FileHeaderSize + infoSize)
        return false;

    std::uint64_t pixelBytes = imageSize; // compressed data says its own size
    if (compression == BI_RGB || compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
        if (bitsPerPixel == 0 || bitsPerPixel > 64)
            return false;
        // Rows are padded to whole 32-bit words. Width and bits are below 2^32 and 2^7, so
        // the row fits; a height that would take the product past any file is incomplete.
        const std::uint64_t row = (width * bitsPerPixel + 31) / 32 * 4;
        if (row != 0 && height > (UINT64_MAX - pixelsAt) / row)
            return false;
        pixelBytes = row * height;
    }
    return size >= pixelsAt && size - pixelsAt >= pixelBytes;
}

} // namespace nimbrel
