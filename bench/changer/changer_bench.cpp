// The wallpaper changer as a session runs it, on a 1920x1080 Xvfb of its own, each figure
// against a baseline of the same run:
// - a 24-megapixel JPEG set as the root picture: nimbrel-changer --once against
//   feh --bg-fill on the same file, run in turns (budget: at most 0.5x, wall time);
// - a "ChangeTo" written with nimbrel-tool until the root picture changed (budget: at most
//   1 s plus the render time, the --once time above);
// - memory over 1,000 changes on the sped-up clock (budget: the resident size after 1,000 at
//   most 1 MB above that after 10, and at most 16 MB between changes);
// - a minute of real time between two changes under strace (budget: no system call but the
//   notification wait).
// The pictures are made with ImageMagick, as a user's camera files come from elsewhere.
#include "bench_display.h"
#include "support/temp_environment.h"
#include "support/xvfb_server.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using nimbrel::bench::BenchDisplay;
using nimbrel::test::TempEnvironment;

constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;
constexpr const char* Key = "HKCU\\Software\\Vexmoor\\Nimbrel";

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Starts a program; without `stderrFd` its messages (and its output always) are dropped.
pid_t Spawn(const std::vector<std::string>& args, int stderrFd = -1) {
    const int nothing = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid =
        nimbrel::test::SpawnProgram(args, nothing, stderrFd >= 0 ? stderrFd : nothing);
    ::close(nothing);
    if (pid < 0)
        throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

struct ChildRun {
    double wallMs = 0;
    double processorMs = 0;
    int status = -1;
};

ChildRun Run(const std::vector<std::string>& args) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = Spawn(args);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {Ms(std::chrono::steady_clock::now() - start), ms(usage.ru_utime) + ms(usage.ru_stime),
            WIFEXITED(status) ? WEXITSTATUS(status) : 128};
}

void MustRun(const std::vector<std::string>& args) {
    if (Run(args).status != 0)
        throw std::runtime_error("failed: " + args[0] + " " + (args.size() > 1 ? args[1] : ""));
}

void Reg(const std::string& name, const std::string& type, const std::string& data) {
    MustRun({NIMBREL_TOOL, "reg", "set", Key, name, type, data});
}

// The world of every benchmark: the display, a scratch store, the pictures.
struct World {
    BenchDisplay display{ScreenWidth, ScreenHeight};
    TempEnvironment env;
    std::string large;                 // host path of the 24-MP JPEG
    std::vector<std::string> threeBig; // its copies in C:\THREE
    World() {
        if (display.Name().empty())
            throw std::runtime_error("Xvfb did not start");
        setenv("DISPLAY", display.Name().c_str(), 1);
        const std::string one = env.MakeHostFolder('C', "one");
        env.MakeHostFolder('C', "three");
        env.MakeHostFolder('C', "small");
        large = one + "/large.jpg";
        // Camera-like: smooth shapes, grain, 4:2:0, quality 90, 6 MB.
        MustRun({"convert", "-seed", "7", "-size", "750x500", "plasma:fractal", "-resize",
                 "6000x4000!", "-attenuate", "0.4", "+noise", "Gaussian", "-quality", "90",
                 "-sampling-factor", "2x2", large});
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            MustRun({"cp", large, env.DriveFolder('C') + "/three/" + name});
        threeBig = {"A.JPG", "B.JPG", "C.JPG"}; // as the folder lists them
        for (int i = 0; i < 4; ++i)
            MustRun({"convert", "-seed", std::to_string(i), "-size", "300x200", "plasma:fractal",
                     "-resize", "1600x1000!", "-attenuate", "0.4", "+noise", "Gaussian", "-quality",
                     "90", env.DriveFolder('C') + "/small/p" + std::to_string(i) + ".jpg"});
        Reg("StretchWallpaper", "sz", "FitToScreen");
    }
};

World& TheWorld() {
    static World world;
    return world;
}

struct Figures {
    double changerOnceMs = 0, fehMs = 0, changerCpuMs = 0, fehCpuMs = 0;
    double requestMs = 0;
    double rssAfter10Kb = 0, rssAfter1000Kb = 0, rssBetweenMaxKb = 0, hwmKb = 0;
    int changes = 0;
    int idleCalls = -1;
    std::string idleCallNames;
    std::string idleCallExamples; // the first call of each name
};
Figures figures;

// feh and the changer in turns on the same picture, so that the machine's other load falls
// on both alike.
void BM_RootPicture24MP(benchmark::State& state) {
    World& world = TheWorld();
    Reg("WallpaperFolder", "sz", "C:\\ONE");
    ChildRun feh, changer;
    int runs = 0;
    for (auto _ : state) {
        world.display.DropChanges();
        const ChildRun f = Run({"feh", "--bg-fill", "--no-fehbg", world.large});
        const bool fehSet = world.display.WaitForNewRootPicture(2s);
        world.display.DropChanges();
        const ChildRun c = Run({NIMBREL_CHANGER, "--once"});
        const bool changerSet = world.display.WaitForNewRootPicture(2s);
        if (f.status != 0 || c.status != 0 || !fehSet || !changerSet) {
            state.SkipWithError("feh or the changer did not set the root picture");
            return;
        }
        feh.wallMs += f.wallMs;
        feh.processorMs += f.processorMs;
        changer.wallMs += c.wallMs;
        changer.processorMs += c.processorMs;
        ++runs;
    }
    figures.fehMs = feh.wallMs / runs;
    figures.changerOnceMs = changer.wallMs / runs;
    figures.fehCpuMs = feh.processorMs / runs;
    figures.changerCpuMs = changer.processorMs / runs;
    state.counters["changer_ms"] = figures.changerOnceMs;
    state.counters["feh_ms"] = figures.fehMs;
    state.counters["wall_ratio"] = figures.changerOnceMs / figures.fehMs;
    state.counters["cpu_ratio"] = figures.changerCpuMs / figures.fehCpuMs;
}

// A running changer; ended with SIGTERM.
class RunningChanger {
public:
    explicit RunningChanger(bool withStderrPipe = false) {
        int fds[2] = {-1, -1};
        if (withStderrPipe && pipe2(fds, O_CLOEXEC) == 0)
            messages_ = fdopen(fds[0], "r");
        pid_ = Spawn({NIMBREL_CHANGER}, fds[1]);
        if (fds[1] >= 0)
            close(fds[1]);
    }
    ~RunningChanger() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        if (messages_)
            fclose(messages_);
    }
    pid_t Pid() const { return pid_; }
    // The next line the changer says; empty at its end.
    std::string NextMessage() {
        char line[4096];
        return messages_ && fgets(line, sizeof line, messages_) ? line : "";
    }
    // A line of /proc/PID/status, in kB.
    double StatusKb(const std::string& field) const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind(field + ":", 0) == 0)
                return std::stod(line.substr(field.size() + 1));
        return 0;
    }

private:
    pid_t pid_ = -1;
    FILE* messages_ = nullptr;
};

// A "ChangeTo" to the picture that is neither shown nor prepared as the next, so that the
// change renders the whole 24-MP picture.
void BM_ChangeToRequest(benchmark::State& state) {
    World& world = TheWorld();
    Reg("WallpaperFolder", "sz", "C:\\THREE");
    Reg("Interval", "dword", "300");
    std::filesystem::remove(world.env.Root() + "/CHANGER.INI");
    world.display.DropChanges();
    RunningChanger changer;
    if (!world.display.WaitForNewRootPicture(10s)) {
        state.SkipWithError("the changer showed no picture");
        return;
    }
    std::size_t current = 0; // A.JPG, the first of the list
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(1500ms); // the next picture rendered ahead
        world.display.DropChanges();
        const std::size_t asked = (current + 2) % 3;
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        Reg("ChangeTo", "sz", world.threeBig[asked]);
        if (!world.display.WaitForNewRootPicture(10s)) {
            state.SkipWithError("the request changed nothing");
            return;
        }
        total += Ms(std::chrono::steady_clock::now() - start);
        ++runs;
        current = asked;
    }
    figures.requestMs = total / runs;
    state.counters["request_to_root_ms"] = figures.requestMs;
}

// 1,000 changes of a 1920x1080 screen from four 1600x1000 JPEGs, a minute lasting 2 ms.
void BM_MemoryOverThousandChanges(benchmark::State& state) {
    Reg("WallpaperFolder", "sz", "C:\\SMALL");
    Reg("Interval", "dword", "1");
    setenv("NIMBREL_CHANGER_MINUTE_MS", "2", 1);
    for (auto _ : state) {
        RunningChanger changer(true);
        int changes = 0;
        double between = 0;
        while (changes < 1000) {
            const std::string message = changer.NextMessage();
            if (message.empty())
                break;
            if (message.find("wallpaper: ") == std::string::npos)
                continue;
            ++changes;
            between = std::max(between, changer.StatusKb("VmRSS"));
            if (changes == 10)
                figures.rssAfter10Kb = changer.StatusKb("VmRSS");
        }
        figures.changes = changes;
        figures.rssAfter1000Kb = changer.StatusKb("VmRSS");
        figures.hwmKb = changer.StatusKb("VmHWM");
        figures.rssBetweenMaxKb = between;
    }
    unsetenv("NIMBREL_CHANGER_MINUTE_MS");
    if (figures.changes < 1000)
        state.SkipWithError("the changer ended before 1,000 changes");
    state.counters["changes"] = figures.changes;
    state.counters["rss_after_10_kb"] = figures.rssAfter10Kb;
    state.counters["rss_after_1000_kb"] = figures.rssAfter1000Kb;
    state.counters["rss_max_between_kb"] = figures.rssBetweenMaxKb;
    state.counters["hwm_kb"] = figures.hwmKb;
}

// A minute of real time between two changes, the changer traced: every system call it makes
// but its one wait is a wake it should not have.
void BM_IdleMinuteSystemCalls(benchmark::State& state) {
    World& world = TheWorld();
    Reg("WallpaperFolder", "sz", "C:\\SMALL");
    Reg("Interval", "dword", "300");
    const char* seconds = std::getenv("NIMBREL_BENCH_IDLE_SECONDS");
    const std::string idle = seconds ? seconds : "60";
    for (auto _ : state) {
        world.display.DropChanges();
        RunningChanger changer;
        world.display.WaitForNewRootPicture(10s);
        std::this_thread::sleep_for(2s); // the next picture rendered ahead
        // Not beside the store: the changer watches that folder, and would wake for each line.
        const std::string trace = world.env.DriveFolder('C') + "/idle.strace";
        // timeout ends strace with SIGINT, which detaches it, and then exits with 124.
        Run({"timeout", "-s", "INT", idle, "strace", "-f", "-qq", "-o", trace, "-p",
             std::to_string(changer.Pid())});
        std::ifstream lines(trace);
        std::string line;
        std::map<std::string, int> calls;
        figures.idleCallExamples.clear();
        while (std::getline(lines, line)) {
            // "PID name(args) = result", or a wait resumed or cut off by the detach.
            std::istringstream words(line);
            std::string pid, call;
            words >> pid >> call;
            if (call.empty() || call.rfind("<...", 0) == 0)
                continue;
            const std::string name = call.substr(0, call.find('('));
            if (name == "poll" || name == "ppoll" || name == "restart_syscall" || name == "+++" ||
                name == "---")
                continue;
            if (calls[name]++ == 0)
                figures.idleCallExamples += "\n    " + line.substr(0, 160);
        }
        figures.idleCalls = 0;
        figures.idleCallNames.clear();
        for (const auto& [name, count] : calls) {
            figures.idleCalls += count;
            figures.idleCallNames += " " + name + "x" + std::to_string(count);
        }
    }
    state.counters["other_calls"] = figures.idleCalls;
}

void PrintSummary() {
    std::printf("\nRatios of this run (budget in brackets):\n");
    if (figures.fehMs > 0)
        std::printf("  24-MP JPEG as the root picture: changer %.0f ms / feh %.0f ms = %.2fx wall "
                    "(<= 0.5x); processor %.0f / %.0f ms = %.2fx\n",
                    figures.changerOnceMs, figures.fehMs, figures.changerOnceMs / figures.fehMs,
                    figures.changerCpuMs, figures.fehCpuMs,
                    figures.changerCpuMs / figures.fehCpuMs);
    if (figures.requestMs > 0)
        std::printf("  ChangeTo to root changed: %.0f ms / (1000 ms + render %.0f ms) = %.2fx "
                    "(<= 1x)\n",
                    figures.requestMs, figures.changerOnceMs,
                    figures.requestMs / (1000 + figures.changerOnceMs));
    if (figures.changes > 0)
        std::printf("  memory: resident after 10 changes %.1f MB, after %d %.1f MB (%+.2f MB, "
                    "<= +1 MB); largest between changes %.1f MB (<= 16 MB); peak while "
                    "rendering %.1f MB\n",
                    figures.rssAfter10Kb / 1024, figures.changes, figures.rssAfter1000Kb / 1024,
                    (figures.rssAfter1000Kb - figures.rssAfter10Kb) / 1024,
                    figures.rssBetweenMaxKb / 1024, figures.hwmKb / 1024);
    if (figures.idleCalls >= 0)
        std::printf("  idle minute: %d system calls but the wait (0)%s%s\n", figures.idleCalls,
                    figures.idleCallNames.c_str(), figures.idleCallExamples.c_str());
}

} // namespace

BENCHMARK(BM_RootPicture24MP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(8);
BENCHMARK(BM_ChangeToRequest)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_MemoryOverThousandChanges)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_IdleMinuteSystemCalls)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
