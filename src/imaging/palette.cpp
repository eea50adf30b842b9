#include "imaging/palette.h"

#include <limits>

namespace nimbrel {

TPaletteHandle CreatePalette(TLogPalette palette) {
    if (palette.Entries.size() > 256)
        palette.Entries.resize(256);
    return std::make_shared<const TLogPalette>(std::move(palette));
}

TPaletteHandle CopyPalette(const TPaletteHandle& palette) {
    return palette ? CreatePalette(*palette) : nullptr;
}

TPaletteHandle CreateHalftonePalette() {
    static const TPaletteEntry standard[16] = {
        {0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
        {0, 0, 128, 0},     {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0},
        {128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
        {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};
    TLogPalette palette;
    palette.Entries.assign(std::begin(standard), std::end(standard));
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.Entries.push_back({static_cast<std::uint8_t>(r * 51),
                                           static_cast<std::uint8_t>(g * 51),
                                           static_cast<std::uint8_t>(b * 51), 0});
    // The cube holds the grays 0, 51, ..., 255; the ramp fills the steps between them.
    for (int i = 0; palette.Entries.size() < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(8 + i * 10);
        palette.Entries.push_back({level, level, level, 0});
    }
    return CreatePalette(std::move(palette));
}

std::uint8_t NearestPaletteIndex(const TLogPalette& palette, std::uint8_t red, std::uint8_t green,
                                 std::uint8_t blue) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.Entries.size(); ++i) {
        const TPaletteEntry& e = palette.Entries[i];
        const int dr = e.Red - red, dg = e.Green - green, db = e.Blue - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
            if (distance == 0)
                break;
        }
    }
    return static_cast<std::uint8_t>(best);
}

} // namespace nimbrel
