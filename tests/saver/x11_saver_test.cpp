// nimbrel-saver on a real X server (its own Xvfb): the pictures drawn into a window given
// by -window-id or XSCREENSAVER_WINDOW, or into the root, read back and compared with the
// render; their order at a sped-up clock, a damaged picture, an empty folder and one that
// disappears, the window going, the session's signal, bad options.
#include "imaging/picture_formats.h"
#include "render/wallpaper_render.h"
#include "saver/saver_state.h"
#include "support/bmp_maker.h"
#include "support/jpeg_maker.h"
#include "support/temp_environment.h"
#include "support/xvfb_server.h"

// Google Test first: the X headers define None, Bool and Status as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nimbrel::saver {
namespace {

using namespace std::chrono_literals;
using test::FinishProgram;
using test::RunProgram;
using test::SpawnProgram;

constexpr int ScreenWidth = 320;
constexpr int ScreenHeight = 200;
constexpr int WindowWidth = 160;
constexpr int WindowHeight = 100;

class X11SaverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new test::XvfbServer(ScreenWidth, ScreenHeight); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        ASSERT_FALSE(server_->Name().empty()) << "Xvfb did not start";
        setenv("DISPLAY", server_->Name().c_str(), 1);
        setenv("NIMBREL_SAVER_SECOND_MS", "30", 1); // ten seconds in 0.3 s
        unsetenv("XSCREENSAVER_WINDOW");
        display_ = XOpenDisplay(server_->Name().c_str());
        ASSERT_NE(display_, nullptr);
        RegisterPictureFormats();
        Picture("a.jpg", test::MakeJpeg({test::JpegKind::Baseline420, 120, 90, 95}));
        Picture("b.bmp", test::MakeSolidBmp(40, 30, {20, 200, 40}));
        Picture("c.jpg", test::MakeSolidJpeg(400, 300, {200, 30, 30}));
        Reg("WallpaperFolder", "sz", "C:\\PICS");
        Reg("ScreenSaverInterval", "dword", "10");
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, WindowWidth,
                                      WindowHeight, 0, 0, 0);
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (saver_ > 0) {
            kill(saver_, SIGKILL);
            FinishProgram(saver_);
        }
        UnregisterPictureFormats();
        if (display_)
            XCloseDisplay(display_);
        if (log_)
            std::fclose(log_);
    }

    void Picture(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        env_.WriteHostFile('C', "pics/" + name, std::string(bytes.begin(), bytes.end()));
    }
    static void Reg(const std::string& name, const std::string& type, const std::string& data) {
        ASSERT_EQ(RunProgram({NIMBREL_TOOL, "reg", "set", "HKCU\\Software\\Vexmoor\\Nimbrel", name,
                              type, data}),
                  0);
    }
    std::string WindowId() const { return std::to_string(window_); }

    // Starts the saver; its messages go to a file the test reads.
    void Start(std::vector<std::string> args) {
        log_ = std::tmpfile();
        args.insert(args.begin(), NIMBREL_SAVER);
        saver_ = SpawnProgram(args, -1, fileno(log_));
    }
    int Stop() {
        kill(saver_, SIGTERM);
        const int status = FinishProgram(saver_);
        saver_ = -1;
        return status;
    }
    std::string Messages() const {
        std::fflush(log_);
        std::rewind(log_);
        std::ostringstream text;
        char buffer[512];
        while (std::size_t count = std::fread(buffer, 1, sizeof buffer, log_))
            text.write(buffer, static_cast<std::streamsize>(count));
        return text.str();
    }

    static std::unique_ptr<TBitmap> Render(const std::string& name, int width, int height) {
        return render::RenderWallpaper("C:\\PICS\\" + name, {width, height, {}}, {});
    }

    // Pixels of the window that differ from the render by more than a little (on the
    // screen: a window of its own may stand out of it).
    int Differences(Window window, const TBitmap& expected) {
        const int width = std::min(expected.Width(), ScreenWidth);
        const int height = std::min(expected.Height(), ScreenHeight);
        XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!image)
            return -1;
        int differences = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                const std::uint8_t* want = expected.ScanLine(y) + 3 * x;
                if (std::abs(static_cast<int>((pixel >> 16) & 0xFF) - want[2]) > 1 ||
                    std::abs(static_cast<int>((pixel >> 8) & 0xFF) - want[1]) > 1 ||
                    std::abs(static_cast<int>(pixel & 0xFF) - want[0]) > 1)
                    ++differences;
            }
        XDestroyImage(image);
        return differences;
    }
    bool Shows(const TBitmap& expected, Window window = 0, std::chrono::milliseconds within = 3s) {
        const auto until = std::chrono::steady_clock::now() + within;
        while (Differences(window ? window : window_, expected) != 0) {
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
    // Black with a few light pixels (the product's name) in the middle.
    bool ShowsBlankFrame(std::chrono::milliseconds within = 3s) {
        const auto until = std::chrono::steady_clock::now() + within;
        for (;;) {
            XImage* image =
                XGetImage(display_, window_, 0, 0, WindowWidth, WindowHeight, AllPlanes, ZPixmap);
            int light = 0, other = 0;
            for (int y = 0; image && y < WindowHeight; ++y)
                for (int x = 0; x < WindowWidth; ++x) {
                    const unsigned long pixel = XGetPixel(image, x, y) & 0xFFFFFF;
                    if (pixel == 0xFFFFFF)
                        ++light;
                    else if (pixel != 0)
                        ++other;
                }
            if (image)
                XDestroyImage(image);
            if (light > 20 && other == 0)
                return true;
            if (std::chrono::steady_clock::now() > until)
                return false;
            std::this_thread::sleep_for(20ms);
        }
    }

    static test::XvfbServer* server_;
    test::TempEnvironment env_;
    Display* display_ = nullptr;
    Window window_ = 0;
    pid_t saver_ = -1;
    std::FILE* log_ = nullptr;
};

test::XvfbServer* X11SaverTest::server_ = nullptr;

TEST_F(X11SaverTest, ThePicturesFollowEachOtherInTheGivenWindowAndGoOnAtTheNextStart) {
    const auto a = Render("A.JPG", WindowWidth, WindowHeight);
    const auto b = Render("B.BMP", WindowWidth, WindowHeight);
    const auto c = Render("C.JPG", WindowWidth, WindowHeight);
    Start({"-window-id", WindowId()});
    EXPECT_TRUE(Shows(*a));
    EXPECT_TRUE(Shows(*b));
    EXPECT_TRUE(Shows(*c));
    EXPECT_TRUE(Shows(*a));
    EXPECT_EQ(Stop(), 0); // the session's screen saver ends it with a signal
    EXPECT_EQ(ReadSaverState(SaverStateFile()).last, "A.JPG");

    // The next start goes on after the picture shown last; the hexadecimal id of the
    // session's screen saver names the window too.
    std::ostringstream hex;
    hex << "0x" << std::hex << window_;
    Start({"-window-id", hex.str()});
    EXPECT_TRUE(Shows(*b, 0, 1500ms));
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(Messages(), "");
}

TEST_F(X11SaverTest, OriginalShowsThePicture1To1CentredAndTheEnvironmentNamesTheWindow) {
    Reg("StretchScreenSaver", "sz", "Original");
    const auto a =
        render::RenderWallpaper("C:\\PICS\\A.JPG", {WindowWidth, WindowHeight, {}},
                                {render::Sizing::Original, 0, 0, render::Placement::Center});
    setenv("XSCREENSAVER_WINDOW", WindowId().c_str(), 1);
    Start({});
    EXPECT_TRUE(Shows(*a));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(X11SaverTest, TheRootWindowTakesThePictures) {
    const auto a = Render("A.JPG", ScreenWidth, ScreenHeight);
    XUnmapWindow(display_, window_);
    XSync(display_, False);
    Start({"-root"});
    EXPECT_TRUE(Shows(*a, DefaultRootWindow(display_)));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(X11SaverTest, ADamagedPictureIsSkippedWithAMessage) {
    std::vector<std::uint8_t> truncated = test::MakeSolidJpeg(64, 64, {9, 9, 9});
    truncated.resize(truncated.size() / 2);
    Picture("b.bmp", {'B', 'M', 1, 2, 3});
    Picture("bb.jpg", truncated);
    const auto a = Render("A.JPG", WindowWidth, WindowHeight);
    const auto c = Render("C.JPG", WindowWidth, WindowHeight);
    Start({"-window-id", WindowId()});
    EXPECT_TRUE(Shows(*a));
    EXPECT_TRUE(Shows(*c));
    EXPECT_EQ(Stop(), 0);
    const std::string messages = Messages();
    EXPECT_NE(messages.find("skipped B.BMP"), std::string::npos) << messages;
    EXPECT_NE(messages.find("skipped BB.JPG"), std::string::npos) << messages;
}

TEST_F(X11SaverTest, AnEmptyFolderAndOneThatDisappearsShowTheProductsName) {
    const std::filesystem::path pics = env_.DriveFolder('C') + "/pics";
    const auto a = Render("A.JPG", WindowWidth, WindowHeight);
    Start({"-window-id", WindowId()});
    EXPECT_TRUE(Shows(*a));
    std::filesystem::remove_all(pics);
    EXPECT_TRUE(ShowsBlankFrame());
    // The saver runs on; pictures that come back show again.
    std::filesystem::create_directories(pics);
    Picture("a.jpg", test::MakeJpeg({test::JpegKind::Baseline420, 120, 90, 95}));
    EXPECT_TRUE(Shows(*a));
    EXPECT_EQ(Stop(), 0);

    std::filesystem::remove_all(pics);
    std::filesystem::create_directories(pics);
    Start({"-window-id", WindowId()});
    EXPECT_TRUE(ShowsBlankFrame());
    EXPECT_EQ(Stop(), 0);
}

TEST_F(X11SaverTest, TheSaverEndsWhenItsWindowGoes) {
    Start({"-window-id", WindowId()});
    EXPECT_TRUE(Shows(*Render("A.JPG", WindowWidth, WindowHeight)));
    XDestroyWindow(display_, window_);
    XSync(display_, False);
    const auto until = std::chrono::steady_clock::now() + 3s;
    int status = -1;
    while (std::chrono::steady_clock::now() < until) {
        if (waitpid(saver_, &status, WNOHANG) == saver_)
            break;
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(WIFEXITED(status)) << "still running";
    saver_ = -1;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(X11SaverTest, TheWindowOfItsOwnEndsAtAKey) {
    Start({"--window"});
    // The window the saver made: the one named so.
    Window own = 0;
    const auto until = std::chrono::steady_clock::now() + 3s;
    while (!own && std::chrono::steady_clock::now() < until) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
        for (unsigned i = 0; i < count; ++i) {
            char* name = nullptr;
            if (XFetchName(display_, children[i], &name) && name) {
                if (std::string(name) == "Nimbrel Extensions screen saver")
                    own = children[i];
                XFree(name);
            }
        }
        if (children)
            XFree(children);
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_NE(own, 0u);
    EXPECT_TRUE(Shows(*Render("A.JPG", 960, 540), own));
    // Real input through the server: a small move does not end the try, a key does.
    ASSERT_EQ(RunProgram({"/usr/bin/xdotool", "mousemove", "200", "150"}), 0);
    ASSERT_EQ(RunProgram({"/usr/bin/xdotool", "mousemove", "204", "153"}), 0);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(waitpid(saver_, nullptr, WNOHANG), 0) << "ended by a jiggle of the mouse";
    ASSERT_EQ(RunProgram({"/usr/bin/xdotool", "key", "q"}), 0);
    EXPECT_EQ(FinishProgram(saver_), 0);
    saver_ = -1;
}

TEST_F(X11SaverTest, BadOptionsAndWindowsAreSaidClearly) {
    EXPECT_EQ(RunProgram({NIMBREL_SAVER, "--help"}), 0);
    EXPECT_EQ(RunProgram({NIMBREL_SAVER, "--version"}), 0);
    EXPECT_EQ(RunProgram({NIMBREL_SAVER, "--bogus"}), 2);
    EXPECT_EQ(RunProgram({NIMBREL_SAVER, "-window-id"}), 2);
    EXPECT_EQ(RunProgram({NIMBREL_SAVER, "-window-id", "zebra"}), 2);
    EXPECT_EQ(RunProgram({NIMBREL_SAVER, "-root", "--window"}), 2);
    Start({"-window-id", "0x7ffffff"}); // no such window
    EXPECT_EQ(FinishProgram(saver_), 1);
    saver_ = -1;
    EXPECT_NE(Messages().find("there is no window"), std::string::npos) << Messages();
    Start({"-window-id", WindowId(), "-display", ":999"});
    EXPECT_EQ(FinishProgram(saver_), 1);
    saver_ = -1;
}

} // namespace
} // namespace nimbrel::saver
