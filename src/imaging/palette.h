#pragma once
// Logical palettes. A palette handle is shared and never changed once made, so two owners
// of one handle cannot disagree about it; handles compare by identity, as platform
// palette handles do.
#include <cstdint>
#include <memory>
#include <vector>

namespace nimbrel {

struct TPaletteEntry {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    std::uint8_t Flags = 0;
    friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

struct TLogPalette {
    std::uint16_t Version = 0x300;
    std::vector<TPaletteEntry> Entries; // at most 256
    friend bool operator==(const TLogPalette&, const TLogPalette&) = default;
};

using TPaletteHandle = std::shared_ptr<const TLogPalette>;

TPaletteHandle CreatePalette(TLogPalette palette);
// A new handle with the same entries (a distinct handle).
TPaletteHandle CopyPalette(const TPaletteHandle& palette);
// The screen's halftone palette for 8-bit displays: the 16 standard colours, a 6x6x6 colour
// cube and a gray ramp, 256 entries.
TPaletteHandle CreateHalftonePalette();
// The index of the entry nearest to the colour (squared distance); 0 for an empty palette.
std::uint8_t NearestPaletteIndex(const TLogPalette& palette, std::uint8_t red, std::uint8_t green,
                                 std::uint8_t blue);

} // namespace nimbrel
