// What the dialog shows after loading a given store.
#include "dialog_fixture.h"

#include "platform/registry.h"
#include "settings/store_values.h"

#include <gtest/gtest.h>

#include <functional>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

enum class Sizing { Fit, Original, Resize };

// The controls a store shows. Defaults are those of an empty store on a 600-pixel screen.
struct Shown {
    Sizing sizing = Sizing::Fit;
    long double width = 0;
    long double height = 0;
    int position = -1;
    bool exitOnChange = false;
    bool screenSaverOriginal = false;
    bool installScreenSaver = true;
    int interval = 60;
    int screenSaverInterval = 30;
    std::string folder = TDialogFixture::PicturesFolder;
    bool protection = false;
    int accessShift = -1;
    int accessCode = -1;
    std::string password;
    bool autostart = true;
};

struct LoadCase {
    const char* name;
    std::function<void(TDialogFixture&)> store;
    std::function<void(Shown&)> expected;
};

std::string Dword(std::uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
            static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

Sizing SizingOf(const TOptionsForm& form) {
    if (form.WMRes->Checked())
        return Sizing::Resize;
    return form.WMOrg->Checked() ? Sizing::Original : Sizing::Fit;
}

TEST(LoadSettingsTest, StoresShownInTheControls) {
    const LoadCase cases[] = {
        {"empty store (first run)", [](TDialogFixture&) {}, [](Shown&) {}},
        {"intervals below range",
         [](TDialogFixture& f) {
             f.SetInteger(store::Interval, 0);
             f.SetInteger(store::ScreenSaverInterval, 5);
         },
         [](Shown& s) {
             s.interval = 1;
             s.screenSaverInterval = 10;
         }},
        {"intervals above range",
         [](TDialogFixture& f) {
             f.SetInteger(store::Interval, 1000);
             f.SetInteger(store::ScreenSaverInterval, 1000);
         },
         [](Shown& s) {
             s.interval = 300;
             s.screenSaverInterval = 300;
         }},
        {"interval stored as a string",
         [](TDialogFixture& f) {
             f.SetString(store::Interval, "45");
             f.SetInteger(store::ScreenSaverInterval, 20);
         },
         [](Shown& s) { s.screenSaverInterval = 20; }},
        {"texts compared exactly",
         [](TDialogFixture& f) {
             f.SetString(store::DisableScreenSaver, "yes");
             f.SetString(store::ExitOnChange, "yes");
             f.SetString(store::StretchScreenSaver, "original");
             f.SetString(store::StretchWallpaper, "resize");
         },
         [](Shown&) {}},
        {"stored texts",
         [](TDialogFixture& f) {
             f.SetString(store::DisableScreenSaver, "Yes");
             f.SetString(store::ExitOnChange, "Yes");
             f.SetString(store::StretchScreenSaver, "Original");
         },
         [](Shown& s) {
             s.installScreenSaver = false;
             s.exitOnChange = true;
             s.screenSaverOriginal = true;
         }},
        {"installation flag of another type",
         [](TDialogFixture& f) {
             f.SetRaw(store::DisableScreenSaver, platform::RegDword, Dword(1));
         },
         [](Shown&) {}},
        {"resize with size and position",
         [](TDialogFixture& f) {
             f.SetString(store::StretchWallpaper, "Resize");
             f.SetInteger(store::StretchWallpaperWidth, 1024);
             f.SetInteger(store::StretchWallpaperHeight, 768);
             f.SetInteger(store::StretchWallpaperPosition, 2);
         },
         [](Shown& s) {
             s.sizing = Sizing::Resize;
             s.width = 1024;
             s.height = 768;
             s.position = 2;
         }},
        {"resize without width takes the screen's size",
         [](TDialogFixture& f) { f.SetString(store::StretchWallpaper, "Resize"); },
         [](Shown& s) {
             s.sizing = Sizing::Resize;
             s.width = 720;
             s.height = 540;
             s.position = 8;
         }},
        {"original size at the bottom",
         [](TDialogFixture& f) {
             f.SetString(store::StretchWallpaper, "Original");
             f.SetInteger(store::StretchWallpaperWidth, 0);
             f.SetInteger(store::StretchWallpaperHeight, 0);
             f.SetInteger(store::StretchWallpaperPosition, 4);
         },
         [](Shown& s) {
             s.sizing = Sizing::Original;
             s.position = 4;
         }},
        {"fit to screen",
         [](TDialogFixture& f) {
             f.SetString(store::StretchWallpaper, "FitToScreen");
             f.SetInteger(store::StretchWallpaperWidth, 0);
             f.SetInteger(store::StretchWallpaperHeight, 0);
             f.SetInteger(store::StretchWallpaperPosition, -1);
         },
         [](Shown&) {}},
        {"protection Ctrl+B",
         [](TDialogFixture& f) {
             f.SetInteger(store::AccessKey, 66);
             f.SetInteger(store::AccessShift, 2);
             f.SetInteger(store::AccessTimes, 4);
             f.SetString(store::AccessPassword, "opensesame");
         },
         [](Shown& s) {
             s.protection = true;
             s.accessCode = 1;
             s.accessShift = 1;
             s.password = "opensesame";
         }},
        {"protection without its modifier is off",
         [](TDialogFixture& f) {
             f.SetInteger(store::AccessKey, 66);
             f.SetInteger(store::AccessTimes, 4);
             f.SetString(store::AccessPassword, "opensesame");
         },
         [](Shown&) {}},
        {"autostart off", [](TDialogFixture& f) { f.SetRunRaw(platform::RegSz, "*"); },
         [](Shown& s) { s.autostart = false; }},
        {"autostart empty text", [](TDialogFixture& f) { f.SetRunRaw(platform::RegSz, ""); },
         [](Shown&) {}},
        {"autostart of another type",
         [](TDialogFixture& f) { f.SetRunRaw(platform::RegDword, Dword(1)); },
         [](Shown& s) { s.autostart = false; }},
        {"wallpaper folder with a trailing backslash",
         [](TDialogFixture& f) {
             f.Environment().MakeHostFolder('C', "art");
             f.SetString(store::WallpaperFolder, "C:\\ART\\");
         },
         [](Shown& s) { s.folder = "C:\\ART"; }},
        {"wallpaper folder that cannot be entered",
         [](TDialogFixture& f) { f.SetString(store::WallpaperFolder, "C:\\NOWHERE"); },
         [](Shown&) {}},
        {"a drive root stays the root",
         [](TDialogFixture& f) { f.SetString(store::WallpaperFolder, "C:\\"); },
         [](Shown& s) { s.folder = "C:\\"; }},
    };
    for (const LoadCase& c : cases) {
        TDialogFixture fixture;
        c.store(fixture);
        Shown expected;
        c.expected(expected);
        const TOptionsForm& form = fixture.Open();
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(SizingOf(form) == expected.sizing);
        EXPECT_EQ(form.WMWidth->Value(), expected.width);
        EXPECT_EQ(form.WMHeight->Value(), expected.height);
        EXPECT_EQ(form.WMPosition->ItemIndex(), expected.position);
        EXPECT_EQ(form.ExitOnChange->Checked(), expected.exitOnChange);
        EXPECT_EQ(form.SSOrg->Checked(), expected.screenSaverOriginal);
        EXPECT_EQ(form.SSFit->Checked(), !expected.screenSaverOriginal);
        EXPECT_EQ(form.OtherSS->Checked(), expected.installScreenSaver);
        EXPECT_EQ(form.IdleTimeTrackBar->Position(), expected.interval);
        EXPECT_EQ(form.ScreenSaverTrackBar->Position(), expected.screenSaverInterval);
        EXPECT_EQ(form.Folder->Directory(), expected.folder);
        EXPECT_EQ(form.UseAccessKey->Checked(), expected.protection);
        EXPECT_EQ(form.AKShift->ItemIndex(), expected.accessShift);
        EXPECT_EQ(form.AKCode->ItemIndex(), expected.accessCode);
        EXPECT_EQ(form.AKPassword->Text(), expected.password);
        EXPECT_EQ(form.AKPassword2->Text(), expected.password);
        EXPECT_EQ(form.AutoLoad->Checked(), expected.autostart);
        EXPECT_TRUE(fixture.threadPriorityLowered);
        // Loading alone writes nothing while the wallpaper folder is known.
        EXPECT_TRUE(fixture.messages.empty());
    }
}

// The protection as the Screen Saver page shows it.
void ExpectStoredProtectionShown(const TDialogDriver& driver) {
    EXPECT_EQ(driver.Position("ScreenSaverTrackBar"), 75);
    EXPECT_EQ(driver.Text("SSIdleTime"), "75sec");
    EXPECT_TRUE(driver.Checked("UseAccessKey"));
    EXPECT_EQ(driver.Text("AKShift"), "Ctrl");
    EXPECT_EQ(driver.Text("AKCode"), "W");
    EXPECT_EQ(driver.Text("AKTimes"), "5");
    EXPECT_EQ(driver.Text("AKPassword"), "abcdefg");
    EXPECT_EQ(driver.Text("AKPassword2"), "abcdefg");
    EXPECT_FALSE(driver.Checked("OtherSS"));
}

// A page's windows may be made only when the page is first shown: what was loaded before
// is there on the screen all the same, in every kind of control.
TEST(LoadSettingsTest, StoreShownOnPagesShownLater) {
    TDialogFixture fixture;
    fixture.SetEverySetting();
    fixture.Open({"/NWPSUPPORT"});
    TDialogDriver& driver = fixture.Driver();

    driver.ClickTab("Page", 0); // the tabs are pages 1, 2, 4, 3
    EXPECT_EQ(driver.Position("IdleTimeTrackBar"), 45);
    EXPECT_EQ(driver.Text("IdleTime"), "45min");
    EXPECT_TRUE(driver.Checked("ExitOnChange"));
    EXPECT_FALSE(driver.Checked("AutoLoad"));
    EXPECT_EQ(driver.Lines("WallpaperList"),
              (std::vector<std::string>{"MEADOW.BMP", "SUNSET.BMP"}));
    EXPECT_EQ(driver.Text("Drive"), "C:");
    const std::vector<std::string> folders = driver.Lines("Folder");
    const int folder = driver.SelectedLine("Folder");
    ASSERT_TRUE(folder >= 0 && folder < static_cast<int>(folders.size())) << folder;
    EXPECT_EQ(folders[static_cast<std::size_t>(folder)], "pics");

    driver.ClickTab("Page", 1);
    ExpectStoredProtectionShown(driver);

    driver.ClickTab("Page", 2);
    EXPECT_TRUE(driver.Checked("WMRes"));
    EXPECT_FALSE(driver.Checked("WMFit"));
    EXPECT_EQ(driver.Text("WMWidth"), "1024");
    EXPECT_EQ(driver.Text("WMHeight"), "768");
    EXPECT_EQ(driver.Text("WMPosition"), "Right Center");
    EXPECT_TRUE(driver.Checked("SSOrg"));
    EXPECT_FALSE(driver.Checked("SSFit"));
    EXPECT_TRUE(fixture.messages.empty()) << fixture.MessageTexts();
}

// The same page shown first by its switch.
TEST(LoadSettingsTest, StoredProtectionShownOnTheFirstPage) {
    TDialogFixture fixture;
    fixture.SetEverySetting();
    fixture.Open({"/SCREENSAVER"});
    ExpectStoredProtectionShown(fixture.Driver());
}

TEST(LoadSettingsTest, SizingFieldsFollowTheMode) {
    struct Case {
        const char* stretch;
        bool fieldsEnabled;
        bool positionEnabled;
    } const cases[] = {
        {"FitToScreen", false, false}, {"Original", false, true}, {"Resize", true, true}};
    for (const Case& c : cases) {
        TDialogFixture fixture;
        fixture.SetString(store::StretchWallpaper, c.stretch);
        fixture.Open();
        const TDialogDriver& driver = fixture.Driver();
        EXPECT_EQ(driver.Enabled("WMWidth"), c.fieldsEnabled) << c.stretch;
        EXPECT_EQ(driver.Enabled("WMHeight"), c.fieldsEnabled) << c.stretch;
        EXPECT_EQ(driver.Enabled("WMPosition"), c.positionEnabled) << c.stretch;
    }
}

TEST(LoadSettingsTest, ProtectionFieldsFollowTheBox) {
    for (bool stored : {false, true}) {
        TDialogFixture fixture;
        if (stored) {
            fixture.SetInteger(store::AccessKey, 90);
            fixture.SetInteger(store::AccessShift, 3);
            fixture.SetInteger(store::AccessTimes, 7);
            fixture.SetString(store::AccessPassword, "zzzzzz");
        }
        const TOptionsForm& form = fixture.Open();
        for (const char* field : {"AKShift", "AKCode", "AKTimes", "AKPassword", "AKPassword2"})
            EXPECT_EQ(fixture.Driver().Enabled(field), stored) << field;
        if (stored) {
            EXPECT_EQ(form.AKCode->ItemIndex(), 25);
            EXPECT_EQ(form.AKShift->ItemIndex(), 2);
            EXPECT_EQ(form.AKTimes->Value(), 7.0L);
        }
    }
}

} // namespace
