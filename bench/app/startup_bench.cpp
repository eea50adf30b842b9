// Start-up of the whole program, from the process's start to its dialog shown and painted
// (its preview's picture decoded and drawn), against an empty Qt dialog started and ended
// the same way. Both run offscreen in a fresh environment whose current folder holds a few
// pictures. The wall time is the benchmark's time, the processor time the child_cpu_ms.
// Budget: on a folder of 1,000 pictures whose first is a 24-megapixel JPEG, at most 1.3 x
// the empty dialog, in processor time and in wall time.
#include "preview_jpeg.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A scratch emulated environment: its own registry and Windows folder, and a picture folder.
struct ScratchEnvironment {
    fs::path base;
    ScratchEnvironment() {
        std::string pattern = (fs::temp_directory_path() / "nimbrel-startup-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch folder");
        base = pattern;
        fs::create_directories(base / "root");
        fs::create_directories(base / "pictures");
        for (int i = 0; i < 20; ++i) {
            QImage picture(320, 240, QImage::Format_RGB888);
            picture.fill(QColor::fromHsv(i * 17 % 360, 160, 200));
            picture.save(
                QString::fromStdString(
                    (base / "pictures" / ("picture" + std::to_string(i) + ".bmp")).string()),
                "BMP");
        }
        ::setenv("NIMBREL_ROOT", (base / "root").c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("NIMBREL_QUIT_WHEN_SHOWN", "1", 1);
        fs::current_path(base / "pictures");
    }
    ~ScratchEnvironment() {
        std::error_code ignored;
        fs::current_path(fs::temp_directory_path(), ignored);
        fs::remove_all(base, ignored);
    }
};

ScratchEnvironment& Environment() {
    static ScratchEnvironment environment;
    return environment;
}

// Runs the program to its end; answers the processor time it used, in milliseconds, which
// unlike the elapsed time does not grow with the machine's other load (the dialog's thread
// runs at idle priority, so on a busy machine it mostly waits).
double RunToEnd(const char* program) {
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, program, nullptr, nullptr, argv, environ) != 0)
        throw std::runtime_error(std::string("cannot start ") + program);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(std::string(program) + " failed");
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

void BM_EmptyQtDialog(benchmark::State& state) {
    Environment();
    double processorMs = 0;
    for (auto _ : state)
        processorMs += RunToEnd(EMPTY_DIALOG_PROGRAM);
    state.counters["child_cpu_ms"] =
        benchmark::Counter(processorMs, benchmark::Counter::kAvgIterations);
}

void BM_OptionsDialog(benchmark::State& state) {
    Environment();
    double processorMs = 0;
    for (auto _ : state)
        processorMs += RunToEnd(NIMBREL_EXT_PROGRAM);
    state.counters["child_cpu_ms"] =
        benchmark::Counter(processorMs, benchmark::Counter::kAvgIterations);
}

// A wallpaper folder of 1,000 small pictures, JPEG and bitmap in turn, the first of them
// `first` when given.
fs::path ThousandPictures(const std::string& name, const std::vector<std::uint8_t>* first) {
    const fs::path folder = Environment().base / name;
    if (fs::exists(folder))
        return folder;
    fs::create_directories(folder);
    QImage picture(64, 48, QImage::Format_RGB888);
    for (int i = 0; i < 1000; ++i) {
        const bool bitmap = i % 2 != 0;
        const fs::path file =
            folder / ("p" + std::to_string(1000 + i) + (bitmap ? ".bmp" : ".jpg"));
        if (i == 0 && first) {
            std::ofstream(file, std::ios::binary)
                .write(reinterpret_cast<const char*>(first->data()),
                       static_cast<std::streamsize>(first->size()));
            continue;
        }
        picture.fill(QColor::fromHsv(i * 7 % 360, 160, 200));
        if (!picture.save(QString::fromStdString(file.string()), bitmap ? "BMP" : "JPG"))
            throw std::runtime_error("cannot write a picture of the thousand");
    }
    return folder;
}

void RunInFolder(benchmark::State& state, const fs::path& folder) {
    fs::current_path(folder);
    double processorMs = 0;
    for (auto _ : state)
        processorMs += RunToEnd(NIMBREL_EXT_PROGRAM);
    state.counters["child_cpu_ms"] =
        benchmark::Counter(processorMs, benchmark::Counter::kAvgIterations);
    fs::current_path(Environment().base / "pictures");
}

// The program on a wallpaper folder of 1,000 small pictures: the NWP count searches the
// folder at creation and the list is filled when the dialog shows, with one message-pump
// pass per picture found.
void BM_OptionsDialogOnThousandPictures(benchmark::State& state) {
    RunInFolder(state, ThousandPictures("thousand", nullptr));
}

// The same whose first picture, the one previewed at start-up, is a 24-megapixel JPEG.
void BM_OptionsDialogOnThousandPicturesLargeFirst(benchmark::State& state) {
    static const std::vector<std::uint8_t> large = nimbrel::bench::MakeLargeJpeg(6000, 4000);
    RunInFolder(state, ThousandPictures("thousand-large", &large));
}

} // namespace

BENCHMARK(BM_EmptyQtDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_OptionsDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_OptionsDialogOnThousandPictures)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);
BENCHMARK(BM_OptionsDialogOnThousandPicturesLargeFirst)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);
BENCHMARK_MAIN();
