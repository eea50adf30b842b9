#pragma once
// A 24-bit BMP file whose pixels behave like a photograph: smooth shading, a few edges and
// sensor noise, so that an LZSS packer finds few long matches.
#include <cstdint>
#include <vector>

namespace nimbrel::test {

std::vector<std::uint8_t> MakePhotoBmp(int width, int height, std::uint32_t seed = 1);

} // namespace nimbrel::test
