// nimbrel-tool scan (headers only) of a folder of 10,000 pictures, against the dialog's own
// listing of the same folder (FillWallPapers without the preview), in the same run.
// Budget: the scan command <= 1.5 x FillWallPapers. Beside them the floor any header reader
// pays for the same files (open, read the bytes a header needs, close; one and two threads)
// and the command's fixed cost (its process on an empty folder).
#include "../common/child_cpu_time.h"
#include "picture_folder_environment.h"
#include "preview_jpeg.h"

#include "app/options_form.h"
#include "controls/toolkit.h"
#include "support/bmp_maker.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using nimbrel::bench::PictureFolderEnvironment;

constexpr int PictureCount = 10000;

// A file of the folder and the bytes from its start that its header needs.
struct HeaderRead {
    std::string name;
    std::size_t bytes = 0;
};
std::vector<HeaderRead> headerReads;
std::string wallsFolder;

// Where a JPEG's frame header ends: the bytes any reader of its size must have.
std::size_t FrameHeaderEnd(const std::vector<std::uint8_t>& jpeg) {
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        const int marker = jpeg[at + 1];
        const std::size_t end = at + 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return end;
        at = end;
    }
    return jpeg.size();
}

// Half small JPEG pictures, half small bitmaps, each a real file with a header to read.
void MakePictures(const std::string& folder) {
    const std::vector<std::uint8_t> jpeg = nimbrel::bench::MakeLargeJpeg(160, 120);
    const std::vector<std::uint8_t> bitmap = nimbrel::test::MakeBmp({.width = 16, .height = 12});
    constexpr std::size_t BitmapHeaders = 54; // file header and information header
    char name[32];
    for (int i = 0; i < PictureCount; ++i) {
        const bool isJpeg = i % 2 == 0;
        std::snprintf(name, sizeof name, isJpeg ? "img%05d.jpg" : "Pic%05d.BMP", i);
        const auto& bytes = isJpeg ? jpeg : bitmap;
        std::ofstream(folder + "/" + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        headerReads.push_back({name, isJpeg ? FrameHeaderEnd(jpeg) : BitmapHeaders});
    }
    wallsFolder = folder;
    std::filesystem::create_directories(folder + "/../empty");
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
void ScanCommandOf(benchmark::State& state, const std::string& tool, const char* extra) {
    const std::string command = tool + " scan 'C:\\walls' " + extra + " >/dev/null";
    const nimbrel::bench::ChildCpuCounter cpu(state);
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("scan did not find every picture ready");
            break;
        }
    }
}
void BM_ScanCommand(benchmark::State& state) {
    ScanCommandOf(state, NIMBREL_TOOL, "");
}
void BM_ScanCommandOneJob(benchmark::State& state) {
    ScanCommandOf(state, NIMBREL_TOOL, "--jobs 1");
}
BENCHMARK(BM_ScanCommand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScanCommandOneJob)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: each file opened through the open folder, its header's bytes read in one read,
// closed; the files shared out in two halves for two threads. No parsing, no output. With
// size:1 each open file is also asked its size, which the report shows.
void BM_OpenReadCloseFloor(benchmark::State& state) {
    const int folder = ::open(wallsFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const auto threads = static_cast<std::size_t>(state.range(0));
    const bool sized = state.range(1) != 0;
    auto readPart = [&](std::size_t part) {
        char buffer[4096];
        for (std::size_t i = part; i < headerReads.size(); i += threads) {
            const int fd = ::openat(folder, headerReads[i].name.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat info {};
            if (fd < 0 || (sized && ::fstat(fd, &info) != 0) ||
                ::read(fd, buffer, headerReads[i].bytes) !=
                    static_cast<ssize_t>(headerReads[i].bytes))
                std::abort();
            ::close(fd);
        }
    };
    for (auto _ : state) {
        std::vector<std::jthread> pool;
        for (std::size_t part = 1; part < threads; ++part)
            pool.emplace_back(readPart, part);
        readPart(0);
    }
    ::close(folder);
}
BENCHMARK(BM_OpenReadCloseFloor)
    ->ArgNames({"threads", "size"})
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The command's cost apart from its files: its process, settings and output on an empty folder.
void BM_ScanCommandEmptyFolder(benchmark::State& state) {
    const std::string command = std::string(NIMBREL_TOOL) + " scan 'C:\\empty' >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("scan of an empty folder failed");
            break;
        }
    }
}
BENCHMARK(BM_ScanCommandEmptyFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    PictureFolderEnvironment world(argc, argv);
    MakePictures(world.WallsHostFolder());
    world.StoreWallsAsWallpaperFolder();
    // Another build of the tool (an earlier commit's) measured in the same run, for a
    // before-and-after ratio: NIMBREL_TOOL_BEFORE=/path/to/nimbrel-tool.
    if (const char* before = std::getenv("NIMBREL_TOOL_BEFORE")) {
        const std::string tool = before;
        benchmark::RegisterBenchmark(
            "BM_ScanCommandBefore",
            [tool](benchmark::State& state) { ScanCommandOf(state, tool, ""); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(
            "BM_ScanCommandBeforeOneJob",
            [tool](benchmark::State& state) { ScanCommandOf(state, tool, "--jobs 1"); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
