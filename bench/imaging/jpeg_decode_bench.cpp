// Decoding a 12-megapixel colour JPEG through TJPEGImage against a bare library decode of the
// same bytes into a buffer, and loading (header only) against decoding.
// Budgets: picture decode <= 1.10 x bare decode; load < 2 % of a decode.
// The preview of a 24-megapixel photo (load, then draw into the 65 x 49 box, which decodes
// at a reduced scale) against a bare full-size decode of the same file.
// Budget: preview <= 0.35 x bare decode.
#include "imaging/bitmap.h"
#include "imaging/canvas.h"
#include "imaging/jpeg_image.h"
#include "support/jpeg_maker.h"
#include "support/photo_bmp.h"

#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace {

using namespace nimbrel;

const std::vector<std::uint8_t>& Photo() {
    // 4000 x 3000, baseline 4:2:0 at quality 90: a camera's picture.
    static const std::vector<std::uint8_t> bytes =
        test::MakeJpeg({test::JpegKind::Baseline420, 4000, 3000, 90});
    return bytes;
}

// 6000 x 4000 with the noise and edges of a photograph, as the camera's encoder leaves it.
const std::vector<std::uint8_t>& LargePhoto() {
    static const std::vector<std::uint8_t> bytes = [] {
        const auto bmp = test::MakePhotoBmp(6000, 4000, 7);
        TMemoryStream file;
        file.WriteBuffer(bmp.data(), bmp.size());
        file.SetPosition(0);
        TBitmap bitmap;
        bitmap.LoadFromStream(file);
        TJPEGImage writer;
        writer.Assign(bitmap);
        TMemoryStream jpeg;
        writer.SaveToStream(jpeg);
        return jpeg.CopyOfBytes();
    }();
    return bytes;
}

const std::vector<std::uint8_t>& BytesOf(const benchmark::State& state) {
    return state.range(0) == 24 ? LargePhoto() : Photo();
}

struct BareError {
    jpeg_error_mgr library;
    std::jmp_buf jump;
};

void BareErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<BareError*>(cinfo->err)->jump, 1);
}

// The library alone: same parameters as the picture's (slow integer DCT, fancy upsampling,
// blue-green-red output), rows straight into one freshly allocated buffer.
void BareDecode(benchmark::State& state) {
    const auto& bytes = BytesOf(state);
    for (auto _ : state) {
        jpeg_decompress_struct d{};
        BareError error{};
        d.err = jpeg_std_error(&error.library);
        error.library.error_exit = BareErrorExit;
        if (setjmp(error.jump) != 0) {
            jpeg_destroy_decompress(&d);
            state.SkipWithError("library error");
            break;
        }
        jpeg_create_decompress(&d);
        jpeg_mem_src(&d, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&d, TRUE);
        d.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&d);
        const std::size_t rowBytes = (d.output_width * 3 + 3) & ~3u;
        auto* pixels = static_cast<std::uint8_t*>(std::calloc(rowBytes * d.output_height, 1));
        while (d.output_scanline < d.output_height) {
            JSAMPROW rows[16];
            const unsigned count = std::min(16u, d.output_height - d.output_scanline);
            for (unsigned i = 0; i < count; ++i)
                rows[i] = pixels + (d.output_scanline + i) * rowBytes;
            jpeg_read_scanlines(&d, rows, count);
        }
        jpeg_finish_decompress(&d);
        jpeg_destroy_decompress(&d);
        benchmark::DoNotOptimize(pixels[0]);
        std::free(pixels);
    }
}

// Loads the picture as the preview does: the file's bytes through a stream.
void LoadFromBytes(TJPEGImage& picture, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    picture.LoadFromStream(stream);
}

void PictureDecode(benchmark::State& state) {
    const auto& bytes = Photo();
    for (auto _ : state) {
        TJPEGImage picture;
        LoadFromBytes(picture, bytes);
        const TBitmap& bitmap = picture.DecodeBitmap();
        benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
    }
}

// A canvas that takes the stretched bitmap as a painter would, without a window.
class NullCanvas : public TCanvas {
public:
    void StretchDraw(const TRect&, const TBitmap& bitmap) override {
        benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
    }
};

void PreviewDraw(benchmark::State& state) {
    const auto& bytes = BytesOf(state);
    NullCanvas canvas;
    for (auto _ : state) {
        TJPEGImage picture;
        LoadFromBytes(picture, bytes);
        picture.Draw(canvas, TRect{0, 0, 65, 49});
    }
}

void PictureLoad(benchmark::State& state) {
    const auto& bytes = Photo();
    for (auto _ : state) {
        TJPEGImage picture;
        LoadFromBytes(picture, bytes);
        benchmark::DoNotOptimize(picture.Width());
    }
}

BENCHMARK(BareDecode)->Arg(12)->Arg(24)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PreviewDraw)->Arg(12)->Arg(24)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PictureDecode)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PictureLoad)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace
