#pragma once
// The drawing surface pictures draw on. The GUI implements it over its painter; tests
// implement it by recording the calls.
namespace nimbrel {

class TBitmap;

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

class TCanvas {
public:
    virtual ~TCanvas() = default;
    // Draws the whole bitmap scaled to fill `dest` (aspect ratio not kept). An 8-bit
    // bitmap's pixels are indices into its own palette (TBitmap::Palette()); an index past
    // the palette's end shows black.
    virtual void StretchDraw(const TRect& dest, const TBitmap& bitmap) = 0;
};

} // namespace nimbrel
