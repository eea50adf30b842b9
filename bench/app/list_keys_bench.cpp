// Holding the down-arrow in the wallpaper list through 200 camera-size JPEGs (12 megapixels):
// key presses and releases are posted to the list through the application's event queue at
// a key-repeat rate of 30 per second, from a thread of their own, while the event loop runs
// as in the program. Measured: the time from the last key press being posted to the end of the
// paint that shows the last line's picture, and how many pictures were decoded on the way.
// Budget: the last picture painted within 100 ms of the last key.
#include "picture_folder_environment.h"
#include "preview_jpeg.h"
#include "preview_paint_watch.h"

#include "app/options_form.h"
#include "controls/toolkit.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QTest>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using nimbrel::bench::PictureFolderEnvironment;
using nimbrel::bench::PreviewPaintWatch;
using Clock = PreviewPaintWatch::Clock;

constexpr int PictureCount = 200;
constexpr int RepeatsPerSecond = 30;
constexpr int Width = 4000; // 12 megapixels
constexpr int Height = 3000;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void BM_HoldDownArrow(benchmark::State& state) {
    // The idle priority of the program would measure the machine's other load instead.
    nimbrel::TOptionsForm form({{}, [] {}}, nimbrel::Toolkit());
    form.Show();
    auto* list = dynamic_cast<QListWidget*>(form.WallpaperList->Peer());
    auto* preview = dynamic_cast<QWidget*>(form.Preview->Peer());
    if (!QTest::qWaitForWindowExposed(preview->window()) || list->count() != PictureCount) {
        state.SkipWithError("the dialog was not shown with every picture");
        return;
    }
    list->setFocus();
    PreviewPaintWatch watch(*preview);
    double lagSum = 0, worstLag = 0, paintSum = 0;
    for (auto _ : state) {
        form.WallpaperList->SetItemIndex(0);
        form.WallpaperListClick();
        QCoreApplication::processEvents(); // the first line painted before the keys start
        const int paintsBefore = watch.Paints();

        // The keys come from a thread of their own, as the window system's key repeat goes
        // on whatever the dialog is doing; they queue while the dialog is busy.
        std::atomic<int> keysPosted{0};
        std::atomic<Clock::rep> lastKey{0};
        bool lastShown = false;
        watch.OnPainted = [&] {
            lastShown = keysPosted == PictureCount - 1 &&
                        form.WallpaperList->ItemIndex() == PictureCount - 1;
        };
        std::jthread keyboard([&] {
            const auto period = std::chrono::microseconds(1000000 / RepeatsPerSecond);
            auto due = Clock::now();
            for (int key = 1; key < PictureCount; ++key) {
                due += period;
                std::this_thread::sleep_until(due);
                lastKey = Clock::now().time_since_epoch().count();
                keysPosted = key; // before the dialog can see the key
                QCoreApplication::postEvent(
                    list, new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, {}, {}, true));
                QCoreApplication::postEvent(
                    list, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Down, {}, {}, true));
            }
        });
        while (!lastShown)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        watch.OnPainted = nullptr;
        keyboard.join();

        const double lag =
            Milliseconds(watch.LastPaintEnd() - Clock::time_point(Clock::duration(lastKey)));
        lagSum += lag;
        worstLag = std::max(worstLag, lag);
        paintSum += watch.Paints() - paintsBefore;
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["last_key_to_painted_ms"] = lagSum / runs;
    state.counters["worst_ms"] = worstLag;
    state.counters["pictures_painted"] = paintSum / runs;
}
BENCHMARK(BM_HoldDownArrow)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// One picture's way to the screen alone, for scale: the line's click and the paint.
void BM_OneLineToPainted(benchmark::State& state) {
    nimbrel::TOptionsForm form({{}, [] {}}, nimbrel::Toolkit());
    form.Show();
    auto* preview = dynamic_cast<QWidget*>(form.Preview->Peer());
    if (!QTest::qWaitForWindowExposed(preview->window())) {
        state.SkipWithError("the dialog was not shown");
        return;
    }
    PreviewPaintWatch watch(*preview);
    for (auto _ : state) {
        const int paintsBefore = watch.Paints();
        form.WallpaperListClick();
        while (watch.Paints() == paintsBefore)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
BENCHMARK(BM_OneLineToPainted)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    PictureFolderEnvironment world(argc, argv);
    const std::vector<std::uint8_t> jpeg = nimbrel::bench::MakeLargeJpeg(Width, Height);
    // One picture under 200 names (hard links): the disk holds it once, each line loads it.
    const std::string folder = world.WallsHostFolder();
    std::ofstream(folder + "/p100.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()),
               static_cast<std::streamsize>(jpeg.size()));
    for (int i = 1; i < PictureCount; ++i)
        std::filesystem::create_hard_link(folder + "/p100.jpg",
                                          folder + "/p" + std::to_string(100 + i) + ".jpg");
    world.StoreWallsAsWallpaperFolder();
    std::printf("picture: %d x %d, %zu bytes; %d lines, %d key repeats per second\n", Width, Height,
                jpeg.size(), PictureCount, RepeatsPerSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
