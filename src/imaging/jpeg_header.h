#pragma once
// The facts a JPEG file's header tells, read from a stream only as far as the header goes:
// what a folder report needs without loading or decoding the picture.
#include "imaging/stream.h"

#include <cstdint>

namespace nimbrel {

enum class TJpegColour : std::uint8_t {
    Grayscale,
    Colour,     // three components, or four inks (CMYK, YCCK), shown as red, green, blue
    Unsupported // an unknown colour space: never decodes
};

struct TJpegHeader {
    int width = 0;
    int height = 0;
    TJpegColour colour = TJpegColour::Colour;
    bool progressive = false;
};

// Reads the header from the stream's position on. A header the library rejects raises
// EJPEG as loading the picture does ("JPEG error #<code>"); an empty stream raises the
// library's error for empty input. `endedEarly`, when given, tells whether the stream
// ended inside the header.
TJpegHeader ReadJpegHeader(TStream& stream, bool* endedEarly = nullptr);

// The library's message code of an EJPEG message ("JPEG error #<code>"), -1 for another text.
int JpegErrorCode(const char* message);
// The library's codes a report tells apart.
bool IsNotJpegCode(int code);     // no start-of-image marker
bool IsEmptyInputCode(int code);  // nothing at all to read
bool IsUnsupportedCode(int code); // a colour conversion the picture does not do

} // namespace nimbrel
