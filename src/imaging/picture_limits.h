#pragma once
// What one picture may cost, checked from its header before any pixel memory is taken.
//
// The pixel budget covers the largest pictures people use as wallpapers: single shots of
// the largest camera sensors (about 150 megapixels, 14204 x 10652) and 16384 x 8192 spherical
// panoramas (134 megapixels), with room to spare. Such a picture takes 480 MB as a 24-bit
// bitmap; a progressive JPEG of it also needs the library's coefficient buffers, two bytes per
// sample of every component, 960 MB at most for three full-resolution components. The memory
// cap allows exactly that and a little more for the library's row buffers; beyond it the
// library fails rather than asking for backing store. A legal 65500 x 65500 header would
// otherwise reserve 12 GB for the bitmap and as much again for those buffers.
#include <cstdint>
#include <string>

namespace nimbrel {

struct TPictureLimits {
    std::uint64_t MaxPixels = 160'000'000;
    // Bytes the JPEG library may allocate for one decode.
    std::uint64_t MaxJpegLibraryMemory = 160'000'000ull * 6 + (64ull << 20);
};

// The process-wide limits; tests and fuzzers lower them.
TPictureLimits& PictureLimits();

// Whether a picture of this size fits the pixel budget (negative sizes never do).
bool WithinPixelBudget(std::int64_t width, std::int64_t height);

// "<kind> image is too large: W x H pixels": the text of a refusal over the budget.
std::string TooLargeText(const char* kind, std::int64_t width, std::int64_t height);

} // namespace nimbrel
