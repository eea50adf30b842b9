// nimbrel-tool scan (headers only) of a folder of 10,000 pictures, against the dialog's own
// listing of the same folder (FillWallPapers without the preview), in the same run.
// Budget: the scan command <= 1.5 x FillWallPapers.
#include "picture_folder_environment.h"
#include "preview_jpeg.h"

#include "app/options_form.h"
#include "controls/toolkit.h"
#include "support/bmp_maker.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using nimbrel::bench::PictureFolderEnvironment;

constexpr int PictureCount = 10000;

// Half small JPEG pictures, half small bitmaps, each a real file with a header to read.
void MakePictures(const std::string& folder) {
    const std::vector<std::uint8_t> jpeg = nimbrel::bench::MakeLargeJpeg(160, 120);
    const std::vector<std::uint8_t> bitmap = nimbrel::test::MakeBmp({.width = 16, .height = 12});
    char name[32];
    for (int i = 0; i < PictureCount; ++i) {
        const bool isJpeg = i % 2 == 0;
        std::snprintf(name, sizeof name, isJpeg ? "img%05d.jpg" : "Pic%05d.BMP", i);
        const auto& bytes = isJpeg ? jpeg : bitmap;
        std::ofstream(folder + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
}

void BM_FillWallPapers(benchmark::State& state) {
    nimbrel::TOptionsForm form({{}, [] {}}, nimbrel::Toolkit());
    for (auto _ : state)
        form.FillWallPapers();
    if (form.WallpaperList->Count() != PictureCount)
        state.SkipWithError("the list does not hold every picture");
}
BENCHMARK(BM_FillWallPapers)->Unit(benchmark::kMillisecond)->UseRealTime();

// The command as a user runs it: its own process, every file opened and its header read.
void ScanCommand(benchmark::State& state, const char* extra) {
    const std::string command =
        std::string(NIMBREL_TOOL) + " scan 'C:\\walls' " + extra + " >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("scan did not find every picture ready");
            break;
        }
    }
}
void BM_ScanCommand(benchmark::State& state) {
    ScanCommand(state, "");
}
void BM_ScanCommandOneJob(benchmark::State& state) {
    ScanCommand(state, "--jobs 1");
}
BENCHMARK(BM_ScanCommand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScanCommandOneJob)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    PictureFolderEnvironment world(argc, argv);
    MakePictures(world.WallsHostFolder());
    world.StoreWallsAsWallpaperFolder();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
