// nimbrel-changer on a real X server (its own Xvfb): the root window's pixmap read back and
// compared with the expected render for each way of sizing and each position, several
// monitors, requests written with nimbrel-tool while it runs, a second start, bad options.
#include "changer/wallpaper_render.h"
#include "imaging/picture_formats.h"
#include "support/bmp_maker.h"
#include "support/jpeg_maker.h"
#include "support/temp_environment.h"
#include "support/xvfb_server.h"

// Google Test first: the X headers define None, Bool and Status as macros.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace nimbrel::changer {
namespace {

using namespace std::chrono_literals;

constexpr int ScreenWidth = 320;
constexpr int ScreenHeight = 200;

using test::FinishProgram;
using test::RunProgram;
using test::SpawnProgram;

// An Xvfb of its own for the whole suite.
class XServer : public test::XvfbServer {
public:
    XServer() : XvfbServer(ScreenWidth, ScreenHeight) {}
};

class X11ChangerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new XServer(); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        ASSERT_FALSE(server_->Name().empty()) << "Xvfb did not start";
        setenv("DISPLAY", server_->Name().c_str(), 1);
        setenv("NIMBREL_CHANGER_MINUTE_MS", "50", 1);
        display_ = XOpenDisplay(server_->Name().c_str());
        ASSERT_NE(display_, nullptr) << "cannot open " << server_->Name();
        RegisterPictureFormats();
        Picture("photo.jpg", test::MakeJpeg({test::JpegKind::Baseline420, 120, 90, 95}));
        Reg("WallpaperFolder", "sz", "C:\\PICS");
    }
    void TearDown() override {
        UnregisterPictureFormats();
        if (display_)
            XCloseDisplay(display_);
    }

    void Picture(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        env_.WriteHostFile('C', "pics/" + name, std::string(bytes.begin(), bytes.end()));
    }
    static void Reg(const std::string& name, const std::string& type, const std::string& data) {
        ASSERT_EQ(RunProgram({NIMBREL_TOOL, "reg", "set", "HKCU\\Software\\Vexmoor\\Nimbrel", name,
                              type, data}),
                  0);
    }

    Pixmap RootPixmap() {
        const Atom property = XInternAtom(display_, "_XROOTPMAP_ID", False);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        Pixmap pixmap = None;
        if (XGetWindowProperty(display_, DefaultRootWindow(display_), property, 0, 1, False,
                               XA_PIXMAP, &type, &format, &count, &after, &data) == Success &&
            data && count == 1)
            pixmap = *reinterpret_cast<Pixmap*>(data);
        if (data)
            XFree(data);
        return pixmap;
    }

    // How many pixels of the root pixmap differ from the render by more than a little.
    int Differences(const TBitmap& expected) {
        const Pixmap pixmap = RootPixmap();
        if (pixmap == None)
            return -1;
        XImage* image =
            XGetImage(display_, pixmap, 0, 0, ScreenWidth, ScreenHeight, AllPlanes, ZPixmap);
        if (!image)
            return -1;
        int differences = 0;
        for (int y = 0; y < ScreenHeight; ++y)
            for (int x = 0; x < ScreenWidth; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                const std::uint8_t* want = expected.ScanLine(y) + 3 * x;
                const int red = static_cast<int>((pixel >> 16) & 0xFF),
                          green = static_cast<int>((pixel >> 8) & 0xFF),
                          blue = static_cast<int>(pixel & 0xFF);
                if (std::abs(red - want[2]) > 1 || std::abs(green - want[1]) > 1 ||
                    std::abs(blue - want[0]) > 1)
                    ++differences;
            }
        XDestroyImage(image);
        return differences;
    }

    ScreenLayout Layout(std::vector<MonitorRect> monitors = {}) {
        return {ScreenWidth, ScreenHeight, std::move(monitors)};
    }

    // Waits (briefly) until the root shows the render.
    bool Shows(const TBitmap& expected, std::chrono::milliseconds within = 3000ms) {
        const auto until = std::chrono::steady_clock::now() + within;
        while (Differences(expected) != 0) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }

    static XServer* server_;
    test::TempEnvironment env_;
    Display* display_ = nullptr;
};

XServer* X11ChangerTest::server_ = nullptr;

TEST_F(X11ChangerTest, EachWayOfSizingAndEachPositionShowsOnTheRoot) {
    std::vector<WallpaperSizing> cases{{Sizing::FitToScreen, 0, 0, Placement::Center},
                                       {Sizing::Resize, 200, 50, Placement::BottomRight}};
    for (int position = 0; position <= 8; ++position)
        cases.push_back({Sizing::Original, 0, 0, static_cast<Placement>(position)});
    for (const WallpaperSizing& sizing : cases) {
        SCOPED_TRACE(static_cast<int>(sizing.sizing) * 10 + static_cast<int>(sizing.placement));
        Reg("StretchWallpaper", "sz",
            sizing.sizing == Sizing::FitToScreen ? "FitToScreen"
            : sizing.sizing == Sizing::Resize    ? "Resize"
                                                 : "Original");
        Reg("StretchWallpaperWidth", "dword", std::to_string(sizing.width));
        Reg("StretchWallpaperHeight", "dword", std::to_string(sizing.height));
        Reg("StretchWallpaperPosition", "dword",
            std::to_string(static_cast<int>(sizing.placement)));
        ASSERT_EQ(RunProgram({NIMBREL_CHANGER, "--once"}), 0);
        const auto expected = RenderWallpaper("C:\\PICS\\PHOTO.JPG", Layout(), sizing);
        EXPECT_EQ(Differences(*expected), 0);
    }
}

TEST_F(X11ChangerTest, EveryMonitorGetsARenderOfItsOwn) {
    Window root = DefaultRootWindow(display_);
    const MonitorRect halves[] = {{0, 0, 160, 200}, {160, 0, 160, 120}};
    // Xvfb has one output: the left monitor takes it (which replaces the output's own
    // monitor), the right one is a monitor of no output.
    XRRScreenResources* resources = XRRGetScreenResources(display_, root);
    ASSERT_TRUE(resources && resources->noutput > 0);
    RROutput output = resources->outputs[0];
    XRRFreeScreenResources(resources);
    for (int i = 0; i < 2; ++i) {
        XRRMonitorInfo monitor{};
        monitor.outputs = i == 0 ? &output : nullptr;
        monitor.noutput = i == 0 ? 1 : 0;
        monitor.name = XInternAtom(display_, i == 0 ? "LEFT" : "RIGHT", False);
        monitor.x = halves[i].left;
        monitor.y = halves[i].top;
        monitor.width = halves[i].width;
        monitor.height = halves[i].height;
        monitor.mwidth = halves[i].width;
        monitor.mheight = halves[i].height;
        XRRSetMonitor(display_, root, &monitor);
    }
    XSync(display_, False);
    ASSERT_EQ(RunProgram({NIMBREL_CHANGER, "--once"}), 0);
    const auto expected =
        RenderWallpaper("C:\\PICS\\PHOTO.JPG", Layout({halves[0], halves[1]}), {});
    EXPECT_EQ(Differences(*expected), 0);
    for (const char* name : {"LEFT", "RIGHT"})
        XRRDeleteMonitor(display_, root, XInternAtom(display_, name, False));
    XSync(display_, False);
}

TEST_F(X11ChangerTest, ARunningChangerTakesRequestsAndASecondStart) {
    Picture("other.bmp", test::MakeSolidBmp(40, 40, {10, 200, 30}));
    Picture("third.jpg", test::MakeSolidJpeg(40, 40, {200, 10, 30}));
    Reg("Interval", "dword", "300"); // 15 s at this test's minute
    const pid_t changer = SpawnProgram({NIMBREL_CHANGER});
    const auto other = RenderWallpaper("C:\\PICS\\OTHER.BMP", Layout(), {});
    const auto photo = RenderWallpaper("C:\\PICS\\PHOTO.JPG", Layout(), {});
    const auto third = RenderWallpaper("C:\\PICS\\THIRD.JPG", Layout(), {});
    EXPECT_TRUE(Shows(*other)); // the first of the list
    const Pixmap first = RootPixmap();

    Reg("ChangeTo", "sz", "THIRD.JPG");
    EXPECT_TRUE(Shows(*third, 1500ms));
    // The first pixmap is freed with its retained client.
    XSync(display_, False);
    Window rootReturn;
    int x, y;
    unsigned w, h, border, depth;
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    EXPECT_FALSE(XGetGeometry(display_, first, &rootReturn, &x, &y, &w, &h, &border, &depth));
    XSetErrorHandler(nullptr);

    Reg("SetAsNext", "sz", "PHOTO.JPG");
    std::this_thread::sleep_for(400ms);
    EXPECT_TRUE(Shows(*third, 0ms));             // not yet
    EXPECT_EQ(RunProgram({NIMBREL_CHANGER}), 0); // a second start: change now
    EXPECT_TRUE(Shows(*photo, 1500ms));

    kill(changer, SIGTERM);
    EXPECT_EQ(FinishProgram(changer), 0);
}

// --status asks the running changer, which writes its state afresh (here after its state
// file was lost); with none running it says so and shows what the file knows.
TEST_F(X11ChangerTest, StatusAsksTheRunningChanger) {
    Reg("Interval", "dword", "300");
    const std::string out = env_.Root() + "/status.txt";
    auto status = [&] {
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int code = FinishProgram(SpawnProgram({NIMBREL_CHANGER, "--status"}, fd));
        close(fd);
        EXPECT_EQ(code, 0);
        return test::HostFileBytes(out);
    };
    const pid_t changer = SpawnProgram({NIMBREL_CHANGER});
    ASSERT_TRUE(Shows(*RenderWallpaper("C:\\PICS\\PHOTO.JPG", Layout(), {})));
    std::this_thread::sleep_for(200ms);
    ASSERT_EQ(std::remove((env_.Root() + "/CHANGER.INI").c_str()), 0);
    const std::string running = status();
    EXPECT_NE(running.find("running: yes (process " + std::to_string(changer) + ")"),
              std::string::npos)
        << running;
    EXPECT_NE(running.find("current: " + env_.DriveFolder('C') + "/pics/photo.jpg"),
              std::string::npos)
        << running;
    EXPECT_NE(running.find("next change: "), std::string::npos) << running;
    kill(changer, SIGTERM);
    EXPECT_EQ(FinishProgram(changer), 0);

    const std::string stopped = status();
    EXPECT_NE(stopped.find("running: no"), std::string::npos) << stopped;
    EXPECT_NE(stopped.find("photo.jpg"), std::string::npos) << stopped;
    EXPECT_EQ(stopped.find("next change: "), std::string::npos) << stopped;
}

// The session's X server goes away under a running changer: it ends at once, cleanly, and
// says why.
TEST_F(X11ChangerTest, TheDisplaysEndEndsTheChangerWithAMessage) {
    auto server = std::make_unique<XServer>();
    ASSERT_FALSE(server->Name().empty());
    const std::string log = env_.Root() + "/changer.log";
    const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(logFd, 0);
    setenv("DISPLAY", server->Name().c_str(), 1);
    Reg("Interval", "dword", "300");
    const pid_t changer = SpawnProgram({NIMBREL_CHANGER}, -1, logFd);
    setenv("DISPLAY", server_->Name().c_str(), 1);
    close(logFd);
    auto said = [&] { return test::HostFileBytes(log); };
    for (int i = 0; i < 300 && said().find("wallpaper: ") == std::string::npos; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_NE(said().find("wallpaper: "), std::string::npos) << said();
    server.reset(); // the server ends

    int status = -1;
    for (int i = 0; i < 300 && waitpid(changer, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(10ms);
    if (!WIFEXITED(status) && !WIFSIGNALED(status)) {
        kill(changer, SIGKILL);
        FinishProgram(changer);
        FAIL() << "the changer outlived its display";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_NE(said().find("the X display has ended"), std::string::npos) << said();
}

TEST_F(X11ChangerTest, ExitOnChangeEndsAfterTheChange) {
    Reg("ExitOnChange", "sz", "Yes");
    EXPECT_EQ(RunProgram({NIMBREL_CHANGER}), 0);
    EXPECT_EQ(Differences(*RenderWallpaper("C:\\PICS\\PHOTO.JPG", Layout(), {})), 0);
}

TEST_F(X11ChangerTest, OptionsAnswerAndABadOneExitsTwo) {
    EXPECT_EQ(RunProgram({NIMBREL_CHANGER, "--help"}), 0);
    EXPECT_EQ(RunProgram({NIMBREL_CHANGER, "--version"}), 0);
    EXPECT_EQ(RunProgram({NIMBREL_CHANGER, "--bogus"}), 2);
    EXPECT_EQ(RunProgram({NIMBREL_CHANGER, "--once", "extra"}), 2);
    EXPECT_EQ(RunProgram({NIMBREL_CHANGER, "--next"}), 1); // none runs
    EXPECT_EQ(RunProgram({NIMBREL_CHANGER, "--status"}), 0);
}

} // namespace
} // namespace nimbrel::changer
