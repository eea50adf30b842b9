// Expansion throughput in MB of output per second, on a picture-like 24-bit BMP of about
// 8 MB: the textbook decoder (baseline), the codec memory to memory, and DecompressFile
// file to file. The figures to compare are the ratios within one run.
#include "archive/archive.h"
#include "memory_codec.h"
#include "plain_lzh_decoder.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#ifndef _WIN32
#include "platform/portable/environment.h"
#include <unistd.h>
#endif

namespace nimbrel::bench {
namespace {

struct Picture {
    std::vector<std::uint8_t> bmp = test::MakePhotoBmp(1672, 1672); // 8.4 MB
    std::vector<std::uint8_t> stream = test::PackLzh(bmp);
};

const Picture& ThePicture() {
    static const Picture picture;
    return picture;
}

void PlainDecoder(benchmark::State& state) {
    const auto& picture = ThePicture();
    for (auto _ : state) {
        auto out = PlainLzhDecode(picture.stream);
        benchmark::DoNotOptimize(out.data());
        if (out.size() != picture.bmp.size())
            state.SkipWithError("wrong size");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * picture.bmp.size()));
}

void CodecMemoryToMemory(benchmark::State& state) {
    const auto& picture = ThePicture();
    MemoryCodec codec;
    for (auto _ : state) {
        const auto& out = codec.Expand(picture.stream);
        benchmark::DoNotOptimize(out.data());
        if (out.size() != picture.bmp.size())
            state.SkipWithError("wrong size");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * picture.bmp.size()));
}

void DecompressFileToFile(benchmark::State& state) {
    const auto& picture = ThePicture();
    const auto folder =
        std::filesystem::temp_directory_path() / ("nimbrel-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "root");
#ifndef _WIN32
    ::setenv("NIMBREL_ROOT", (folder / "root").c_str(), 1);
    platform::portable::ResetEnvironment();
    const std::string prefix = "C:";
#else
    const std::string prefix;
#endif
    test::Bytes file = test::PackNwp(picture.bmp);
    test::WriteHostFile((folder / "PIC.NWP").string(), file);
    const std::string input = prefix + (folder / "PIC.NWP").string();
    const std::string output = prefix + (folder / "PIC.BMP").string();
    for (auto _ : state)
        DecompressFile(input, output);
    if (std::filesystem::file_size(folder / "PIC.BMP") != picture.bmp.size())
        state.SkipWithError("wrong size");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * picture.bmp.size()));
    std::filesystem::remove_all(folder);
}

BENCHMARK(PlainDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(CodecMemoryToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(DecompressFileToFile)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace nimbrel::bench

BENCHMARK_MAIN();
