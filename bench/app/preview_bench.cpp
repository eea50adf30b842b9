// The preview of a 12-megapixel JPEG from the click on its line to the painted preview,
// against the bare library decode of the same bytes.
#include "picture_folder_environment.h"
#include "preview_jpeg.h"

#include "app/options_form.h"
#include "controls/toolkit.h"

#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <vector>

namespace {

using nimbrel::bench::PictureFolderEnvironment;

constexpr int Width = 4000; // 4000 x 3000: 12 megapixels
constexpr int Height = 3000;
const std::vector<std::uint8_t>* largeJpeg = nullptr;

void BM_BareLibraryDecode(benchmark::State& state) {
    for (auto _ : state) {
        if (nimbrel::bench::BareDecode(*largeJpeg) != Height)
            state.SkipWithError("the decode did not give every row");
    }
}
BENCHMARK(BM_BareLibraryDecode)->Unit(benchmark::kMillisecond);

// The same into one buffer used again: no first touch of fresh pages.
void BM_BareLibraryDecodeWarmBuffer(benchmark::State& state) {
    std::vector<std::uint8_t> pixels;
    for (auto _ : state) {
        if (nimbrel::bench::BareDecode(*largeJpeg, &pixels) != Height)
            state.SkipWithError("the decode did not give every row");
    }
}
BENCHMARK(BM_BareLibraryDecodeWarmBuffer)->Unit(benchmark::kMillisecond);

void BM_PreviewClickToPainted(benchmark::State& state) {
    // The idle priority of the program would measure the machine's other load instead.
    nimbrel::TOptionsForm form({{}, [] {}}, nimbrel::Toolkit());
    form.Show();
    auto* preview = dynamic_cast<QWidget*>(form.Preview->Peer());
    if (!QTest::qWaitForWindowExposed(preview->window()))
        state.SkipWithError("the dialog was not shown");
    for (auto _ : state) {
        form.WallpaperListClick(); // a new picture: loaded, not yet decoded
        preview->repaint();        // decoded and drawn now
    }
    if (!form.Preview->Picture())
        state.SkipWithError("the preview holds no picture");
}
BENCHMARK(BM_PreviewClickToPainted)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    PictureFolderEnvironment world(argc, argv);
    const std::vector<std::uint8_t> jpeg = nimbrel::bench::MakeLargeJpeg(Width, Height);
    std::ofstream(world.WallsHostFolder() + "/large.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()),
               static_cast<std::streamsize>(jpeg.size()));
    world.StoreWallsAsWallpaperFolder();
    largeJpeg = &jpeg;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
