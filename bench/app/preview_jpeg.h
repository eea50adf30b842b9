#pragma once
// A large JPEG made in memory for the preview benchmark, and the bare library decode that
// the preview is measured against.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nimbrel::bench {

// A baseline colour JPEG of width x height pixels with varied content (so the entropy
// decoder does real work), at quality 90.
std::vector<std::uint8_t> MakeLargeJpeg(int width, int height);

// Decodes `jpeg` with the library's default settings into blue, green, red rows, one row per
// call, as the picture does; answers the number of rows read. The rows go into `reused`
// when given (memory already touched), else into freshly allocated memory, as every new
// picture needs. A `scaleDenominator` of 2, 4 or 8 decodes at that reduced scale.
std::size_t BareDecode(const std::vector<std::uint8_t>& jpeg,
                       std::vector<std::uint8_t>* reused = nullptr, unsigned scaleDenominator = 1);

} // namespace nimbrel::bench
