// The NWP-to-picture pipeline: arbitrary bytes after the compressed-file signature are
// expanded into X.BMP, which is then loaded by extension and painted as the wallpaper
// preview does. Loading may fail (the preview then shows nothing); a loaded picture must
// paint with every pixel inside its rows and every palette index answered.
#include "archive/archive.h"
#include "imaging/bitmap.h"
#include "imaging/canvas.h"
#include "imaging/picture.h"
#include "imaging/picture_formats.h"
#include "imaging/picture_limits.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/file_size_cap.h"
#include "fuzz/fuzz_scratch.h"

namespace {

using namespace nimbrel;

// Past this the expansion fails as on a full disk; the seeds expand well within it.
constexpr std::uint64_t OutputCap = 64 << 10;

struct Scratch : fuzz::ScratchFolder {
    Scratch() : fuzz::ScratchFolder("picture") {
        RegisterPictureFormats();
        // The program's budget, scaled down so that one run stays quick.
        PictureLimits() = TPictureLimits{4'000'000, 4'000'000 * 6 + (16u << 20)};
    }
};

// Reads every pixel the way a painter does.
class TouchingCanvas : public TCanvas {
public:
    void StretchDraw(const TRect&, const TBitmap& bitmap) override {
        const std::size_t used = static_cast<std::size_t>(bitmap.Width()) *
                                 (bitmap.PixelFormat() == TPixelFormat::pf8bit ? 1 : 3);
        if (used > bitmap.RowBytes())
            __builtin_trap();
        const TPaletteHandle palette = bitmap.Palette();
        const std::size_t entries = palette ? palette->Entries.size() : 0;
        for (int y = 0; y < bitmap.Height(); ++y) {
            const std::uint8_t* row = bitmap.ScanLine(y);
            for (std::size_t i = 0; i < used; ++i) {
                sum += row[i];
                if (bitmap.PixelFormat() == TPixelFormat::pf8bit && row[i] < entries)
                    sum += palette->Entries[row[i]].Red;
            }
        }
    }
    std::uint64_t sum = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    const auto input = scratch.folder / "X.NWP";
    const auto output = scratch.folder / "X.BMP";
    {
        std::ofstream file(input, std::ios::binary | std::ios::trunc);
        const char signature[] = {0x01, 0x00, 0x33, static_cast<char>(0xAC)};
        file.write(signature, sizeof signature);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    try {
        const fuzz::FileSizeCap cap(OutputCap);
        DecompressFile("C:" + input.string(), "C:" + output.string());
    } catch (const EArchive&) {
        return 0;
    }
    TPicture preview;
    try {
        preview.LoadFromFile("C:" + output.string());
    } catch (const std::exception&) {
        if (preview.Graphic() != nullptr)
            __builtin_trap(); // a failed load keeps the (empty) holder as it was
        return 0;
    }
    TouchingCanvas canvas;
    preview.Graphic()->Draw(canvas, TRect{0, 0, 65, 49});
    return 0;
}
