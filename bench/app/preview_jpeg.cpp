#include "preview_jpeg.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <memory>

namespace nimbrel::bench {
namespace {

// The benchmark's own inputs never fail to code; a library error is a broken bench.
[[noreturn]] void Fail(j_common_ptr info) {
    std::fprintf(stderr, "libjpeg error #%d in the bench\n", info->err->msg_code);
    std::abort();
}

} // namespace

std::vector<std::uint8_t> MakeLargeJpeg(int width, int height) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.error_exit = Fail;
    jpeg_create_compress(&info);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);

    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    std::uint32_t noise = 12345;
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) & 31);
            row[x * 3 + 0] = static_cast<std::uint8_t>((x * 255 / width + grain) & 255);
            row[x * 3 + 1] = static_cast<std::uint8_t>((y * 255 / height + grain) & 255);
            row[x * 3 + 2] = static_cast<std::uint8_t>(((x ^ y) + grain) & 255);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);

    std::vector<std::uint8_t> jpeg(buffer, buffer + size);
    std::free(buffer);
    return jpeg;
}

std::size_t BareDecode(const std::vector<std::uint8_t>& jpeg, std::vector<std::uint8_t>* reused,
                       unsigned scaleDenominator) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.error_exit = Fail;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    info.scale_num = 1;
    info.scale_denom = scaleDenominator;
    jpeg_start_decompress(&info);

    const std::size_t stride = (static_cast<std::size_t>(info.output_width) * 3 + 3) & ~3u;
    std::unique_ptr<std::uint8_t[]> fresh;
    std::uint8_t* pixels = nullptr;
    if (reused) {
        reused->resize(stride * info.output_height);
        pixels = reused->data();
    } else {
        fresh = std::make_unique_for_overwrite<std::uint8_t[]>(stride * info.output_height);
        pixels = fresh.get();
    }
    std::size_t rows = 0;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row[1] = {pixels + stride * info.output_scanline};
        rows += jpeg_read_scanlines(&info, row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return rows;
}

} // namespace nimbrel::bench
