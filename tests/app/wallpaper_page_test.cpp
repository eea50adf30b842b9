// The wallpaper page end to end: the list a folder gives, the preview, the requests.
#include "app_test_main.h"
#include "dialog_fixture.h"

#include "controls/qt/drive_selector.h"
#include "controls/qt/folder_list.h"
#include "controls/qt/picture_box.h"
#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "platform/portable/environment.h"
#include "settings/store_values.h"
#include "support/temp_environment.h"

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QListWidget>
#include <QObject>
#include <QPushButton>
#include <QTest>

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

std::vector<std::string> Lines(const QListWidget& list) {
    std::vector<std::string> lines;
    for (int row = 0; row < list.count(); ++row)
        lines.push_back(list.item(row)->text().toStdString());
    return lines;
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
QColor PaintedCentre(TQtPictureBox& preview) {
    const QImage painted = preview.grab().toImage();
    return painted.pixelColor(painted.width() / 2, painted.height() / 2);
}

bool Near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
           std::abs(a.blue() - b.blue()) < 24;
}

struct Buttons {
    bool setAsNext, changeTo, ok;
    bool operator==(const Buttons&) const = default;
};

Buttons ButtonsOf(const TOptionsForm& form) {
    return {form.Button2->isEnabled(), form.Button1->isEnabled(), form.Button5->isEnabled()};
}

// A click with the mouse on a line of the list.
void ClickLine(QListWidget& list, int row) {
    QListWidgetItem* item = list.item(row);
    list.scrollToItem(item);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(item).center());
}

int RowOf(const QListWidget& list, const char* line) {
    const auto found = list.findItems(QString::fromLatin1(line), Qt::MatchExactly);
    if (found.size() != 1)
        throw std::runtime_error(std::string("no single line ") + line);
    return list.row(found.front());
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
        QVERIFY2(Lines(*form.WallpaperList) == c.lines, c.name);
        QVERIFY2(form.WallpaperList->currentRow() == (c.lines.empty() ? -1 : 0), c.name);
        QVERIFY2(PreviewKind(form) == c.preview, c.name);
        QVERIFY2(ButtonsOf(form) == c.buttons, c.name);
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
    for (const Case& c : cases) {
        ClickLine(*form.WallpaperList, RowOf(*form.WallpaperList, c.line));
        QVERIFY2(PreviewKind(form) == c.preview, c.line);
        QVERIFY2(Near(PaintedCentre(*form.Preview), c.painted), c.line);
        QVERIFY2(form.Button1->isEnabled() == c.requestable, c.line);
        QVERIFY2(form.Button2->isEnabled() == c.requestable, c.line);
        QVERIFY2(form.Button5->isEnabled(), c.line);
    }
    QVERIFY(fixture.messages.empty());
}

void WallpaperPageTest::zeroLengthJpegIsReportedWhenPainted() {
    TDialogFixture fixture;
    TOptionsForm& form = OpenOn(fixture, {{Entry::Empty, "z.jpg"}});
    // Loading the empty file succeeds; decoding it fails only when the preview paints.
    QCOMPARE(PreviewKind(form), Shows::Jpeg);
    QVERIFY(fixture.messages.empty());
    form.Preview->repaint();
    QTRY_COMPARE(fixture.messages.size(), std::size_t{1});
    QCOMPARE(fixture.messages[0].caption, std::string("Nimbrel Extensions"));
    QVERIFY(fixture.messages[0].text.starts_with("JPEG error #"));
    QCOMPARE(fixture.messages[0].icon, TMessageIcon::Error);
    // The preview keeps its picture, and the dialog stays open and usable.
    QCOMPARE(PreviewKind(form), Shows::Jpeg);
    form.Preview->repaint();
    QTest::qWait(50);
    QCOMPARE(fixture.messages.size(), std::size_t{1}); // decoded once, reported once
    QVERIFY(form.isVisible() && form.isEnabled());
    QCOMPARE(ButtonsOf(form), (Buttons{true, true, true}));
}

void WallpaperPageTest::requestsWriteTheNameAndDisableOnlyTheirButton() {
    struct Case {
        QPushButton* TOptionsForm::*pressed;
        QPushButton* TOptionsForm::*other;
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
        ClickLine(*form.WallpaperList, 1);
        fixture.Press(form.*c.pressed);
        QCOMPARE(AsText(fixture.Value(c.value)), std::string("B.JPG"));
        QVERIFY(!fixture.Value(c.untouched));
        QVERIFY(!(form.*c.pressed)->isEnabled());
        QVERIFY((form.*c.other)->isEnabled());
        // The next click on a JPEG line offers the request again.
        ClickLine(*form.WallpaperList, 0);
        QVERIFY((form.*c.pressed)->isEnabled());
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
    QVERIFY(!form.Button2->isEnabled());
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
    QVERIFY(Lines(*form.WallpaperList) == (std::vector<std::string>{"DUNE.JPG", "MAP.BMP"}));
    QCOMPARE(form.WallpaperList->currentRow(), 0);
    QCOMPARE(PreviewKind(form), Shows::Nothing);
    QCOMPARE(ButtonsOf(form), (Buttons{true, true, true}));
    // At the root the line's path holds two backslashes in a row (D:\\MAP.BMP); it loads.
    ClickLine(*form.WallpaperList, 1);
    QCOMPARE(PreviewKind(form), Shows::Bitmap);
    QVERIFY(fixture.messages.empty());
}

NIMBREL_DIALOG_TEST_MAIN(WallpaperPageTest)
#include "wallpaper_page_test.moc"
