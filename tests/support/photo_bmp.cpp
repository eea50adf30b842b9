#include "support/photo_bmp.h"

#include <algorithm>
#include <cmath>

namespace nimbrel::test {
namespace {

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<std::uint8_t> MakePhotoBmp(int width, int height, std::uint32_t seed) {
    const std::uint32_t rowSize = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowSize * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> bmp;
    bmp.reserve(54 + pixelBytes);
    bmp.push_back('B');
    bmp.push_back('M');
    PutLittleEndian(bmp, 54 + pixelBytes, 4);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, 54, 4);
    PutLittleEndian(bmp, 40, 4);
    PutLittleEndian(bmp, static_cast<std::uint32_t>(width), 4);
    PutLittleEndian(bmp, static_cast<std::uint32_t>(height), 4);
    PutLittleEndian(bmp, 1, 2);
    PutLittleEndian(bmp, 24, 2);
    PutLittleEndian(bmp, 0, 4); // BI_RGB
    PutLittleEndian(bmp, pixelBytes, 4);
    PutLittleEndian(bmp, 2835, 4);
    PutLittleEndian(bmp, 2835, 4);
    PutLittleEndian(bmp, 0, 4);
    PutLittleEndian(bmp, 0, 4);

    std::uint32_t state = seed * 2654435761u + 1;
    auto noise = [&state] {
        state = state * 1664525u + 1013904223u;
        // Roughly bell-shaped: the sum of two small uniform values.
        return static_cast<int>((state >> 28) & 7) + static_cast<int>((state >> 24) & 7) - 7;
    };
    const double phase = seed * 0.37;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
            const double sky = 110 + 80 * v + 25 * std::sin(6.0 * u + phase);
            const bool hill = v < 0.45 + 0.12 * std::sin(9.0 * u + 2 * phase);
            const double shade = 40 * std::sin(23.0 * u * v + phase) + 20 * std::cos(13.0 * v);
            const double base[3] = {hill ? 60 + shade : sky + 30, hill ? 110 + shade : sky + 10,
                                    hill ? 50 + shade / 2 : sky - 40};
            for (double channel : base) // stored blue, green, red
                bmp.push_back(static_cast<std::uint8_t>(
                    std::clamp(static_cast<int>(channel) + noise(), 0, 255)));
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < rowSize; ++pad)
            bmp.push_back(0);
    }
    return bmp;
}

} // namespace nimbrel::test
