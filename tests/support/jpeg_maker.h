#pragma once
// JPEG fixtures made with the JPEG library itself, and a plain reference decode to compare
// a picture's rows with.
#include "support/rgb.h"

#include <cstdint>
#include <vector>

namespace nimbrel::test {

enum class JpegKind {
    Baseline420, // colour, 2x2 chroma subsampling
    Baseline444, // colour, no subsampling
    Progressive, // colour, several scans
    Grayscale,
    Restart, // baseline 4:2:0 with a restart marker every MCU row
    Cmyk,    // four components, Adobe CMYK
    Ycck,    // four components, Adobe YCCK
};

struct JpegShape {
    JpegKind kind = JpegKind::Baseline420;
    int width = 16;
    int height = 16;
    int quality = 90;
};

// The test pattern's colour at (x, y): smooth ramps with a few hard edges.
void PatternPixel(int x, int y, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue);

std::vector<std::uint8_t> MakeJpeg(const JpegShape& shape);
// A baseline colour file of one colour.
std::vector<std::uint8_t> MakeSolidJpeg(int width, int height, Rgb colour);

// Rewrites the size in the frame header of a made file, so that a few hundred bytes claim a
// picture of any size (the image data stays that of the small picture).
void SetFrameSize(std::vector<std::uint8_t>& jpeg, int width, int height);

// Settings of a reference decode, mirroring a picture's.
struct ReferenceSettings {
    bool bgr = true;          // colour output in blue, green, red order
    bool quantize = false;    // palette indices, 236 colours wanted
    int scaleDenominator = 1; // 1, 2, 4 or 8
};

struct ReferenceImage {
    int width = 0;
    int height = 0;
    int components = 0;                 // bytes per pixel
    std::vector<std::uint8_t> pixels;   // rows top-down, width * components bytes each, unpadded
    std::vector<std::uint8_t> colormap; // quantized: red, green, blue per entry
};

// Decodes with the library's defaults plus `settings`; fails the running test on an error.
ReferenceImage ReferenceDecode(const std::vector<std::uint8_t>& jpeg,
                               ReferenceSettings settings = {});

} // namespace nimbrel::test
