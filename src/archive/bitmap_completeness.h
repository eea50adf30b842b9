#pragma once
// Whether the bytes of a BMP file hold a whole picture, told from its headers and its
// length alone: the container keeps no length of its own, but a bitmap says how long it is.
#include <cstdint>
#include <span>

namespace nimbrel {

// True when `head` (the file's first bytes; 54 are enough) starts with a bitmap file header
// and an info header (or the older core header), and `size` bytes reach at least to the end
// of the pixel data those headers call for.
bool IsCompleteBitmap(std::span<const std::uint8_t> head, std::uint64_t size);

} // namespace nimbrel
