#pragma once
// Whether the bytes of a BMP file hold a whole picture, told from its headers and its
// length alone: the container keeps no length of its own, but a bitmap says how long it is.
//
// The rule knows the bitmaps the program shows, as the Windows bitmap loader takes them:
// the 12-byte core header with 1, 4, 8 or 24 bits per pixel; the 40-byte information
// header and its longer successors with 1, 4, 8, 16, 24 or 32 bits uncompressed, 16 or 32
// bits with colour masks, 8 bits run-length coded (RLE8) and 4 bits run-length coded
// (RLE4), rows bottom-up or (uncompressed only) top-down. Anything else is no bitmap the
// program can show, however long it is.
#include <cstdint>
#include <span>

namespace nimbrel {

struct TBitmapShape {
    bool readable = false; // headers of a bitmap the program shows
    bool complete = false; // ... and the bytes reach to the end of its pixel data
    int width = 0;         // from readable headers, complete or not
    int height = 0;
};

// The shape of the bitmap whose first bytes are `head` (54 are enough; 14 more for a core
// header's palette do not matter) and whose whole length is `size`.
TBitmapShape ExamineBitmapHead(std::span<const std::uint8_t> head, std::uint64_t size);

// True when `head` and `size` make a readable, complete bitmap (see above).
bool IsCompleteBitmap(std::span<const std::uint8_t> head, std::uint64_t size);

} // namespace nimbrel
