#pragma once
// The BMP file form of a bitmap, and the packed form (no file header) the clipboard holds.
//
// Read: what the Windows bitmap loader shows. The 12-byte OS/2 header with 1, 4, 8 or 24
// bits per pixel; the 40-byte information header and its successors (up to 124 bytes) with
// 1, 4 and 8 bits (becoming 8-bit bitmaps with the file's palette), 8 bits run-length coded
// (RLE8) and 4 bits run-length coded (RLE4), 16 and 32 bits with colour masks (the default
// 5-5-5 and 8-8-8 ones, or BI_BITFIELDS) and 24 bits (becoming 24-bit bitmaps); rows
// bottom-up (positive height) or, uncompressed, top-down (negative height). Every header
// field is checked before it is used and the pixel data must be all there: anything else
// raises EInvalidGraphic "Bitmap image is not valid" (with ": ... is not supported" for a
// kind of bitmap the program does not show, such as JPEG or PNG compression) before any
// pixel memory is taken; a picture over the pixel budget (picture_limits.h) raises
// EInvalidGraphic "Bitmap image is too large: W x H pixels". Run-length codes are followed
// as the loader follows them: pixels they skip are palette index 0, and codes that go past
// the picture are cut off. The readers fill `bitmap` directly, so give them a fresh one
// when a failure must leave a picture as it was. Written: an uncompressed bottom-up file
// with a 40-byte information header, 8 bits with the bitmap's palette or 24 bits.
#include "imaging/bitmap.h"
#include "imaging/stream.h"

namespace nimbrel {

void ReadBmp(TStream& stream, TBitmap& bitmap);

// What the headers of a BMP file promise, read and checked as ReadBmp checks them but
// without the pixels: a wrong header raises EInvalidGraphic as ReadBmp does. A file
// shorter than `bytesNeeded` (counted from the stream's position at the call) lacks pixels.
struct BmpLayout {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::uint64_t bytesNeeded = 0;
};
BmpLayout ReadBmpLayout(TStream& stream);
void ReadPackedDib(TStream& stream, TBitmap& bitmap);
void WriteBmp(TStream& stream, const TBitmap& bitmap);
void WritePackedDib(TStream& stream, const TBitmap& bitmap);

} // namespace nimbrel
