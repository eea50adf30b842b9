// nimbrel-tool scan --deep, convert and scan --sheet, each as a user runs it.
// Budgets: convert of 200 NWP files beside 10,000 pictures at most 1.1 x the same 200 alone
// (the /others:10000 and /others:0 lines); --deep and convert with 2 jobs at least 1.7 x faster
// than with 1 job (compare the /jobs:1 and /jobs:2 lines of one run); --sheet of 500 pictures of 12
// megapixels: the time, and the reduced-scale decode it relies on against a full decode of the same
// picture. The machine's own ceiling for two jobs, in the same run: the same pictures decoded in
// memory on one thread and on two (other work on the shared cores lowers it). child_cpu_ms
// is the work a command did: alike for one job and two, the jobs add no work of their own.
#include "../common/child_cpu_time.h"
#include "imaging/jpeg_image.h"
#include "support/jpeg_maker.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"
#include "support/temp_environment.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace nimbrel;
namespace fs = std::filesystem;

std::unique_ptr<test::TempEnvironment> world;

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

const std::vector<std::uint8_t>& CameraPicture() {
    // 4000 x 3000, baseline 4:2:0 at quality 90: a camera's picture.
    static const auto bytes = test::MakeJpeg({test::JpegKind::Baseline420, 4000, 3000, 90});
    return bytes;
}

const std::vector<std::uint8_t>& DeepPicture() {
    // 1600 x 1200, baseline 4:2:0 at quality 90.
    static const auto bytes = test::MakeJpeg({test::JpegKind::Baseline420, 1600, 1200, 90});
    return bytes;
}

constexpr int CrowdNwpFiles = 200;

// C:\ALONE: 200 NWP files of 160 x 120; C:\CROWD: the same beside 10,000 pictures.
void MakeCrowdFolders() {
    const std::string c = world->DriveFolder('C');
    const auto nwp = test::PackNwp(test::MakePhotoBmp(160, 120, 7));
    const auto picture = test::MakeJpeg({test::JpegKind::Baseline420, 16, 16, 90});
    for (const char* folder : {"/alone", "/crowd"}) {
        fs::create_directories(c + folder);
        for (int i = 0; i < CrowdNwpFiles; ++i)
            Write(c + folder + "/n" + std::to_string(1000 + i) + ".nwp", nwp);
    }
    for (int i = 0; i < 10000; ++i)
        Write(c + "/crowd/p" + std::to_string(10000 + i) + ".jpg", picture);
}

// C:\DEEP: 80 pictures of 2 megapixels and 20 NWP files; C:\NWP: 40 NWP files of 800 x 600;
// C:\SHEET: 500 names of one 12-megapixel picture (hard links: the disk holds it once).
void MakeFolders() {
    const std::string c = world->DriveFolder('C');
    fs::create_directories(c + "/deep");
    fs::create_directories(c + "/nwp");
    fs::create_directories(c + "/sheet");
    for (int i = 0; i < 80; ++i)
        Write(c + "/deep/p" + std::to_string(100 + i) + ".jpg", DeepPicture());
    const auto small = test::PackNwp(test::MakePhotoBmp(640, 480, 3));
    for (int i = 0; i < 20; ++i)
        Write(c + "/deep/n" + std::to_string(100 + i) + ".nwp", small);
    const auto large = test::PackNwp(test::MakePhotoBmp(800, 600, 5));
    for (int i = 0; i < 40; ++i)
        Write(c + "/nwp/n" + std::to_string(100 + i) + ".nwp", large);
    Write(c + "/sheet/p100.jpg", CameraPicture());
    for (int i = 1; i < 500; ++i)
        fs::create_hard_link(c + "/sheet/p100.jpg",
                             c + "/sheet/p" + std::to_string(100 + i) + ".jpg");
}

void RunTool(benchmark::State& state, const std::string& args, int wantedExit) {
    const std::string command = std::string(NIMBREL_TOOL) + " " + args + " >/dev/null";
    const bench::ChildCpuCounter cpu(state);
    for (auto _ : state) {
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != wantedExit) {
            state.SkipWithError(("unexpected exit of: " + command).c_str());
            break;
        }
    }
}

void BM_ScanDeep(benchmark::State& state) {
    RunTool(state, "scan 'C:\\DEEP' --deep --jobs " + std::to_string(state.range(0)), 1);
}
BENCHMARK(BM_ScanDeep)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Convert(benchmark::State& state) {
    RunTool(state, "convert 'C:\\NWP' --keep --jobs " + std::to_string(state.range(0)), 0);
}
BENCHMARK(BM_Convert)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Each iteration converts all 200 afresh: the bitmaps of the one before are removed untimed.
void BM_ConvertAmongPictures(benchmark::State& state) {
    const bool crowd = state.range(0) > 0;
    const std::string folder = world->DriveFolder('C') + (crowd ? "/crowd" : "/alone");
    const std::string command = std::string(NIMBREL_TOOL) + " convert 'C:\\" +
                                (crowd ? "CROWD" : "ALONE") + "' --keep >/dev/null";
    const bench::ChildCpuCounter cpu(state);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < CrowdNwpFiles; ++i)
            fs::remove(folder + "/N" + std::to_string(1000 + i) + ".BMP");
        state.ResumeTiming();
        const int status = std::system(command.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError(("unexpected exit of: " + command).c_str());
            break;
        }
    }
}
BENCHMARK(BM_ConvertAmongPictures)
    ->ArgName("others")
    ->Arg(0)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Sheet500CameraPictures(benchmark::State& state) {
    const std::string out = world->DriveFolder('C') + "/SHEET.JPG";
    RunTool(state, "scan 'C:\\SHEET' --sheet 'C:\\SHEET.JPG'", 0);
    if (!fs::exists(out))
        state.SkipWithError("no sheet written");
}
BENCHMARK(BM_Sheet500CameraPictures)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One camera picture decoded as the preview decodes it, and at the eighth scale the sheet
// uses for it.
void DecodeAt(benchmark::State& state, TOutputScale scale) {
    TMemoryStream bytes;
    bytes.WriteBuffer(CameraPicture().data(), CameraPicture().size());
    for (auto _ : state) {
        bytes.SetPosition(0);
        TJPEGImage picture;
        picture.LoadFromStream(bytes);
        picture.SetOutputScale(scale);
        benchmark::DoNotOptimize(picture.DecodeBitmap().ScanLine(0));
    }
}
void BM_DecodeFull(benchmark::State& state) {
    DecodeAt(state, TOutputScale::ScaleFull);
}
void BM_DecodeEighth(benchmark::State& state) {
    DecodeAt(state, TOutputScale::ScaleEighth);
}
BENCHMARK(BM_DecodeFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeEighth)->Unit(benchmark::kMillisecond);

// Sixteen of --deep's pictures decoded from memory, shared out over one or two threads: what
// two jobs can gain on this machine now, with no file, no process and no hand-over.
void BM_DecodeOnThreads(benchmark::State& state) {
    constexpr int Pictures = 16;
    const auto threads = static_cast<int>(state.range(0));
    auto decodeShare = [&](int part) {
        for (int i = part; i < Pictures; i += threads) {
            TMemoryStream bytes;
            bytes.WriteBuffer(DeepPicture().data(), DeepPicture().size());
            bytes.SetPosition(0);
            TJPEGImage picture;
            picture.LoadFromStream(bytes);
            benchmark::DoNotOptimize(picture.DecodeBitmap().ScanLine(0));
        }
    };
    for (auto _ : state) {
        std::vector<std::jthread> pool;
        for (int part = 1; part < threads; ++part)
            pool.emplace_back(decodeShare, part);
        decodeShare(0);
    }
}
BENCHMARK(BM_DecodeOnThreads)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    world = std::make_unique<test::TempEnvironment>();
    MakeFolders();
    MakeCrowdFolders();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    world.reset();
    return 0;
}
