// Opening a folder of 2,000 subfolders in the folder list (search, sort, one line each),
// against the bare platform search of the same folders.
#include "controls/qt/folders.h"
#include "platform/files.h"
#include "support/temp_environment.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int SubfolderCount = 2000;

// Each iteration opens the large folder and then one of its (empty) subfolders.
constexpr const char* Large = "C:\\BIG";
constexpr const char* Small = "C:\\BIG\\Folder7";

void MakeFolders(const nimbrel::test::TempEnvironment& environment) {
    for (int i = 0; i < SubfolderCount; ++i) {
        // Mixed case, created out of order, so that sorting has work to do.
        const int n = (i * 7919) % SubfolderCount;
        environment.MakeHostFolder('C', "big/" + std::string(n % 2 ? "Folder" : "folder") +
                                            std::to_string(n));
    }
}

void BM_PlatformSearchOnly(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t count = 0;
        for (const char* folder : {Large, Small}) {
            nimbrel::platform::FileSearch search(std::string(folder) + "\\*");
            for (nimbrel::platform::FindData entry; search.Next(entry);) {
                ++count;
            }
        }
        benchmark::DoNotOptimize(count);
    }
}

void BM_FolderListOpen(benchmark::State& state) {
    nimbrel::TFolderList list("Folder");
    nimbrel::qt::TQtFolderList window(list, nullptr);
    list.AttachPeer(&window);
    for (auto _ : state) {
        list.SetDirectory(Large);
        list.SetDirectory(Small);
        benchmark::DoNotOptimize(window.count());
    }
    list.DetachPeer();
}

BENCHMARK(BM_PlatformSearchOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FolderListOpen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    nimbrel::test::TempEnvironment environment;
    MakeFolders(environment);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
