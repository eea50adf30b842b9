// The wallpaper page end to end: the list a folder gives, the preview, the requests.
#include "app_test_main.h"
#include "dialog_fixture.h"

#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "platform/portable/environment.h"
#include "settings/store_values.h"
#include "support/temp_environment.h"

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QObject>
#include <QTest>

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
const QColor Red(230, 20, 20);
const QColor Blue(20, 40, 220);

// One entry of a wallpaper folder, by its host name.
struct Entry {
    enum Kind { Jpeg, Bitmap, Text, Empty, Folder } kind;
    std::string name;
    QColor colour = Red;
};

void WritePicture(const std::string& hostPath, QColor colour, const char* format) {
    QImage picture(80, 60, QImage::Format_RGB888);
    picture.fill(colour);
    if (!picture.save(QString::fromStdString(hostPath), format))
        throw std::runtime_error("cannot write a test picture");
}

void MakeEntry(const std::string& folder, const Entry& entry) {
    const std::string path = folder + "/" + entry.name;
    switch (entry.kind) {
    case Entry::Jpeg:
        WritePicture(path, entry.colour, "JPG");
        break;
    case Entry::Bitmap:
        WritePicture(path, entry.colour, "BMP");
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

// The colour in the middle of the preview as painted.
QColor PaintedCentre(TDialogDriver& driver) {
    const TColour painted = driver.PaintedCentre("Preview");
    return QColor(painted.red, painted.green, painted.blue);
}

bool Near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
           std::abs(a.blue() - b.blue()) < 24;
}

struct Buttons {
    bool setAsNext, changeTo, ok;
    bool operator==(const Buttons&) const = default;
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

} // namespace

class WallpaperPageTest : public QObject {
    Q_OBJECT

private slots:
    void folderGivesListSelectionPreviewAndButtons();
    void clickingALineSetsButtonsAndPreview();
    void zeroLengthJpegIsReportedWhenPainted();
    void requestsWriteTheNameAndDisableOnlyTheirButton();
    void requestCreatesAMissingKey();
    void driveChangeRefillsFromTheRootAndEmptiesPreview();
};

void WallpaperPageTest::folderGivesListSelectionPreviewAndButtons() {
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
        QVERIFY2(driver.Lines("WallpaperList") == c.lines, c.name);
        QVERIFY2(driver.SelectedLine("WallpaperList") == (c.lines.empty() ? -1 : 0), c.name);
        QVERIFY2(PreviewKind(form) == c.preview, c.name);
        QVERIFY2(ButtonsOf(driver) == c.buttons, c.name);
        QVERIFY2(fixture.messages.empty(), c.name);
    }
}

void WallpaperPageTest::clickingALineSetsButtonsAndPreview() {
    struct Case {
        const char* line;
        Shows preview;
        QColor painted;
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
        driver.ClickLine("WallpaperList", RowOf(driver, c.line));
        QVERIFY2(PreviewKind(form) == c.preview, c.line);
        QVERIFY2(Near(PaintedCentre(driver), c.painted), c.line);
        QVERIFY2(driver.Enabled("Button1") == c.requestable, c.line);
        QVERIFY2(driver.Enabled("Button2") == c.requestable, c.line);
        QVERIFY2(driver.Enabled("Button5"), c.line);
    }
    QVERIFY(fixture.messages.empty());
}

void WallpaperPageTest::zeroLengthJpegIsReportedWhenPainted() {
    TDialogFixture fixture;
    TOptionsForm& form = OpenOn(fixture, {{Entry::Empty, "z.jpg"}});
    // Loading the empty file succeeds; decoding it fails only when the preview paints.
    QCOMPARE(PreviewKind(form), Shows::Jpeg);
    QVERIFY(fixture.messages.empty());
    TDialogDriver& driver = fixture.Driver();
    driver.Repaint("Preview");
    QTRY_COMPARE(fixture.messages.size(), std::size_t{1});
    QCOMPARE(fixture.messages[0].caption, std::string("Nimbrel Extensions"));
    QVERIFY(fixture.messages[0].text.starts_with("JPEG error #"));
    QCOMPARE(fixture.messages[0].icon, TMessageIcon::Error);
    // The preview keeps its picture, and the dialog stays open and usable.
    QCOMPARE(PreviewKind(form), Shows::Jpeg);
    driver.Repaint("Preview");
    QTest::qWait(50);
    QCOMPARE(fixture.messages.size(), std::size_t{1}); // decoded once, reported once
    QVERIFY(driver.Visible() && driver.Enabled("OptionsForm"));
    QCOMPARE(ButtonsOf(driver), (Buttons{true, true, true}));
}

void WallpaperPageTest::requestsWriteTheNameAndDisableOnlyTheirButton() {
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
        QCOMPARE(AsText(fixture.Value(c.value)), std::string("B.JPG"));
        QVERIFY(!fixture.Value(c.untouched));
        QVERIFY(!driver.Enabled((form.*c.pressed)->Name()));
        QVERIFY(driver.Enabled((form.*c.other)->Name()));
        // The next click on a JPEG line offers the request again.
        driver.ClickLine("WallpaperList", 0);
        QVERIFY(driver.Enabled((form.*c.pressed)->Name()));
        // Cancel does not take a request back.
        fixture.Press(form.Button3);
        QCOMPARE(AsText(fixture.Value(c.value)), std::string("B.JPG"));
    }
}

void WallpaperPageTest::requestCreatesAMissingKey() {
    TDialogFixture fixture;
    TOptionsForm& form = OpenOn(fixture, {{Entry::Jpeg, "a.jpg"}});
    // A fresh store under the open dialog: the settings key is gone when the user presses.
    TempEnvironment fresh;
    platform::RegKey key;
    QVERIFY(key.Open(platform::Hive::CurrentUser, store::SettingsKey) != platform::ErrorSuccess);
    fixture.Press(form.Button2);
    QCOMPARE(AsText(fixture.Value(store::SetAsNext)), std::string("A.JPG"));
    QVERIFY(!fixture.Driver().Enabled("Button2"));
}

void WallpaperPageTest::driveChangeRefillsFromTheRootAndEmptiesPreview() {
    TDialogFixture fixture;
    // D: stands for a folder whose root holds pictures; its current folder is its root.
    const std::string driveD = fixture.Environment().Root() + "/d-drive";
    std::filesystem::create_directories(driveD);
    MakeEntry(driveD, {Entry::Bitmap, "map.bmp"});
    MakeEntry(driveD, {Entry::Jpeg, "Dune.jpg"});
    std::ofstream(fixture.Environment().Root() + "/drives", std::ios::app)
        << "D: " << driveD << "\n";
    platform::portable::ResetEnvironment();
    TOptionsForm& form = OpenOn(fixture, {{Entry::Jpeg, "a.jpg"}});
    QCOMPARE(PreviewKind(form), Shows::Jpeg);

    form.Drive->SetDrive('D');
    QCOMPARE(form.Folder->Directory(), std::string("D:\\"));
    TDialogDriver& driver = fixture.Driver();
    QVERIFY(driver.Lines("WallpaperList") == (std::vector<std::string>{"DUNE.JPG", "MAP.BMP"}));
    QCOMPARE(driver.SelectedLine("WallpaperList"), 0);
    QCOMPARE(PreviewKind(form), Shows::Nothing);
    QCOMPARE(ButtonsOf(driver), (Buttons{true, true, true}));
    // At the root the line's path holds two backslashes in a row (D:\\MAP.BMP); it loads.
    driver.ClickLine("WallpaperList", 1);
    QCOMPARE(PreviewKind(form), Shows::Bitmap);
    QVERIFY(fixture.messages.empty());
}

NIMBREL_DIALOG_TEST_MAIN(WallpaperPageTest)
#include "wallpaper_page_test.moc"
