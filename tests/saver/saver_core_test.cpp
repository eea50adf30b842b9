// The saver's core on a scratch store: every branch of the protection as a table of input
// sequences, the protection's bounds, the settings with the dialog's defaults and bounds,
// the pictures' order and memory across starts, damaged pictures, an empty or vanished
// folder, and the timing at a sped-up clock with the next picture decoded ahead.
#include "imaging/picture_formats.h"
#include "platform/registry.h"
#include "saver/protection.h"
#include "saver/saver_run.h"
#include "saver/saver_settings.h"
#include "saver/saver_state.h"
#include "saver/slideshow.h"
#include "settings/registry_accessor.h"
#include "settings/store_entries.h"
#include "settings/store_values.h"
#include "support/bmp_maker.h"
#include "support/jpeg_maker.h"
#include "support/jpeg_sample_folder.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <variant>

namespace nimbrel::saver {
namespace {

using namespace std::chrono_literals;
using State = Protection::State;

// ---- The protection ------------------------------------------------------------------------

struct Key {
    int letter;
    HeldModifiers held{};
};
struct Move {
    int x, y;
};
struct Click {};
struct Password {
    std::string text;
};
struct Escape {};
using Input = std::variant<Key, Move, Click, Password, Escape>;

State Feed(Protection& protection, const Input& input) {
    return std::visit(
        [&](const auto& event) {
            using T = std::decay_t<decltype(event)>;
            if constexpr (std::is_same_v<T, Key>)
                return protection.KeyPressed(event.letter, event.held);
            else if constexpr (std::is_same_v<T, Move>)
                return protection.PointerAt(event.x, event.y);
            else if constexpr (std::is_same_v<T, Click>)
                return protection.Clicked();
            else if constexpr (std::is_same_v<T, Password>)
                return protection.PasswordGiven(event.text);
            else
                return protection.PasswordCancelled();
        },
        input);
}

constexpr HeldModifiers Ctrl{false, true, false};
constexpr HeldModifiers Shift{true, false, false};
constexpr HeldModifiers CtrlAlt{false, true, true};
const AccessRule CtrlK3{'K', store::AccessShiftCtrl, 3, "secret6"};

struct ProtectionCase {
    const char* name;
    std::optional<AccessRule> rule;
    std::vector<Input> inputs;
    State expected;
    int wrongPresses;
};

TEST(Protection, EveryBranchEndsOrStaysAsItShould) {
    const std::vector<ProtectionCase> cases = {
        {"unprotected: a key ends it", std::nullopt, {Key{0}}, State::Ended, 0},
        {"unprotected: a click ends it", std::nullopt, {Click{}}, State::Ended, 0},
        {"unprotected: the first pointer position is where it stands",
         std::nullopt,
         {Move{500, 500}},
         State::Pictures,
         0},
        {"unprotected: a jiggle of a few pixels does not end it",
         std::nullopt,
         {Move{500, 500}, Move{507, 493}, Move{500, 508}},
         State::Pictures,
         0},
        {"unprotected: a real move ends it",
         std::nullopt,
         {Move{500, 500}, Move{520, 500}},
         State::Ended,
         0},
        {"protected: the access key with its modifier ends it",
         CtrlK3,
         {Key{'K', Ctrl}},
         State::Ended,
         0},
        {"protected: moves and clicks do nothing",
         CtrlK3,
         {Move{0, 0}, Move{900, 900}, Click{}, Click{}, Click{}},
         State::Pictures,
         0},
        {"protected: the letter without its modifier is a wrong press",
         CtrlK3,
         {Key{'K'}},
         State::Pictures,
         1},
        {"protected: the letter with another modifier is a wrong press",
         CtrlK3,
         {Key{'K', Shift}},
         State::Pictures,
         1},
        {"protected: the letter with one modifier too many is a wrong press",
         CtrlK3,
         {Key{'K', CtrlAlt}},
         State::Pictures,
         1},
        {"protected: N - 1 wrong keys, then the access key",
         CtrlK3,
         {Key{'A'}, Key{0}, Key{'K', Ctrl}},
         State::Ended,
         2},
        {"protected: N wrong keys ask for the password",
         CtrlK3,
         {Key{'A'}, Key{0}, Key{'Z', Ctrl}},
         State::PasswordBox,
         3},
        {"protected: the access key does not pass the password box",
         CtrlK3,
         {Key{'A'}, Key{'A'}, Key{'A'}, Key{'K', Ctrl}},
         State::PasswordBox,
         3},
        {"protected: the right password ends it",
         CtrlK3,
         {Key{'A'}, Key{'A'}, Key{'A'}, Password{"secret6"}},
         State::Ended,
         3},
        {"protected: the password is compared exactly",
         CtrlK3,
         {Key{'A'}, Key{'A'}, Key{'A'}, Password{"SECRET6"}},
         State::Pictures,
         0},
        {"protected: a prefix of the password is wrong",
         CtrlK3,
         {Key{'A'}, Key{'A'}, Key{'A'}, Password{"secret"}},
         State::Pictures,
         0},
        {"protected: a wrong password starts the count again",
         CtrlK3,
         {Key{'A'}, Key{'A'}, Key{'A'}, Password{"wrong!"}, Key{'A'}, Key{'A'}},
         State::Pictures,
         2},
        {"protected: a wrong password, N wrong keys again, then the right one",
         CtrlK3,
         {Key{'A'}, Key{'A'}, Key{'A'}, Password{"wrong!"}, Key{'A'}, Key{'A'}, Key{'A'},
          Password{"secret6"}},
         State::Ended,
         3},
        {"protected: Escape at the password box returns to the pictures",
         CtrlK3,
         {Key{'A'}, Key{'A'}, Key{'A'}, Escape{}},
         State::Pictures,
         0},
        {"protected: after Escape the access key ends it",
         CtrlK3,
         {Key{'A'}, Key{'A'}, Key{'A'}, Escape{}, Key{'K', Ctrl}},
         State::Ended,
         0},
        {"protected: a password given without the box does nothing",
         CtrlK3,
         {Password{"secret6"}},
         State::Pictures,
         0},
    };
    for (const ProtectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        Protection protection(c.rule);
        for (const Input& input : c.inputs)
            Feed(protection, input);
        EXPECT_EQ(protection.Now(), c.expected);
        EXPECT_EQ(protection.WrongPresses(), c.wrongPresses);
    }
}

TEST(Protection, EndedStaysEnded) {
    Protection protection(CtrlK3);
    protection.KeyPressed('K', Ctrl);
    EXPECT_EQ(protection.KeyPressed('A', {}), State::Ended);
    EXPECT_EQ(protection.PasswordCancelled(), State::Ended);
}

TEST(Protection, OnlyAWholeRuleProtects) {
    struct Case {
        int key, shift, times;
        const char* password;
        bool protects;
    };
    const Case cases[] = {
        {'A', 1, 3, "123456", true},      {'Z', 3, 99, "abcdefgh", true},
        {0, 1, 3, "123456", false},       {'A' - 1, 1, 3, "123456", false},
        {'Z' + 1, 1, 3, "123456", false}, {'a', 1, 3, "123456", false},
        {'A', 0, 3, "123456", false},     {'A', 4, 3, "123456", false},
        {'A', 1, 2, "123456", false},     {'A', 1, 3, "12345", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " " + std::to_string(c.shift) + " " +
                     std::to_string(c.times) + " " + c.password);
        EXPECT_EQ(ProtectionOf(c.key, c.shift, c.times, c.password).has_value(), c.protects);
    }
}

// ---- Settings, pictures and timing on a scratch store ----------------------------------------

class SaverTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureFormats();
        test::WriteSampleFolder(env_);
        WriteSettingsString(store::WallpaperFolder, "C:\\PICS");
    }
    void TearDown() override { UnregisterPictureFormats(); }

    void Picture(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        test::WriteFolderPicture(env_, name, bytes);
    }
    static void StoreInteger(std::string_view name, std::int32_t value) {
        TRegistry reg;
        reg.OpenKey(store::SettingsKey, true);
        reg.WriteInteger(name, value);
    }
    std::string StateFile() const { return SaverStateFile(); }
    Slideshow Show(const render::ScreenLayout& screen = {64, 48, {}}) {
        return Slideshow(ReadSaverSettings(), screen, StateFile(),
                         [this](const std::string& message) { said_.push_back(message); });
    }
    static std::vector<std::string> Names(Slideshow& slideshow, int count) {
        std::vector<std::string> names;
        Frame frame = slideshow.First();
        for (int i = 0; i < count; ++i) {
            names.push_back(frame.name);
            slideshow.Shown(frame);
            slideshow.PrepareNext();
            frame = slideshow.TakeNext();
        }
        return names;
    }

    test::TempEnvironment env_;
    std::vector<std::string> said_;
};

TEST_F(SaverTest, SettingsTakeTheDialogsDefaultsAndBounds) {
    SaverSettings settings = ReadSaverSettings();
    EXPECT_EQ(settings.intervalSeconds, store::DefaultScreenSaverInterval);
    EXPECT_EQ(settings.sizing.sizing, render::Sizing::FitToScreen);
    EXPECT_FALSE(settings.protection);
    EXPECT_EQ(settings.folder, "C:\\PICS");

    StoreInteger(store::ScreenSaverInterval, 5);
    EXPECT_EQ(ReadSaverSettings().intervalSeconds, store::MinScreenSaverInterval);
    StoreInteger(store::ScreenSaverInterval, 100000);
    EXPECT_EQ(ReadSaverSettings().intervalSeconds, store::MaxScreenSaverInterval);
    WriteSettingsString(store::ScreenSaverInterval, "45"); // not an integer: the default
    EXPECT_EQ(ReadSaverSettings().intervalSeconds, store::DefaultScreenSaverInterval);

    WriteSettingsString(store::StretchScreenSaver, "Original");
    EXPECT_EQ(ReadSaverSettings().sizing.sizing, render::Sizing::Original);
    WriteSettingsString(store::StretchScreenSaver, "original");
    EXPECT_EQ(ReadSaverSettings().sizing.sizing, render::Sizing::FitToScreen);

    StoreInteger(store::AccessKey, 'K');
    StoreInteger(store::AccessShift, store::AccessShiftCtrl);
    StoreInteger(store::AccessTimes, 4);
    WriteSettingsString(store::AccessPassword, "pass word");
    EXPECT_EQ(ReadSaverSettings().protection,
              (AccessRule{'K', store::AccessShiftCtrl, 4, "pass word"}));
    WriteSettingsString(store::AccessTimes, "4"); // unreadable: no protection
    EXPECT_FALSE(ReadSaverSettings().protection);
}

TEST_F(SaverTest, PicturesFollowTheListAndGoOnAfterTheLastShownAtTheNextStart) {
    {
        Slideshow slideshow = Show();
        EXPECT_EQ(Names(slideshow, 4),
                  (std::vector<std::string>{"A.JPG", "B.BMP", "C.JPG", "A.JPG"}));
    }
    EXPECT_EQ(ReadSaverState(StateFile()).last, "A.JPG");
    EXPECT_EQ(Show().First().name, "B.BMP");
    // A picture taken ahead but never shown is not remembered.
    {
        Slideshow slideshow = Show();
        Frame frame = slideshow.First();
        slideshow.Shown(frame);
        slideshow.PrepareNext();
        EXPECT_EQ(slideshow.TakeNext().name, "C.JPG");
    }
    EXPECT_EQ(ReadSaverState(StateFile()).last, "B.BMP");
    // A picture gone since: the one after where it stood in the list.
    WriteSaverState(StateFile(), {"C:\\PICS", "BA.JPG"});
    EXPECT_EQ(Show().First().name, "C.JPG");
    // A picture of another folder: the list starts at its beginning.
    WriteSaverState(StateFile(), {"C:\\OTHER", "A.JPG"});
    EXPECT_EQ(Show().First().name, "A.JPG");
}

TEST_F(SaverTest, DamagedPicturesAreSkippedWithAMessage) {
    std::vector<std::uint8_t> truncated = test::MakeSolidJpeg(64, 64, {9, 9, 9});
    truncated.resize(truncated.size() / 2);
    Picture("bad.bmp", {'B', 'M', 0, 0});
    Picture("bb.jpg", truncated);
    Slideshow slideshow = Show();
    EXPECT_EQ(Names(slideshow, 4), (std::vector<std::string>{"A.JPG", "B.BMP", "C.JPG", "A.JPG"}));
    ASSERT_GE(said_.size(), 2u);
    EXPECT_NE(said_[0].find("BAD.BMP"), std::string::npos) << said_[0];
    EXPECT_NE(said_[1].find("BB.JPG"), std::string::npos) << said_[1];
}

TEST_F(SaverTest, AnEmptyOrVanishedFolderShowsTheBlankFrameUntilPicturesCome) {
    const std::filesystem::path pics = env_.DriveFolder('C') + "/pics";
    std::filesystem::remove_all(pics);
    std::filesystem::create_directories(pics);
    Slideshow slideshow = Show();
    Frame frame = slideshow.First();
    EXPECT_TRUE(frame.Blank());
    slideshow.Shown(frame);
    Picture("late.jpg", test::MakeSolidJpeg(32, 24, {1, 200, 1}));
    slideshow.PrepareNext();
    frame = slideshow.TakeNext();
    EXPECT_EQ(frame.name, "LATE.JPG");
    slideshow.Shown(frame);
    std::filesystem::remove_all(pics);
    slideshow.PrepareNext();
    EXPECT_TRUE(slideshow.TakeNext().Blank());
}

TEST_F(SaverTest, OriginalIsCentredOnBlackAndFitFillsTheScreen) {
    Picture("a.jpg", test::MakeSolidJpeg(16, 16, {250, 250, 250}));
    auto pixel = [](const TBitmap& bitmap, int x, int y) {
        const std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
        return (p[0] + p[1] + p[2]) / 3;
    };
    const Frame fitted = Show({64, 48, {}}).First();
    ASSERT_FALSE(fitted.Blank());
    EXPECT_EQ(fitted.picture->Width(), 64);
    EXPECT_GT(pixel(*fitted.picture, 0, 0), 200);
    EXPECT_GT(pixel(*fitted.picture, 63, 47), 200);

    WriteSettingsString(store::StretchScreenSaver, "Original");
    const Frame original = Show({64, 48, {}}).First();
    ASSERT_FALSE(original.Blank());
    EXPECT_LT(pixel(*original.picture, 23, 15), 10);  // black round it
    EXPECT_GT(pixel(*original.picture, 24, 16), 200); // 16x16 from (24, 16)
    EXPECT_GT(pixel(*original.picture, 39, 31), 200);
    EXPECT_LT(pixel(*original.picture, 40, 32), 10);
}

// Records what the program would show and when; ends after a number of changes.
class RecordingDisplay : public SaverDisplay {
public:
    explicit RecordingDisplay(int changes) : changes_(changes) {}
    void Show(const Frame& frame) override {
        shown.push_back({frame.name, SaverClock::Clock::now()});
    }
    bool WaitUntil(SaverClock::Clock::time_point deadline) override {
        dues.push_back(deadline);
        if (static_cast<int>(dues.size()) > changes_)
            return false;
        std::this_thread::sleep_until(deadline);
        return true;
    }
    std::vector<std::pair<std::string, SaverClock::Clock::time_point>> shown;
    std::vector<SaverClock::Clock::time_point> dues;

private:
    int changes_;
};

TEST_F(SaverTest, OnePictureEveryIntervalOnTheBeat) {
    StoreInteger(store::ScreenSaverInterval, 10);
    const SaverClock clock(10ms); // ten "seconds" of 100 ms
    Slideshow slideshow = Show();
    RecordingDisplay display(4);
    const auto start = SaverClock::Clock::now();
    RunSaver(slideshow, display, clock, ReadSaverSettings().intervalSeconds);
    ASSERT_EQ(display.shown.size(), 5u);
    EXPECT_EQ(display.shown[1].first, "B.BMP");
    EXPECT_EQ(display.shown[4].first, "B.BMP");
    for (std::size_t i = 1; i < display.shown.size(); ++i) {
        // Each due time lies one interval after the one before, whatever the render took.
        EXPECT_EQ(display.dues[i - 1], display.dues[0] + (i - 1) * clock.Seconds(10));
        EXPECT_GE(display.shown[i].second, display.dues[i - 1]);
        EXPECT_LT(display.shown[i].second - display.dues[i - 1], 50ms) << "change " << i;
    }
    EXPECT_LT(display.dues[0] - start, clock.Seconds(10) + 100ms);
    EXPECT_EQ(ReadSaverState(StateFile()).last, "B.BMP");
}

TEST_F(SaverTest, APreviewRemembersNothing) {
    Slideshow preview(ReadSaverSettings(), {64, 48, {}}, "", [](const std::string&) {});
    Frame frame = preview.First();
    preview.Shown(frame);
    EXPECT_EQ(ReadSaverState(StateFile()), SaverState{});
}

} // namespace
} // namespace nimbrel::saver
