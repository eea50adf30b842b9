// The changer's core on a scratch store and a recording desktop: the settings with the
// dialog's bounds, the sequence and its memory, damaged pictures, the requests and their
// compare-and-set consumption, a read-only folder, a damaged store, ExitOnChange.
#include "changer/changer.h"
#include "changer/picture_sequence.h"
#include "imaging/picture_formats.h"
#include "platform/portable/environment.h"
#include "platform/registry.h"
#include "settings/registry_accessor.h"
#include "settings/store_entries.h"
#include "settings/store_values.h"
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/jpeg_maker.h"
#include "support/jpeg_sample_folder.h"
#include "support/small_disk.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nimbrel::changer {
namespace {

using namespace std::chrono_literals;

class RecordingDesktop : public DesktopBackend {
public:
    std::string Name() const override { return "test desktop"; }
    ScreenLayout Screen() override { return screen; }
    ScreenLayout screen{64, 48, {}};
    void Show(const TBitmap& wallpaper, const std::string& file) override {
        shownFiles.push_back(file);
        ++shown;
        width = wallpaper.Width();
    }
    std::vector<std::string> shownFiles;
    int shown = 0;
    int width = 0;
};

// Answers the scripted wakes in turn; a TimeUp waits for its deadline, as the real wait does.
class ScriptedWakes : public WakeSource {
public:
    std::deque<std::function<Wake()>> script;
    Wake Wait(std::optional<ChangerClock::Clock::time_point> deadline) override {
        if (script.empty())
            return Wake::Stop;
        auto next = std::move(script.front());
        script.pop_front();
        const Wake wake = next();
        if (wake == Wake::TimeUp && deadline)
            std::this_thread::sleep_until(*deadline);
        return wake;
    }
};

class ChangerTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureFormats();
        test::WriteSampleFolder(env_);
        Store(store::WallpaperFolder, "C:\\PICS");
    }
    void TearDown() override { UnregisterPictureFormats(); }

    void Picture(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        test::WriteFolderPicture(env_, name, bytes);
    }
    static void Store(std::string_view name, std::string_view value) {
        WriteSettingsString(name, value);
    }
    static void StoreInteger(std::string_view name, std::int32_t value) {
        TRegistry reg;
        reg.OpenKey(store::SettingsKey, true);
        reg.WriteInteger(name, value);
    }
    static std::string Stored(std::string_view name) {
        TRegistry reg;
        reg.OpenKey(store::SettingsKey, false);
        return reg.ReadString(name);
    }
    Changer MakeChanger() {
        return Changer(desktop_, ChangerPlaces{"C:\\DATA"}, ChangerClock(50ms),
                       [this](const std::string& message) { messages_.push_back(message); });
    }
    std::string Said() const {
        std::string all;
        for (const std::string& message : messages_)
            all += message + "\n";
        return all;
    }

    test::TempEnvironment env_;
    RecordingDesktop desktop_;
    std::vector<std::string> messages_;
    int made_ = (env_.MakeHostFolder('C', "DATA"), 0);
};

TEST_F(ChangerTest, SettingsTakeTheDialogsDefaultsAndBounds) {
    struct Case {
        std::function<void()> store;
        int interval;
    };
    const Case cases[] = {
        {[] {}, 60},
        {[] { StoreInteger(store::Interval, 0); }, 1},
        {[] { StoreInteger(store::Interval, 1000); }, 300},
        {[] { StoreInteger(store::Interval, 45); }, 45},
        {[] { Store(store::Interval, "45"); }, 60},
    };
    for (const Case& c : cases) {
        c.store();
        const std::optional<ChangerSettings> settings = ReadChangerSettings();
        ASSERT_TRUE(settings);
        EXPECT_EQ(settings->intervalMinutes, c.interval);
    }
    Store(store::StretchWallpaper, "Resize");
    StoreInteger(store::StretchWallpaperWidth, 640);
    StoreInteger(store::StretchWallpaperHeight, 480);
    StoreInteger(store::StretchWallpaperPosition, 7);
    Store(store::ExitOnChange, "yes"); // not "Yes"
    Store(store::WallpaperFolder, "C:\\PICS\\");
    const std::optional<ChangerSettings> settings = ReadChangerSettings();
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->sizing, (WallpaperSizing{Sizing::Resize, 640, 480, Placement::BottomLeft}));
    EXPECT_FALSE(settings->exitOnChange);
    EXPECT_EQ(settings->folder, "C:\\PICS");
}

TEST_F(ChangerTest, AnEmptyFolderSettingMeansTheProgramFolder) {
    Store(store::WallpaperFolder, "");
    const std::optional<ChangerSettings> settings = ReadChangerSettings();
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->folder, ProgramFolderFallback());
    EXPECT_FALSE(settings->folder.empty());
}

TEST_F(ChangerTest, PicturesFollowTheListWrapAndAreRememberedAcrossStarts) {
    EXPECT_EQ(ListPictures("C:\\PICS"), (std::vector<std::string>{"A.JPG", "B.BMP", "C.JPG"}));
    {
        Changer changer = MakeChanger();
        ASSERT_TRUE(changer.ChangeOnce());
        EXPECT_EQ(changer.State().current, "A.JPG");
        ASSERT_TRUE(changer.ChangeOnce());
        EXPECT_EQ(changer.State().current, "B.BMP");
        EXPECT_EQ(changer.State().next, "C.JPG");
    }
    Changer restarted = MakeChanger();
    ASSERT_TRUE(restarted.ChangeOnce());
    EXPECT_EQ(restarted.State().current, "C.JPG");
    ASSERT_TRUE(restarted.ChangeOnce());
    EXPECT_EQ(restarted.State().current, "A.JPG");
    EXPECT_EQ(desktop_.shownFiles.back(), "C:\\PICS\\NIMBREL.BMP");
    EXPECT_EQ(desktop_.width, 64);
}

TEST_F(ChangerTest, ADamagedPictureInTheMiddleIsSkippedWithAMessage) {
    Picture("B.bmp", {'B', 'M', 1, 2, 3});
    Changer changer = MakeChanger();
    ASSERT_TRUE(changer.ChangeOnce());
    ASSERT_TRUE(changer.ChangeOnce());
    EXPECT_EQ(changer.State().current, "C.JPG");
    EXPECT_NE(Said().find("B.BMP: cannot be shown"), std::string::npos) << Said();
}

TEST_F(ChangerTest, AMissingOrEmptyFolderChangesNothingAndSaysSoOnce) {
    Store(store::WallpaperFolder, "C:\\GONE");
    Changer changer = MakeChanger();
    EXPECT_FALSE(changer.ChangeOnce());
    EXPECT_FALSE(changer.ChangeOnce());
    EXPECT_EQ(desktop_.shown, 0);
    ASSERT_EQ(messages_.size(), 1u) << Said();
    EXPECT_NE(messages_[0].find("C:\\GONE is not there"), std::string::npos);
    env_.MakeHostFolder('C', "GONE");
    EXPECT_FALSE(changer.ChangeOnce());
    EXPECT_NE(messages_.back().find("holds no picture"), std::string::npos) << Said();
    // The folder gets a picture: the next change takes it.
    env_.WriteHostFile('C', "GONE/new.jpg", [] {
        const auto bytes = test::MakeSolidJpeg(8, 8, {9, 9, 9});
        return std::string(bytes.begin(), bytes.end());
    }());
    EXPECT_TRUE(changer.ChangeOnce());
    EXPECT_EQ(changer.State().current, "NEW.JPG");
}

TEST_F(ChangerTest, AReadOnlyFolderSendsTheBitmapToTheCache) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const std::string folder = env_.DriveFolder('C') + "/pics";
    std::filesystem::permissions(folder, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    Changer changer = MakeChanger();
    const bool changed = changer.ChangeOnce();
    std::filesystem::permissions(folder, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    ASSERT_TRUE(changed) << Said();
    EXPECT_EQ(desktop_.shownFiles.back(), "C:\\DATA\\CACHE\\NIMBREL.BMP");
}

TEST_F(ChangerTest, AReadOnlyWallpaperBitmapSendsTheNewOneToTheCache) {
    const std::string own = env_.DriveFolder('C') + "/pics/nimbrel.bmp";
    std::filesystem::permissions(own, std::filesystem::perms::all,
                                 std::filesystem::perm_options::remove);
    const std::string before = test::HostFileBytes(own);
    Changer changer = MakeChanger();
    ASSERT_TRUE(changer.ChangeOnce()) << Said();
    EXPECT_EQ(desktop_.shownFiles.back(), "C:\\DATA\\CACHE\\NIMBREL.BMP");
    EXPECT_EQ(test::HostFileBytes(own), before);
}

TEST_F(ChangerTest, RequestsAreHonouredAndConsumed) {
    Changer changer = MakeChanger();
    ASSERT_TRUE(changer.ChangeOnce()); // A.JPG
    Store(store::SetAsNext, "C.JPG");
    Store(store::ChangeTo, "B.BMP");
    ASSERT_TRUE(changer.ChangeOnce());
    EXPECT_EQ(changer.State().current, "B.BMP");
    EXPECT_EQ(Stored(store::ChangeTo), "");
    EXPECT_EQ(Stored(store::SetAsNext), "");
    EXPECT_EQ(changer.State().next, "C.JPG");
    ASSERT_TRUE(changer.ChangeOnce());
    EXPECT_EQ(changer.State().current, "C.JPG");

    Store(store::ChangeTo, "NOPE.JPG");
    Store(store::ForceReload, "Yes");
    const int before = desktop_.shown;
    changer.ChangeOnce();
    EXPECT_EQ(Stored(store::ChangeTo), "");
    EXPECT_EQ(Stored(store::ForceReload), "No");
    EXPECT_NE(Said().find("NOPE.JPG is not a picture of C:\\PICS"), std::string::npos) << Said();
    EXPECT_EQ(changer.State().current, "A.JPG"); // the change itself, with the settings read anew
    EXPECT_EQ(desktop_.shown, before + 1);
}

TEST_F(ChangerTest, ARequestWrittenAfterTheReadIsNotConsumed) {
    Store(store::ChangeTo, "A.JPG");
    const Requests seen = ReadRequests();
    Store(store::ChangeTo, "C.JPG"); // the dialog again, meanwhile
    EXPECT_FALSE(ConsumeRequest(store::ChangeTo, seen.changeTo, ""));
    EXPECT_EQ(Stored(store::ChangeTo), "C.JPG");
    EXPECT_TRUE(ConsumeRequest(store::ChangeTo, "C.JPG", ""));
    EXPECT_EQ(Stored(store::ChangeTo), "");
}

TEST_F(ChangerTest, NoPictureFileIsEverChanged) {
    const std::string folder = env_.DriveFolder('C') + "/pics/";
    auto bytes = [&](const char* name) { return test::HostFileBytes(folder + name); };
    const std::string a = bytes("a.jpg"), b = bytes("B.bmp"), c = bytes("c.JPG");
    {
        StoreInteger(store::Interval, 1); // 50 ms here
        Changer changer = MakeChanger();
        ScriptedWakes wakes;
        for (int i = 0; i < 3; ++i)
            wakes.script.push_back([] { return Wake::TimeUp; });
        changer.Run(wakes);
    }
    EXPECT_EQ(bytes("a.jpg"), a);
    EXPECT_EQ(bytes("B.bmp"), b);
    EXPECT_EQ(bytes("c.JPG"), c);
    // The changer's own file of another letter case is replaced, not doubled.
    EXPECT_FALSE(std::filesystem::exists(folder + "NIMBREL.BMP"));
    EXPECT_TRUE(std::filesystem::exists(folder + "nimbrel.bmp"));
    EXPECT_TRUE(std::filesystem::exists(folder + "NEXTPIC.BMP"));
}

// The next picture is rendered ahead into NEXTPIC.BMP, which the change renames into place
// rather than writing the wallpaper again; a change with other settings renders anew.
TEST_F(ChangerTest, TheNextPictureRenderedAheadIsRenamedIntoPlace) {
    const std::string folder = env_.DriveFolder('C') + "/pics/";
    auto identity = [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
    };
    ino_t prepared = 0;
    Changer changer = MakeChanger();
    // A change does not wait for a render still under way: the test waits for its end.
    auto preparedIdentity = [&] {
        for (int i = 0; i < 500 && !changer.NextPictureRendered(); ++i)
            std::this_thread::sleep_for(10ms);
        return identity(folder + "NEXTPIC.BMP");
    };
    ScriptedWakes wakes;
    wakes.script.push_back([&] {
        prepared = preparedIdentity();
        return Wake::ChangeNow;
    });
    wakes.script.push_back([&] {
        EXPECT_NE(prepared, 0u);
        EXPECT_EQ(identity(folder + "nimbrel.bmp"), prepared);
        EXPECT_EQ(changer.State().current, "B.BMP");
        // Made for the stretched picture: the original size renders anew. (The changer's own
        // file keeps the letter case it was found in.)
        preparedIdentity();
        Store(store::StretchWallpaper, "Original");
        prepared = identity(folder + "NEXTPIC.BMP");
        return Wake::ChangeNow;
    });
    EXPECT_EQ(changer.Run(wakes), 0);
    EXPECT_EQ(changer.State().current, "C.JPG");
    EXPECT_EQ(desktop_.width, 64);
    EXPECT_NE(identity(folder + "nimbrel.bmp"), prepared);
}

TEST_F(ChangerTest, AFullDiskKeepsThePreviousWallpaperBitmapAndSaysSo) {
    test::SmallDisk disk;
    if (!disk.Mounted())
        GTEST_SKIP() << "mounting a small file system needs root";
    std::ofstream(env_.Root() + "/drives", std::ios::app) << "E: " << disk.Folder() << "\n";
    platform::portable::ResetEnvironment();
    std::ofstream(disk.Folder() + "/a.bmp", std::ios::binary)
        << test::Text(test::MakeSolidBmp(32, 24, {200, 0, 0}));
    std::ofstream(disk.Folder() + "/b.bmp", std::ios::binary)
        << test::Text(test::MakeSolidBmp(32, 24, {0, 200, 0}));
    Store(store::WallpaperFolder, "E:\\");
    Changer changer = MakeChanger();
    ASSERT_TRUE(changer.ChangeOnce());
    const std::string shown = test::HostFileBytes(disk.Folder() + "/NIMBREL.BMP");
    ASSERT_FALSE(shown.empty());
    ASSERT_TRUE(disk.Fill());
    EXPECT_FALSE(changer.ChangeOnce());
    EXPECT_EQ(test::HostFileBytes(disk.Folder() + "/NIMBREL.BMP"), shown);
    EXPECT_EQ(changer.State().current, "A.BMP");
    EXPECT_EQ(desktop_.shown, 1);
    EXPECT_NE(Said().find("the disk is full"), std::string::npos) << Said();
}

// Killed at any moment of writing a large NIMBREL.BMP, the changer leaves a whole one: the
// previous, or the new one complete, and no piece of a file beside it.
TEST_F(ChangerTest, AKillDuringTheWriteLeavesAWholeWallpaperBitmap) {
    desktop_.screen = {1600, 1200, {}}; // 5.8 MB
    const std::string folder = env_.DriveFolder('C') + "/pics/";
    std::filesystem::remove(folder + "nimbrel.bmp");
    ASSERT_TRUE(MakeChanger().ChangeOnce());
    const std::uint64_t whole = std::filesystem::file_size(folder + "NIMBREL.BMP");
    const std::string first = test::HostFileBytes(folder + "NIMBREL.BMP");
    bool sawFirst = false, sawNew = false;
    for (const int delayMs : {0, 5, 10, 20, 30, 40, 60, 80, 120, 160, 320}) {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(MakeChanger().ChangeOnce() ? 0 : 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = test::HostFileBytes(folder + "NIMBREL.BMP");
        ASSERT_EQ(now.size(), whole) << "after " << delayMs << " ms";
        (now == first ? sawFirst : sawNew) = true;
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
            ++entries;
        EXPECT_EQ(entries, 4u) << "after " << delayMs << " ms"; // 3 pictures and NIMBREL.BMP
    }
    EXPECT_TRUE(sawFirst);
    EXPECT_TRUE(sawNew);
}

TEST_F(ChangerTest, RunChangesEveryIntervalAndEndsAfterAChangeWhenAsked) {
    StoreInteger(store::Interval, 1); // 50 ms here
    Changer changer = MakeChanger();
    ScriptedWakes wakes;
    for (int i = 0; i < 3; ++i)
        wakes.script.push_back([] { return Wake::TimeUp; });
    EXPECT_EQ(changer.Run(wakes), 0);
    EXPECT_EQ(desktop_.shown, 4);
    EXPECT_EQ(changer.State().current, "A.JPG"); // A B C A

    Store(store::ExitOnChange, "Yes");
    ScriptedWakes never;
    never.script.push_back([] {
        ADD_FAILURE() << "waited after the change";
        return Wake::Stop;
    });
    Changer once = MakeChanger();
    EXPECT_EQ(once.Run(never), 0);
    EXPECT_EQ(never.script.size(), 1u);
}

TEST_F(ChangerTest, StoreWritesBringRequestsAndNewSizingAtOnce) {
    Changer changer = MakeChanger();
    ScriptedWakes wakes;
    wakes.script.push_back([] {
        Store(store::ChangeTo, "C.JPG");
        return Wake::StoreChanged;
    });
    wakes.script.push_back([] { return Wake::TimeUp; }); // the save has settled
    wakes.script.push_back([] {
        Store(store::StretchWallpaper, "Original");
        return Wake::StoreChanged;
    });
    wakes.script.push_back([] { return Wake::TimeUp; });
    wakes.script.push_back([] {
        Store(store::ForceReload, "Yes");
        return Wake::StoreChanged;
    });
    wakes.script.push_back([] { return Wake::TimeUp; });
    EXPECT_EQ(changer.Run(wakes), 0);
    EXPECT_EQ(changer.State().current, "C.JPG");
    // A at start, C asked, C again in its original size, C again when reloading.
    EXPECT_EQ(desktop_.shown, 4);
    EXPECT_EQ(Stored(store::ForceReload), "No");
    EXPECT_EQ(changer.Settings().sizing.sizing, Sizing::Original);
}

// Another program holds a write transaction on the store: the changer reads on, says that
// the requests wait, and takes them once the store can be written again.
TEST_F(ChangerTest, ARequestWaitsWhileAnotherProgramHoldsTheStore) {
    Changer changer = MakeChanger();
    ASSERT_TRUE(changer.ChangeOnce()); // A
    Store(store::ChangeTo, "C.JPG");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((env_.Root() + "/registry.sqlite3").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    ScriptedWakes wakes;
    wakes.script.push_back([&] {
        EXPECT_EQ(changer.State().current, "B.BMP"); // the next in turn, not the request
        EXPECT_NE(Said().find("cannot be written now"), std::string::npos) << Said();
        EXPECT_EQ(Stored(store::ChangeTo), "C.JPG");
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        return Wake::ChangeNow;
    });
    EXPECT_EQ(changer.Run(wakes), 0);
    sqlite3_close(other);
    EXPECT_EQ(changer.State().current, "C.JPG");
    EXPECT_EQ(Stored(store::ChangeTo), "");
}

TEST_F(ChangerTest, ADamagedStoreKeepsTheLastSettingsAndSaysSo) {
    StoreInteger(store::Interval, 7);
    Changer changer = MakeChanger();
    ASSERT_TRUE(changer.ChangeOnce());
    ASSERT_EQ(changer.Settings().intervalMinutes, 7);
    // A store that opens damaged: another root whose hive file holds garbage.
    const std::string damagedRoot = env_.Root() + "-damaged";
    std::filesystem::create_directories(damagedRoot);
    {
        std::ofstream damage(damagedRoot + "/registry.sqlite3", std::ios::binary);
        damage << std::string(4096, 'x');
    }
    const std::string root = env_.Root();
    ::setenv("NIMBREL_ROOT", damagedRoot.c_str(), 1);
    platform::portable::ResetEnvironment();
    changer.ChangeOnce();
    ::setenv("NIMBREL_ROOT", root.c_str(), 1);
    platform::portable::ResetEnvironment();
    std::filesystem::remove_all(damagedRoot);
    EXPECT_EQ(changer.Settings().intervalMinutes, 7);
    EXPECT_EQ(changer.Settings().folder, "C:\\PICS");
    EXPECT_NE(Said().find("cannot read the settings store"), std::string::npos) << Said();
}

} // namespace
} // namespace nimbrel::changer
