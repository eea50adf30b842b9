// Start-up of the whole program, from the process's start to its dialog shown and painted
// (its preview's picture decoded and drawn), against an empty Qt dialog started and ended
// the same way. Both run offscreen in a fresh environment whose current folder holds a few
// pictures. The wall time is the benchmark's time, the processor time the child_cpu_ms,
// the program's peak resident memory the peak_rss_mb.
// Budget: on a folder of 1,000 pictures whose first is a 24-megapixel JPEG, at most 1.3 x
// the empty dialog, in processor time and in wall time; the large picture adds at most
// 16 MB. Beside the programs, the same run measures the large picture's floor (its file
// read, and the library alone decoding it at the preview's scale) and prints a summary.
#include "child_launcher.h"
#include "platform/memory.h"
#include "preview_jpeg.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nimbrel::bench::ChildLauncher;
using nimbrel::bench::ChildRun;

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

ChildLauncher& Launcher() {
    static ChildLauncher launcher;
    return launcher;
}

// What a benchmark measured, per run, for the summary after the last one.
struct Figures {
    double wallMs = 0;
    double processorMs = 0;
    double peakRssMb = 0;
    bool measured = false;
};

struct AllFigures {
    Figures empty, twenty, thousand, largeFirst, read, decode;
};

AllFigures& Measured() {
    static AllFigures figures;
    return figures;
}

// Runs the program in `folder` once per iteration; the wall time is the benchmark's time,
// the processor time the child_cpu_ms (unlike the elapsed time it does not grow with the
// machine's other load: the dialog's thread runs at idle priority, so on a busy machine it
// mostly waits), and the peak_rss_mb the program's largest resident size.
void RunProgram(benchmark::State& state, const char* program, const fs::path& folder,
                Figures& figures) {
    Environment();
    Figures sum;
    std::int64_t runs = 0;
    for (auto _ : state) {
        const ChildRun run = Launcher().Run(program, folder.string());
        sum.wallMs += run.wallMs;
        sum.processorMs += run.processorMs;
        sum.peakRssMb = std::max(sum.peakRssMb, run.peakRssMb);
        ++runs;
    }
    if (runs == 0)
        return;
    figures = {sum.wallMs / static_cast<double>(runs), sum.processorMs / static_cast<double>(runs),
               sum.peakRssMb, true};
    state.counters["child_cpu_ms"] = figures.processorMs;
    state.counters["peak_rss_mb"] = figures.peakRssMb;
}

void BM_EmptyQtDialog(benchmark::State& state) {
    RunProgram(state, EMPTY_DIALOG_PROGRAM, Environment().base / "pictures", Measured().empty);
}

void BM_OptionsDialog(benchmark::State& state) {
    RunProgram(state, NIMBREL_EXT_PROGRAM, Environment().base / "pictures", Measured().twenty);
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

const std::vector<std::uint8_t>& LargeJpeg() {
    static const std::vector<std::uint8_t> large = nimbrel::bench::MakeLargeJpeg(6000, 4000);
    return large;
}

fs::path LargeFirstFolder() {
    return ThousandPictures("thousand-large", &LargeJpeg());
}

// The program on a wallpaper folder of 1,000 small pictures: the NWP count searches the
// folder at creation and the list is filled when the dialog shows, with one message-pump
// pass per picture found.
void BM_OptionsDialogOnThousandPictures(benchmark::State& state) {
    RunProgram(state, NIMBREL_EXT_PROGRAM, ThousandPictures("thousand", nullptr),
               Measured().thousand);
}

// The same whose first picture, the one previewed at start-up, is a 24-megapixel JPEG.
void BM_OptionsDialogOnThousandPicturesLargeFirst(benchmark::State& state) {
    RunProgram(state, NIMBREL_EXT_PROGRAM, LargeFirstFolder(), Measured().largeFirst);
}

double ProcessorMsNow() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Times `work` per iteration, in wall and processor time, into `figures`.
template <class Work> void RunHere(benchmark::State& state, Figures& figures, Work work) {
    Figures sum;
    std::int64_t runs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double processorStart = ProcessorMsNow();
        work();
        sum.processorMs += ProcessorMsNow() - processorStart;
        sum.wallMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        ++runs;
    }
    if (runs > 0)
        figures = {sum.wallMs / static_cast<double>(runs),
                   sum.processorMs / static_cast<double>(runs), 0, true};
}

// The floor of the large first picture, part one: its file read whole (from the page cache,
// as in the runs above) into memory never touched before, as loading the picture does: the
// pages are fresh each time (the allocator would hand back the ones of the last round), and
// provided at once, the cheapest way the system has.
void BM_LargeFirstPictureRead(benchmark::State& state) {
    const fs::path file = LargeFirstFolder() / "p1000.jpg";
    const std::size_t size = static_cast<std::size_t>(fs::file_size(file));
    RunHere(state, Measured().read, [&file, size] {
        void* memory =
            ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            throw std::runtime_error("no memory for the file");
        nimbrel::platform::ProvideBlockAtOnce(memory, size);
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        std::size_t done = 0;
        while (fd >= 0 && done < size) {
            const ssize_t got = ::read(fd, static_cast<char*>(memory) + done, size - done);
            if (got <= 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        if (fd >= 0)
            ::close(fd);
        ::munmap(memory, size);
        if (done != size)
            throw std::runtime_error("cannot read the large picture");
    });
}

// Part two: the library alone decoding the same file at the preview's scale. The preview box
// is 65 x 49 pixels; an eighth of 6000 x 4000 (750 x 500) still covers it, and the library
// scales no further. Even so it must decode every entropy-coded block of the file.
void BM_LargeFirstPictureDecodeAtPreviewScale(benchmark::State& state) {
    const std::vector<std::uint8_t>& jpeg = LargeJpeg();
    RunHere(state, Measured().decode,
            [&jpeg] { benchmark::DoNotOptimize(nimbrel::bench::BareDecode(jpeg, nullptr, 8)); });
}

// The ratios of this run, and the large first picture against its floor: the start-up on
// 1,000 pictures plus the file read and the library's decode at the preview's scale. What
// the large picture costs above that floor is the program's own.
void PrintSummary() {
    const AllFigures& m = Measured();
    if (!m.empty.measured || !m.thousand.measured || !m.largeFirst.measured || !m.read.measured ||
        !m.decode.measured)
        return;
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("\nAgainst the empty Qt dialog (wall / processor time, peak memory):\n");
    const struct {
        const char* name;
        const Figures& figures;
    } rows[] = {{"20 pictures", m.twenty},
                {"1,000 pictures", m.thousand},
                {"1,000, a 24-MP JPEG first", m.largeFirst}};
    for (const auto& row : rows) {
        if (!row.figures.measured)
            continue;
        std::printf("  %-26s %.2fx / %.2fx   peak %.1f MB (%+.1f MB)\n", row.name,
                    ratio(row.figures.wallMs, m.empty.wallMs),
                    ratio(row.figures.processorMs, m.empty.processorMs), row.figures.peakRssMb,
                    row.figures.peakRssMb - m.empty.peakRssMb);
    }
    std::printf("The 24-MP first picture adds %.1f ms wall, %.1f ms processor, %+.1f MB peak "
                "memory to the start-up on 1,000 pictures (%+.0f %% processor time).\n",
                m.largeFirst.wallMs - m.thousand.wallMs,
                m.largeFirst.processorMs - m.thousand.processorMs,
                m.largeFirst.peakRssMb - m.thousand.peakRssMb,
                100.0 * (ratio(m.largeFirst.processorMs, m.thousand.processorMs) - 1.0));
    const double floorProcessor =
        m.thousand.processorMs + m.read.processorMs + m.decode.processorMs;
    const double floorWall = m.thousand.wallMs + m.read.wallMs + m.decode.wallMs;
    std::printf("Its floor: read %.1f ms + library decode at 1/8 %.1f ms (processor time).\n"
                "  processor: %.1f ms against the floor's %.1f ms (%.2fx); wall: %.1f ms against "
                "%.1f ms (%.2fx)\n"
                "  the floor alone is %.2fx the empty dialog in processor time.\n",
                m.read.processorMs, m.decode.processorMs, m.largeFirst.processorMs, floorProcessor,
                ratio(m.largeFirst.processorMs, floorProcessor), m.largeFirst.wallMs, floorWall,
                ratio(m.largeFirst.wallMs, floorWall), ratio(floorProcessor, m.empty.processorMs));
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
BENCHMARK(BM_LargeFirstPictureRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_LargeFirstPictureDecodeAtPreviewScale)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

int main(int argc, char** argv) {
    // Before anything grows: the launcher's own size is every program's starting point.
    Launcher();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
