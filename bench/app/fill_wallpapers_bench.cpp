// FillWallPapers on a folder of 10,000 pictures, against the least any lister must do: the
// same two searches of the folder, for names only, and a case-insensitive sort of the names.
// Budget: FillWallPapers <= 1.2 x the bare search and sort.
#include "picture_folder_environment.h"

#include "app/options_form.h"
#include "controls/toolkit.h"
#include "platform/files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using nimbrel::bench::PictureFolderEnvironment;

constexpr int PictureCount = 10000;
const PictureFolderEnvironment* environment = nullptr;

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return std::toupper(x) < std::toupper(y); });
}

void BM_BareScanAndSort(benchmark::State& state) {
    const std::string folder = PictureFolderEnvironment::WallsFolder;
    for (auto _ : state) {
        std::vector<std::string> names;
        for (const char* pattern : {"\\*.JPG", "\\*.BMP"}) {
            nimbrel::platform::FileSearch search(folder + pattern,
                                                 nimbrel::platform::FindDetail::NameOnly);
            for (nimbrel::platform::FindData entry; search.Next(entry);)
                names.push_back(std::move(entry.name));
        }
        std::sort(names.begin(), names.end(), LessNoCase);
        benchmark::DoNotOptimize(names.data());
    }
}
BENCHMARK(BM_BareScanAndSort)->Unit(benchmark::kMillisecond);

// The host's own directory listing, below the emulated search, for scale.
void BM_HostScanAndSort(benchmark::State& state) {
    const std::string folder = environment->WallsHostFolder();
    for (auto _ : state) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::string name = entry.path().filename().string();
            const std::string extension = name.size() > 4 ? name.substr(name.size() - 4) : "";
            if (!LessNoCase(extension, ".JPG") && !LessNoCase(".JPG", extension))
                names.push_back(std::move(name));
            else if (!LessNoCase(extension, ".BMP") && !LessNoCase(".BMP", extension))
                names.push_back(std::move(name));
        }
        std::sort(names.begin(), names.end(), LessNoCase);
        benchmark::DoNotOptimize(names.data());
    }
}
BENCHMARK(BM_HostScanAndSort)->Unit(benchmark::kMillisecond);

void BM_FillWallPapers(benchmark::State& state) {
    // The idle priority of the program would measure the machine's other load instead.
    nimbrel::TOptionsForm form({{}, [] {}}, nimbrel::Toolkit());
    for (auto _ : state)
        form.FillWallPapers();
    if (form.WallpaperList->Count() != PictureCount)
        state.SkipWithError("the list does not hold every picture");
}
BENCHMARK(BM_FillWallPapers)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    PictureFolderEnvironment world(argc, argv);
    world.MakeEmptyPictures(PictureCount);
    world.StoreWallsAsWallpaperFolder();
    environment = &world;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
