// The preview of a 24-megapixel JPEG from a mouse click on its line in the dialog's list to
// the painted preview, against the bare library decode of the same bytes.
// Budget: click to painted <= 0.35 x the bare full-size decode (processor and wall time).
#include "picture_folder_environment.h"
#include "preview_jpeg.h"
#include "preview_paint_watch.h"

#include "app/options_form.h"
#include "controls/toolkit.h"

#include <QListWidget>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

using nimbrel::bench::PictureFolderEnvironment;

constexpr int Width = 6000; // 6000 x 4000: 24 megapixels
constexpr int Height = 4000;
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

// A click on the other of two lines (each names the large picture), through the list's
// own mouse handling, then the event loop until the preview has painted.
void BM_PreviewClickToPainted(benchmark::State& state) {
    // The idle priority of the program would measure the machine's other load instead.
    nimbrel::TOptionsForm form({{}, [] {}}, nimbrel::Toolkit());
    form.Show();
    auto* list = dynamic_cast<QListWidget*>(form.WallpaperList->Peer());
    auto* preview = dynamic_cast<QWidget*>(form.Preview->Peer());
    if (!QTest::qWaitForWindowExposed(preview->window()) || list->count() != 2) {
        state.SkipWithError("the dialog was not shown with its two lines");
        return;
    }
    nimbrel::bench::PreviewPaintWatch watch(*preview);
    QCoreApplication::processEvents(); // the first paint, of the first line
    int line = 0;
    for (auto _ : state) {
        line = 1 - line;
        const int paintsBefore = watch.Paints();
        const QPoint where = list->visualItemRect(list->item(line)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);
        while (watch.Paints() == paintsBefore)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (form.WallpaperList->ItemIndex() != line || !form.Preview->Picture())
        state.SkipWithError("the click did not reach the preview");
}
BENCHMARK(BM_PreviewClickToPainted)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    PictureFolderEnvironment world(argc, argv);
    const std::vector<std::uint8_t> jpeg = nimbrel::bench::MakeLargeJpeg(Width, Height);
    const std::string first = world.WallsHostFolder() + "/large1.jpg";
    std::ofstream(first, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()),
               static_cast<std::streamsize>(jpeg.size()));
    std::filesystem::create_hard_link(first, world.WallsHostFolder() + "/large2.jpg");
    world.StoreWallsAsWallpaperFolder();
    largeJpeg = &jpeg;
    std::printf("picture: %d x %d, %zu bytes (%.2f bits per pixel)\n", Width, Height, jpeg.size(),
                8.0 * static_cast<double>(jpeg.size()) / (double{Width} * Height));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
