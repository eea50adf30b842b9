#include "imaging/jpeg_header.h"

#include "imaging/jpeg_glue.h"

#include <cstdio>
#include <cstring>

#include <jerror.h>

namespace nimbrel {

TJpegHeader ReadJpegHeader(TStream& stream, bool* endedEarly) {
    JpegContext context;
    context.CreateDecompress(nullptr);
    jpeg_decompress_struct& d = context.d;
    TJpegHeader header;
    boolean multipleScans = FALSE;
    auto readHeader = [&] {
        InstallSource(&d, stream);
        jpeg_read_header(&d, TRUE);
        multipleScans = jpeg_has_multiple_scans(&d);
    };
    const bool read = RunGuarded(context, readHeader);
    if (endedEarly)
        *endedEarly = SourceEndedEarly(&d);
    if (!read)
        RaiseFromContext(context);
    header.width = static_cast<int>(d.image_width);
    header.height = static_cast<int>(d.image_height);
    header.progressive = multipleScans != FALSE;
    switch (d.out_color_space) {
    case JCS_GRAYSCALE:
        header.colour = TJpegColour::Grayscale;
        break;
    case JCS_RGB:
    case JCS_CMYK: // inks, shown as the colours they print
        header.colour = TJpegColour::Colour;
        break;
    default:
        header.colour = TJpegColour::Unsupported;
        break;
    }
    return header;
}

int JpegErrorCode(const char* message) {
    constexpr char prefix[] = "JPEG error #";
    if (std::strncmp(message, prefix, sizeof prefix - 1) != 0)
        return -1;
    int code = -1;
    char rest = 0;
    if (std::sscanf(message + sizeof prefix - 1, "%d%c", &code, &rest) != 1)
        return -1;
    return code;
}

bool IsNotJpegCode(int code) {
    return code == JERR_NO_SOI;
}

bool IsEmptyInputCode(int code) {
    return code == JERR_INPUT_EMPTY;
}

bool IsUnsupportedCode(int code) {
    return code == JERR_CONVERSION_NOTIMPL || code == JERR_BAD_J_COLORSPACE;
}

} // namespace nimbrel
