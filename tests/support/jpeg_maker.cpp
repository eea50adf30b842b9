#include "support/jpeg_maker.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

namespace nimbrel::test {
namespace {

struct ErrorJump {
    jpeg_error_mgr library;
    std::jmp_buf jump;
};

void JumpOnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorJump*>(cinfo->err)->jump, 1);
}

} // namespace

void PatternPixel(int x, int y, std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    red = static_cast<std::uint8_t>(x * 7 + y * 3);
    green = static_cast<std::uint8_t>(y * 5 + ((x / 8) % 2) * 90);
    blue = static_cast<std::uint8_t>(255 - x * 2 - ((y / 8) % 2) * 60);
}

namespace {

// The pattern's pixels, or one colour everywhere.
std::vector<std::uint8_t> Compress(const JpegShape& shape, const Rgb* fill) {
    jpeg_compress_struct c{};
    ErrorJump error{};
    c.err = jpeg_std_error(&error.library);
    error.library.error_exit = JumpOnError;
    unsigned char* output = nullptr;
    unsigned long size = 0;
    std::vector<std::uint8_t> row; // made before the jump target: nothing to unwind after it
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_compress(&c);
        std::free(output);
        throw std::runtime_error("MakeJpeg: library error");
    }
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &output, &size);
    c.image_width = static_cast<JDIMENSION>(shape.width);
    c.image_height = static_cast<JDIMENSION>(shape.height);
    const bool gray = shape.kind == JpegKind::Grayscale;
    const bool fourComponents = shape.kind == JpegKind::Cmyk || shape.kind == JpegKind::Ycck;
    c.input_components = gray ? 1 : fourComponents ? 4 : 3;
    c.in_color_space = gray ? JCS_GRAYSCALE : fourComponents ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, shape.quality, TRUE);
    switch (shape.kind) {
    case JpegKind::Baseline444:
        c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = 1;
        break;
    case JpegKind::Progressive:
        jpeg_simple_progression(&c);
        break;
    case JpegKind::Restart:
        c.restart_in_rows = 1;
        break;
    case JpegKind::Ycck:
        jpeg_set_colorspace(&c, JCS_YCCK);
        break;
    default:
        break;
    }
    jpeg_start_compress(&c, TRUE);
    row.resize(static_cast<std::size_t>(shape.width) * c.input_components);
    while (c.next_scanline < c.image_height) {
        const int y = static_cast<int>(c.next_scanline);
        for (int x = 0; x < shape.width; ++x) {
            std::uint8_t r, g, b;
            if (fill != nullptr) {
                r = fill->red;
                g = fill->green;
                b = fill->blue;
            } else {
                PatternPixel(x, y, r, g, b);
            }
            std::uint8_t* p = row.data() + x * c.input_components;
            if (gray) {
                p[0] = static_cast<std::uint8_t>((r * 3 + g * 6 + b) / 10);
            } else {
                p[0] = r;
                p[1] = g;
                p[2] = b;
                if (fourComponents)
                    p[3] = static_cast<std::uint8_t>(x + y);
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<std::uint8_t> result(output, output + size);
    jpeg_destroy_compress(&c);
    std::free(output);
    return result;
}

} // namespace

std::vector<std::uint8_t> MakeJpeg(const JpegShape& shape) {
    return Compress(shape, nullptr);
}

std::vector<std::uint8_t> MakeSolidJpeg(int width, int height, Rgb colour) {
    return Compress(
        {.kind = JpegKind::Baseline420, .width = width, .height = height, .quality = 90}, &colour);
}

void SetFrameSize(std::vector<std::uint8_t>& jpeg, int width, int height) {
    // Markers from the start-of-image on, each with a 2-byte length, until a frame header.
    for (std::size_t at = 2; at + 9 <= jpeg.size();) {
        if (jpeg[at] != 0xFF)
            break;
        const std::uint8_t marker = jpeg[at + 1];
        if (marker >= 0xC0 && marker <= 0xC2) {
            jpeg[at + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[at + 6] = static_cast<std::uint8_t>(height);
            jpeg[at + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[at + 8] = static_cast<std::uint8_t>(width);
            return;
        }
        at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    }
    throw std::runtime_error("SetFrameSize: no frame header");
}

ReferenceImage ReferenceDecode(const std::vector<std::uint8_t>& jpeg, ReferenceSettings settings) {
    jpeg_decompress_struct d{};
    ErrorJump error{};
    d.err = jpeg_std_error(&error.library);
    error.library.error_exit = JumpOnError;
    ReferenceImage image;
    if (setjmp(error.jump) != 0) {
        const int code = error.library.msg_code;
        jpeg_destroy_decompress(&d);
        throw std::runtime_error("ReferenceDecode: library error " + std::to_string(code));
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&d, TRUE);
    d.scale_num = 1;
    d.scale_denom = static_cast<unsigned>(settings.scaleDenominator);
    if (d.out_color_space == JCS_RGB && settings.bgr)
        d.out_color_space = JCS_EXT_BGR;
    if (settings.quantize) {
        d.quantize_colors = TRUE;
        d.desired_number_of_colors = 236;
    }
    jpeg_start_decompress(&d);
    image.width = static_cast<int>(d.output_width);
    image.height = static_cast<int>(d.output_height);
    image.components = d.output_components;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * image.components;
    image.pixels.resize(rowBytes * image.height);
    while (d.output_scanline < d.output_height) {
        JSAMPROW rows[1] = {image.pixels.data() + d.output_scanline * rowBytes};
        jpeg_read_scanlines(&d, rows, 1);
    }
    if (d.quantize_colors) {
        const bool gray = d.out_color_components == 1;
        const int red = d.out_color_space == JCS_EXT_BGR ? 2 : 0;
        for (int i = 0; i < d.actual_number_of_colors; ++i) {
            if (gray) {
                image.colormap.insert(image.colormap.end(), 3, d.colormap[0][i]);
            } else {
                image.colormap.push_back(d.colormap[red][i]);
                image.colormap.push_back(d.colormap[1][i]);
                image.colormap.push_back(d.colormap[2 - red][i]);
            }
        }
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return image;
}

} // namespace nimbrel::test
