// The screen saver's first picture of a folder of 24-megapixel JPEG photos on a 1920 x 1080
// screen, against a bare full-size decode of the same file in the same run.
// Budget: first picture <= 0.3 s (the counter "first_s"; "ratio_to_full_decode" shows the
// reduced-scale decode's share).
// The resident size after 1,000 pictures against after 10 (2-megapixel photos, rendered
// ahead as the saver does). Budget: growth <= 1 MB ("growth_kB").
// How late each change comes after its due time at a sped-up clock. Budget: at most one
// frame (16.7 ms) ("late_max_ms").
#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "imaging/picture_formats.h"
#include "imaging/stream.h"
#include "saver/saver_run.h"
#include "saver/saver_settings.h"
#include "saver/slideshow.h"
#include "support/photo_bmp.h"
#include "support/temp_environment.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

using namespace nimbrel;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> PhotoJpeg(int width, int height, std::uint32_t seed) {
    const auto bmp = test::MakePhotoBmp(width, height, seed);
    TMemoryStream file;
    file.WriteBuffer(bmp.data(), bmp.size());
    file.SetPosition(0);
    TBitmap bitmap;
    bitmap.LoadFromStream(file);
    TJPEGImage writer;
    writer.Assign(bitmap);
    TMemoryStream jpeg;
    writer.SaveToStream(jpeg);
    return jpeg.CopyOfBytes();
}

void WritePicture(const test::TempEnvironment& env, const std::string& name,
                  const std::vector<std::uint8_t>& bytes) {
    env.WriteHostFile('C', "pics/" + name, std::string(bytes.begin(), bytes.end()));
}

saver::SaverSettings Settings() {
    saver::SaverSettings settings;
    settings.folder = "C:\\PICS";
    return settings;
}

double Seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

void FirstPictureOf24MegapixelPhotos(benchmark::State& state) {
    test::TempEnvironment env;
    RegisterPictureFormats();
    const auto photo = PhotoJpeg(6000, 4000, 7);
    WritePicture(env, "a.jpg", photo);
    WritePicture(env, "b.jpg", PhotoJpeg(6000, 4000, 8));
    double first = 0, full = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        saver::Slideshow slideshow(Settings(), {1920, 1080, {}}, "", [](const std::string&) {});
        const saver::Frame frame = slideshow.First();
        first += Seconds(Clock::now() - start);
        benchmark::DoNotOptimize(frame.picture.get());

        const auto bareStart = Clock::now();
        TMemoryStream stream;
        stream.WriteBuffer(photo.data(), photo.size());
        stream.SetPosition(0);
        TJPEGImage whole;
        whole.LoadFromStream(stream);
        benchmark::DoNotOptimize(&whole.DecodeBitmap());
        full += Seconds(Clock::now() - bareStart);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["first_s"] = first / runs;
    state.counters["full_decode_s"] = full / runs;
    state.counters["ratio_to_full_decode"] = first / full;
    UnregisterPictureFormats();
}
BENCHMARK(FirstPictureOf24MegapixelPhotos)->Unit(benchmark::kMillisecond)->Iterations(5);

long ResidentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void MemoryAfterAThousandPictures(benchmark::State& state) {
    test::TempEnvironment env;
    RegisterPictureFormats();
    for (int i = 0; i < 4; ++i)
        WritePicture(env, "p" + std::to_string(i) + ".jpg", PhotoJpeg(1600, 1200, 11 + i));
    for (auto _ : state) {
        saver::Slideshow slideshow(Settings(), {1920, 1080, {}}, "", [](const std::string&) {});
        saver::Frame frame = slideshow.First();
        long afterTen = 0;
        for (int shown = 1; shown <= 1000; ++shown) {
            slideshow.Shown(frame);
            slideshow.PrepareNext();
            frame = slideshow.TakeNext();
            if (shown == 10)
                afterTen = ResidentKilobytes();
        }
        state.counters["rss_after_10_kB"] = static_cast<double>(afterTen);
        state.counters["rss_after_1000_kB"] = static_cast<double>(ResidentKilobytes());
        state.counters["growth_kB"] = static_cast<double>(ResidentKilobytes() - afterTen);
    }
    UnregisterPictureFormats();
}
BENCHMARK(MemoryAfterAThousandPictures)->Unit(benchmark::kSecond)->Iterations(1);

// Sleeps to each due time as the programs' waits do, and notes when each change shows.
class TimingDisplay : public saver::SaverDisplay {
public:
    explicit TimingDisplay(int changes) : changes_(changes) {}
    void Show(const saver::Frame&) override {
        if (due_)
            late_ = std::max(late_, Clock::now() - *due_);
    }
    bool WaitUntil(Clock::time_point deadline) override {
        if (changes_-- == 0)
            return false;
        std::this_thread::sleep_until(deadline);
        due_ = deadline;
        return true;
    }
    Clock::duration late_{};

private:
    int changes_;
    std::optional<Clock::time_point> due_;
};

void ChangesOnTime(benchmark::State& state) {
    test::TempEnvironment env;
    RegisterPictureFormats();
    WritePicture(env, "a.jpg", PhotoJpeg(6000, 4000, 7));
    WritePicture(env, "b.jpg", PhotoJpeg(6000, 4000, 8));
    for (auto _ : state) {
        saver::Slideshow slideshow(Settings(), {1920, 1080, {}}, "", [](const std::string&) {});
        TimingDisplay display(8);
        // A "second" of 100 ms: ten of them leave the decoding ahead a whole second.
        saver::RunSaver(slideshow, display, saver::SaverClock(100ms), 10);
        state.counters["late_max_ms"] =
            std::chrono::duration<double, std::milli>(display.late_).count();
    }
    UnregisterPictureFormats();
}
BENCHMARK(ChangesOnTime)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
