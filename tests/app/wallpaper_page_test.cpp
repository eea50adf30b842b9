// The wallpaper page end to end: the list a folder gives, the preview, the requests.
#include "dialog_fixture.h"

#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "platform/registry.h"
#include "settings/store_values.h"
#include "support/bmp_maker.h"
#include "support/jpeg_maker.h"
#include "support/nwp_packer.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

constexpr const char* WallsFolder = "C:\\walls";
constexpr Rgb Red{230, 20, 20};
constexpr Rgb Blue{20, 40, 220};

// One entry of a wallpaper folder, by its host name.
struct Entry {
    enum Kind { Jpeg, Bitmap, Text, Empty, Folder, InkJpeg, RunLengthBitmap } kind;
    std::string name;
    Rgb colour = Red;
};

constexpr int PictureWidth = 80;
constexpr int PictureHeight = 60;

// An 8-bit run-length coded bitmap of one colour, as other programs write them.
std::vector<std::uint8_t> MakeRunLengthBmp(int width, int height, Rgb colour) {
    std::vector<std::uint8_t> file = MakeBmp(
        {.width = width, .height = height, .bitCount = 8, .compression = 1, .colorsUsed = 1});
    file.resize(file.size() - static_cast<std::size_t>((width + 3) / 4 * 4 * height));
    file[54] = colour.blue; // palette entry 0
    file[55] = colour.green;
    file[56] = colour.red;
    std::vector<std::uint8_t> codes;
    for (int row = 0; row < height; ++row)
        codes.insert(codes.end(), {static_cast<std::uint8_t>(width), 0, 0, 0});
    codes.insert(codes.end(), {0, 1});
    file.insert(file.end(), codes.begin(), codes.end());
    PutLe32(file, 34, static_cast<std::uint32_t>(codes.size()));
    PutLe32(file, 2, static_cast<std::uint32_t>(file.size()));
    return file;
}

void MakeEntry(const std::string& folder, const Entry& entry) {
    const std::string path = folder + "/" + entry.name;
    switch (entry.kind) {
    case Entry::Jpeg:
        WriteHostFile(path, MakeSolidJpeg(PictureWidth, PictureHeight, entry.colour));
        break;
    case Entry::Bitmap:
        WriteHostFile(path, MakeSolidBmp(PictureWidth, PictureHeight, entry.colour));
        break;
    case Entry::Text:
        std::ofstream(path) << "no JPEG start marker here";
        break;
    case Entry::Empty:
        std::ofstream{path};
        break;
    case Entry::Folder:
        std::filesystem::create_directories(path);
        break;
    case Entry::InkJpeg:
        WriteHostFile(path, MakeJpeg({JpegKind::Cmyk, PictureWidth, PictureHeight}));
        break;
    case Entry::RunLengthBitmap:
        WriteHostFile(path, MakeRunLengthBmp(PictureWidth, PictureHeight, entry.colour));
        break;
    }
}

// A dialog whose stored wallpaper folder C:\walls holds `entries`.
TOptionsForm& OpenOn(TDialogFixture& fixture, const std::vector<Entry>& entries) {
    const std::string folder = fixture.Environment().MakeHostFolder('C', "walls");
    for (const Entry& entry : entries)
        MakeEntry(folder, entry);
    fixture.SetString(store::WallpaperFolder, WallsFolder);
    return fixture.Open();
}

enum class Shows { Nothing, Jpeg, Bitmap };

Shows PreviewKind(const TOptionsForm& form) {
    const TGraphic* picture = form.Preview->Picture();
    if (!picture)
        return Shows::Nothing;
    if (dynamic_cast<const TJPEGImage*>(picture))
        return Shows::Jpeg;
    if (dynamic_cast<const TBitmap*>(picture))
        return Shows::Bitmap;
    throw std::runtime_error("the preview holds a picture of another class");
}

bool Near(TColour painted, Rgb made) {
    return std::abs(painted.red - made.red) < 24 && std::abs(painted.green - made.green) < 24 &&
           std::abs(painted.blue - made.blue) < 24;
}

struct Buttons {
    bool setAsNext, changeTo, ok;
    bool operator==(const Buttons&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Buttons& b) {
        return out << "{" << b.setAsNext << ", " << b.changeTo << ", " << b.ok << "}";
    }
};

Buttons ButtonsOf(const TDialogDriver& driver) {
    return {driver.Enabled("Button2"), driver.Enabled("Button1"), driver.Enabled("Button5")};
}

int RowOf(const TDialogDriver& driver, const char* line) {
    const std::vector<std::string> lines = driver.Lines("WallpaperList");
    const auto found = std::find(lines.begin(), lines.end(), line);
    if (found == lines.end() || std::count(lines.begin(), lines.end(), line) != 1)
        throw std::runtime_error(std::string("no single line ") + line);
    return static_cast<int>(found - lines.begin());
}

TEST(WallpaperPageTest, FolderGivesListSelectionPreviewAndButtons) {
    struct Case {
        const char* name;
        std::vector<Entry> entries;
        std::vector<std::string> lines;
        Shows preview;
        Buttons buttons;
    };
    const Case cases[] = {
        {"pictures of mixed case",
         {{Entry::Jpeg, "a.jpg"}, {Entry::Jpeg, "B.Jpg"}, {Entry::Bitmap, "c.bmp"}},
         {"A.JPG", "B.JPG", "C.BMP"},
         Shows::Jpeg,
         {true, true, true}},
        {"bitmaps and JPEGs interleaved alphabetically",
         {{Entry::Bitmap, "b.bmp"}, {Entry::Jpeg, "A.jpg"}, {Entry::Jpeg, "c.JPG"}},
         {"A.JPG", "B.BMP", "C.JPG"},
         Shows::Jpeg,
         {true, true, true}},
        {"the changer's own bitmaps only",
         {{Entry::Bitmap, "nimbrel.bmp"}, {Entry::Bitmap, "NextPic.bmp"}},
         {},
         Shows::Nothing,
         {false, false, false}},
        {"JPEGs of the changer's names are pictures",
         {{Entry::Jpeg, "NIMBREL.JPG"}, {Entry::Jpeg, "nextpic.jpg"}},
         {"NEXTPIC.JPG", "NIMBREL.JPG"},
         Shows::Jpeg,
         {true, true, true}},
        {"a bitmap first is shown but not requestable",
         {{Entry::Bitmap, "a.bmp", Blue}, {Entry::Jpeg, "b.jpg"}},
         {"A.BMP", "B.JPG"},
         Shows::Bitmap,
         {false, false, true}},
        {"a .JPG that is no JPEG: empty preview, buttons kept",
         {{Entry::Text, "notes.jpg"}},
         {"NOTES.JPG"},
         Shows::Nothing,
         {true, true, true}},
        {"a folder named like a picture is listed",
         {{Entry::Folder, "album.jpg"}},
         {"ALBUM.JPG"},
         Shows::Nothing,
         {true, true, true}},
        {"an empty folder", {}, {}, Shows::Nothing, {false, false, false}},
    };
    for (const Case& c : cases) {
        TDialogFixture fixture;
        TOptionsForm& form = OpenOn(fixture, c.entries);
        const TDialogDriver& driver = fixture.Driver();
        SCOPED_TRACE(c.name);
        EXPECT_EQ(driver.Lines("WallpaperList"), c.lines);
        EXPECT_EQ(driver.SelectedLine("WallpaperList"), c.lines.empty() ? -1 : 0);
        EXPECT_TRUE(PreviewKind(form) == c.preview);
        EXPECT_EQ(ButtonsOf(driver), c.buttons);
        EXPECT_TRUE(fixture.messages.empty());
    }
}

TEST(WallpaperPageTest, ClickingALineSetsButtonsAndPreview) {
    struct Case {
        const char* line;
        Shows preview;
        Rgb painted;
        bool requestable;
    };
    const Case cases[] = {
        {"C.BMP", Shows::Bitmap, Blue, false},
        {"X.JPG.BMP", Shows::Bitmap, Red, true},
        {"B.JPG", Shows::Jpeg, Blue, true},
        {"A.JPG", Shows::Jpeg, Red, true},
    };
    TDialogFixture fixture;
    TOptionsForm& form = OpenOn(fixture, {{Entry::Jpeg, "a.jpg", Red},
                                          {Entry::Jpeg, "b.jpg", Blue},
                                          {Entry::Bitmap, "c.bmp", Blue},
                                          {Entry::Bitmap, "x.jpg.bmp", Red}});
    TDialogDriver& driver = fixture.Driver();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        driver.ClickLine("WallpaperList", RowOf(driver, c.line));
        EXPECT_TRUE(PreviewKind(form) == c.preview);
        const TColour painted = driver.PaintedCentre("Preview");
        EXPECT_TRUE(Near(painted, c.painted))
            << painted.red << "," << painted.green << "," << painted.blue;
        EXPECT_EQ(driver.Enabled("Button1"), c.requestable);
        EXPECT_EQ(driver.Enabled("Button2"), c.requestable);
        EXPECT_TRUE(driver.Enabled("Button5"));
    }
    EXPECT_TRUE(fixture.messages.empty());
}

TEST(WallpaperPageTest, InkJpegsAndRunLengthBitmapsPreview) {
    TDialogFixture fixture;
    TOptionsForm& form =
        OpenOn(fixture, {{Entry::InkJpeg, "inks.jpg"}, {Entry::RunLengthBitmap, "rle.bmp", Blue}});
    TDialogDriver& driver = fixture.Driver();
    driver.ClickLine("WallpaperList", RowOf(driver, "INKS.JPG"));
    EXPECT_TRUE(PreviewKind(form) == Shows::Jpeg);
    driver.Repaint("Preview");
    fixture.SettleFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(fixture.messages.empty()) << fixture.MessageTexts(); // decoded, no error
    driver.ClickLine("WallpaperList", RowOf(driver, "RLE.BMP"));
    EXPECT_TRUE(PreviewKind(form) == Shows::Bitmap);
    const TColour painted = driver.PaintedCentre("Preview");
    EXPECT_TRUE(Near(painted, Blue)) << painted.red << "," << painted.green << "," << painted.blue;
}

TEST(WallpaperPageTest, ZeroLengthJpegIsReportedWhenPainted) {
    TDialogFixture fixture;
    TOptionsForm& form = OpenOn(fixture, {{Entry::Empty, "z.jpg"}});
    // Loading the empty file succeeds; decoding it fails only when the preview paints (a
    // frontend that paints the dialog as it shows it has done so already).
    EXPECT_TRUE(PreviewKind(form) == Shows::Jpeg);
    EXPECT_TRUE(fixture.messages.empty() || (fixture.messages.size() == 1 &&
                                             fixture.messages[0].text.starts_with("JPEG error #")))
        << fixture.MessageTexts();
    TDialogDriver& driver = fixture.Driver();
    driver.Repaint("Preview");
    ASSERT_TRUE(fixture.SettleUntil([&] { return fixture.messages.size() == 1; }))
        << fixture.MessageTexts();
    EXPECT_EQ(fixture.messages[0].caption, std::string("Nimbrel Extensions"));
    EXPECT_TRUE(fixture.messages[0].text.starts_with("JPEG error #")) << fixture.messages[0].text;
    EXPECT_EQ(fixture.messages[0].icon, TMessageIcon::Error);
    // The preview keeps its picture, and the dialog stays open and usable.
    EXPECT_TRUE(PreviewKind(form) == Shows::Jpeg);
    driver.Repaint("Preview");
    fixture.SettleFor(std::chrono::milliseconds(50));
    EXPECT_EQ(fixture.messages.size(), std::size_t{1}); // decoded once, reported once
    EXPECT_TRUE(driver.Visible());
    EXPECT_TRUE(driver.Enabled("OptionsForm"));
    EXPECT_EQ(ButtonsOf(driver), (Buttons{true, true, true}));
}

TEST(WallpaperPageTest, RequestsWriteTheNameAndDisableOnlyTheirButton) {
    struct Case {
        TButton* const TOptionsForm::*pressed;
        TButton* const TOptionsForm::*other;
        std::string_view value;
        std::string_view untouched;
    };
    const Case cases[] = {
        {&TOptionsForm::Button2, &TOptionsForm::Button1, store::SetAsNext, store::ChangeTo},
        {&TOptionsForm::Button1, &TOptionsForm::Button2, store::ChangeTo, store::SetAsNext},
    };
    for (const Case& c : cases) {
        TDialogFixture fixture;
        TOptionsForm& form = OpenOn(fixture, {{Entry::Jpeg, "a.jpg"}, {Entry::Jpeg, "b.jpg"}});
        TDialogDriver& driver = fixture.Driver();
        driver.ClickLine("WallpaperList", 1);
        fixture.Press(form.*c.pressed);
        SCOPED_TRACE((form.*c.pressed)->Name());
        EXPECT_EQ(AsText(fixture.Value(c.value)), std::string("B.JPG"));
        EXPECT_FALSE(fixture.Value(c.untouched));
        EXPECT_FALSE(driver.Enabled((form.*c.pressed)->Name()));
        EXPECT_TRUE(driver.Enabled((form.*c.other)->Name()));
        // The next click on a JPEG line offers the request again.
        driver.ClickLine("WallpaperList", 0);
        EXPECT_TRUE(driver.Enabled((form.*c.pressed)->Name()));
        // Cancel does not take a request back.
        fixture.Press(form.Button3);
        EXPECT_EQ(AsText(fixture.Value(c.value)), std::string("B.JPG"));
    }
}

TEST(WallpaperPageTest, RequestCreatesAMissingKey) {
    TDialogFixture fixture;
    TOptionsForm& form = OpenOn(fixture, {{Entry::Jpeg, "a.jpg"}});
    // The settings key is gone when the user presses.
    fixture.Host().ForgetSettingsKey();
    platform::RegKey key;
    ASSERT_NE(key.Open(platform::Hive::CurrentUser, store::SettingsKey), platform::ErrorSuccess);
    fixture.Press(form.Button2);
    EXPECT_EQ(AsText(fixture.Value(store::SetAsNext)), std::string("A.JPG"));
    EXPECT_FALSE(fixture.Driver().Enabled("Button2"));
}

TEST(WallpaperPageTest, DriveChangeRefillsFromTheRootAndEmptiesPreview) {
    // D: holds pictures at its root; its current folder is its root.
    TDialogFixture fixture({.withDriveD = true});
    const std::string driveD = fixture.Environment().DriveFolder('D');
    MakeEntry(driveD, {Entry::Bitmap, "map.bmp"});
    MakeEntry(driveD, {Entry::Jpeg, "Dune.jpg"});
    TOptionsForm& form = OpenOn(fixture, {{Entry::Jpeg, "a.jpg"}});
    EXPECT_TRUE(PreviewKind(form) == Shows::Jpeg);

    form.Drive->SetDrive('D');
    EXPECT_EQ(form.Folder->Directory(), std::string("D:\\"));
    TDialogDriver& driver = fixture.Driver();
    ASSERT_EQ(driver.Lines("WallpaperList"), (std::vector<std::string>{"DUNE.JPG", "MAP.BMP"}));
    EXPECT_EQ(driver.SelectedLine("WallpaperList"), 0);
    EXPECT_TRUE(PreviewKind(form) == Shows::Nothing);
    EXPECT_EQ(ButtonsOf(driver), (Buttons{true, true, true}));
    // At the root the line's path holds two backslashes in a row (D:\\MAP.BMP); it loads.
    driver.ClickLine("WallpaperList", 1);
    EXPECT_TRUE(PreviewKind(form) == Shows::Bitmap);
    EXPECT_TRUE(fixture.messages.empty());
}

// However the user changes the selection, the buttons and the preview follow the line
// selected: a bitmap's name can never be requested. Ctrl+click never empties the list's
// selection.
TEST(WallpaperPageTest, EveryChangeOfTheSelectionRunsTheClick) {
    enum Action { Drag, RightClick, KeyUp, KeyDown, CtrlClick, Click };
    struct Step {
        Action action;
        int line; // the line clicked, or the end of the drag
        int from; // the start of the drag
    };
    const Step steps[] = {
        {Drag, 1, 0},       // onto B.BMP
        {Drag, 2, 1},       // onto C.JPG
        {RightClick, 1, 0}, //
        {KeyDown, 0, 0},    //
        {KeyUp, 0, 0},      //
        {CtrlClick, 1, 0},  // the line already selected
        {CtrlClick, 0, 0},  //
        {Click, 1, 0},      //
        {Drag, 0, 1},       // back to the start
    };
    TDialogFixture fixture;
    TOptionsForm& form = OpenOn(fixture, {{Entry::Jpeg, "a.jpg", Red},
                                          {Entry::Bitmap, "b.bmp", Blue},
                                          {Entry::Jpeg, "c.jpg", Blue}});
    TDialogDriver& driver = fixture.Driver();
    ASSERT_EQ(driver.Lines("WallpaperList"), (std::vector<std::string>{"A.JPG", "B.BMP", "C.JPG"}));
    int step = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE("step " + std::to_string(step++));
        switch (s.action) {
        case Drag:
            driver.DragAcrossLines("WallpaperList", s.from, s.line);
            break;
        case RightClick:
            driver.RightClickLine("WallpaperList", s.line);
            break;
        case KeyUp:
            driver.Key("WallpaperList", VkUp);
            break;
        case KeyDown:
            driver.Key("WallpaperList", VkDown);
            break;
        case CtrlClick:
            driver.CtrlClickLine("WallpaperList", s.line);
            break;
        case Click:
            driver.ClickLine("WallpaperList", s.line);
            break;
        }
        driver.Settle();
        const int selected = driver.SelectedLine("WallpaperList");
        ASSERT_GE(selected, 0);
        EXPECT_EQ(form.WallpaperList->ItemIndex(), selected);
        const bool jpeg = selected != 1;
        EXPECT_EQ(ButtonsOf(driver), (Buttons{jpeg, jpeg, true}));
        EXPECT_TRUE(PreviewKind(form) == (jpeg ? Shows::Jpeg : Shows::Bitmap));
        if (s.action == Drag) {
            EXPECT_EQ(selected, s.line);
        }
    }
    // A request names the line the user sees selected.
    driver.DragAcrossLines("WallpaperList", 0, 2);
    fixture.Press(form.Button2);
    EXPECT_EQ(AsText(fixture.Value(store::SetAsNext)), std::string("C.JPG"));
    EXPECT_TRUE(fixture.messages.empty());
}

} // namespace
