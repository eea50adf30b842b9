#pragma once
// A small bitmap font (5 x 7 pixels a character) for the labels of a contact sheet, drawn
// straight into a 24-bit bitmap. Text is code page 1250; accented letters are drawn as
// their base letters.
#include "imaging/bitmap.h"

#include <cstdint>
#include <string_view>

namespace nimbrel::tool {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
};

inline constexpr int GlyphWidth = 5;
inline constexpr int GlyphHeight = 7;
inline constexpr int GlyphAdvance = 6; // one column of space between characters

// The width of `text` in pixels at a scale.
int TextWidth(std::string_view text, int scale = 1);
// Draws `text` with its top left corner at (x, y); what falls outside the bitmap is cut.
void DrawText(TBitmap& bitmap, int x, int y, std::string_view text, Rgb colour, int scale = 1);
// Sets one pixel of a 24-bit bitmap, cut at its edges.
void PutPixel(TBitmap& bitmap, int x, int y, Rgb colour);
void FillRect(TBitmap& bitmap, int x, int y, int width, int height, Rgb colour);

} // namespace nimbrel::tool
