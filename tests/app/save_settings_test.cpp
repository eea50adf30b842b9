// What "&OK" writes into the store, the SYSTEM.INI entry and the autostart entry.
#include "dialog_fixture.h"

#include "platform/portable/environment.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "settings/store_values.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <variant>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

using Stored = std::variant<std::int32_t, std::string>;
using StoredValues = std::map<std::string, Stored>;

// Everything the save of an untouched first run writes into the settings key.
StoredValues DefaultSave() {
    return {{"ExitOnChange", "No"},
            {"StretchWallpaper", "FitToScreen"},
            {"StretchWallpaperWidth", 0},
            {"StretchWallpaperHeight", 0},
            {"StretchWallpaperPosition", -1},
            {"StretchScreenSaver", "FitToScreen"},
            {"DisableScreenSaver", "No"},
            {"Interval", 60},
            {"ScreenSaverInterval", 30},
            {"WallpaperFolder", TDialogFixture::PicturesFolder},
            {"AccessKey", 0},
            {"AccessShift", 0},
            {"AccessTimes", 0},
            {"AccessPassword", ""}};
}

// Compares the settings key with the expected values; answers the first difference.
std::string Difference(const TDialogFixture& fixture, const StoredValues& expected) {
    for (const auto& [name, value] : expected) {
        const auto stored = fixture.Value(name);
        if (const auto* number = std::get_if<std::int32_t>(&value)) {
            if (AsInteger(stored) != *number)
                return name + " is " + std::to_string(AsInteger(stored)) + ", expected " +
                       std::to_string(*number);
        } else if (AsText(stored) != std::get<std::string>(value)) {
            return name + " is " + AsText(stored) + ", expected " + std::get<std::string>(value);
        }
    }
    return {};
}

void TypeInto(TDialogDriver& driver, const char* field, const char* text) {
    driver.Focus(field);
    driver.Key(field, 'A', ssCtrl);
    driver.Key(field, VkDelete);
    driver.Type(field, text);
}

// The focus is on a control of the page.
bool FocusInside(const TOptionsForm& form, const TControl* page) {
    for (const TControl* control : form.Controls()) {
        if (control->Focused() && control->IsInside(page))
            return true;
    }
    return false;
}

struct SaveCase {
    const char* name;
    std::function<void(TDialogFixture&)> store;
    std::function<void(TOptionsForm&, TDialogDriver&)> act;
    std::function<void(StoredValues&)> expected;
};

TEST(SaveSettingsTest, OkWritesEveryValue) {
    const SaveCase cases[] = {
        {"untouched first run", [](TDialogFixture&) {}, [](TOptionsForm&, TDialogDriver&) {},
         [](StoredValues&) {}},
        {"intervals out of range are saved back in range",
         [](TDialogFixture& f) {
             f.SetInteger(store::Interval, 0);
             f.SetInteger(store::ScreenSaverInterval, 1000);
         },
         [](TOptionsForm&, TDialogDriver&) {},
         [](StoredValues& v) {
             v["Interval"] = 1;
             v["ScreenSaverInterval"] = 300;
         }},
        {"screen-saver interval below range",
         [](TDialogFixture& f) { f.SetInteger(store::ScreenSaverInterval, 5); },
         [](TOptionsForm&, TDialogDriver&) {},
         [](StoredValues& v) { v["ScreenSaverInterval"] = 10; }},
        {"resize clicked", [](TDialogFixture&) {},
         [](TOptionsForm& form, TDialogDriver& driver) { driver.Click("WMRes"); },
         [](StoredValues& v) {
             v["StretchWallpaper"] = "Resize";
             v["StretchWallpaperWidth"] = 720;
             v["StretchWallpaperHeight"] = 540;
             v["StretchWallpaperPosition"] = 8;
         }},
        {"original size after resize",
         [](TDialogFixture& f) {
             f.SetString(store::StretchWallpaper, "Resize");
             f.SetInteger(store::StretchWallpaperWidth, 1024);
             f.SetInteger(store::StretchWallpaperHeight, 768);
             f.SetInteger(store::StretchWallpaperPosition, 2);
         },
         [](TOptionsForm& form, TDialogDriver& driver) { form.WMOrg->SetChecked(true); },
         [](StoredValues& v) {
             v["StretchWallpaper"] = "Original";
             v["StretchWallpaperPosition"] = 0;
         }},
        {"fit to screen after original size",
         [](TDialogFixture& f) {
             f.SetString(store::StretchWallpaper, "Original");
             f.SetInteger(store::StretchWallpaperPosition, 5);
         },
         [](TOptionsForm& form, TDialogDriver& driver) { form.WMFit->SetChecked(true); },
         [](StoredValues&) {}},
        {"a width too large for 32 bits is clamped",
         [](TDialogFixture& f) { f.SetString(store::StretchWallpaper, "Resize"); },
         [](TOptionsForm& form, TDialogDriver& driver) {
             form.WMWidth->SetValue(1e12L);
             form.WMHeight->SetValue(-1e12L);
         },
         [](StoredValues& v) {
             v["StretchWallpaper"] = "Resize";
             v["StretchWallpaperWidth"] = 2147483647;
             v["StretchWallpaperHeight"] = -2147483647 - 1;
             v["StretchWallpaperPosition"] = 8;
         }},
        {"other check boxes", [](TDialogFixture&) {},
         [](TOptionsForm& form, TDialogDriver& driver) {
             form.ExitOnChange->SetChecked(true);
             form.SSOrg->SetChecked(true);
             form.OtherSS->SetChecked(false);
         },
         [](StoredValues& v) {
             v["ExitOnChange"] = "Yes";
             v["StretchScreenSaver"] = "Original";
             v["DisableScreenSaver"] = "Yes";
         }},
        {"valid protection typed in", [](TDialogFixture&) {},
         [](TOptionsForm& form, TDialogDriver& driver) {
             form.Page->SetActivePage(form.TabSheet2);
             driver.Click("UseAccessKey");
             form.AKShift->SetItemIndex(1);
             form.AKCode->SetItemIndex(1);
             TypeInto(driver, "AKPassword", "Sesame");
             TypeInto(driver, "AKPassword2", "Sesame");
         },
         [](StoredValues& v) {
             v["AccessKey"] = 66;
             v["AccessShift"] = 2;
             v["AccessTimes"] = 3;
             v["AccessPassword"] = "Sesame";
         }},
        {"stored protection saved again",
         [](TDialogFixture& f) {
             f.SetInteger(store::AccessKey, 90);
             f.SetInteger(store::AccessShift, 3);
             f.SetInteger(store::AccessTimes, 12);
             f.SetString(store::AccessPassword, "long password");
         },
         [](TOptionsForm&, TDialogDriver&) {},
         [](StoredValues& v) {
             v["AccessKey"] = 90;
             v["AccessShift"] = 3;
             v["AccessTimes"] = 12;
             v["AccessPassword"] = "long password";
         }},
    };
    for (const SaveCase& c : cases) {
        TDialogFixture fixture;
        c.store(fixture);
        TOptionsForm& form = fixture.Open();
        c.act(form, fixture.Driver());
        StoredValues expected = DefaultSave();
        c.expected(expected);
        fixture.Press(form.Button5);
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(fixture.Driver().Visible());
        EXPECT_TRUE(fixture.messages.empty());
        EXPECT_EQ(Difference(fixture, expected), "");
    }
}

// "&OK" saves what the controls hold, whether their pages were ever shown or not: a stored
// protection and size survive.
TEST(SaveSettingsTest, OkSavesAStoreUnchanged) {
    for (bool showPages : {false, true}) {
        TDialogFixture fixture;
        fixture.SetEverySetting();
        std::map<std::string, std::optional<platform::RegValue>> before;
        for (const std::string& name : fixture.ValueNames())
            before[name] = fixture.Value(name);
        const auto autostart = fixture.RunValue();
        TOptionsForm& form = fixture.Open();
        if (showPages) {
            for (int tab : {1, 2, 3, 0})
                fixture.Driver().ClickTab("Page", tab);
        }
        fixture.Press(form.Button5);

        SCOPED_TRACE(showPages ? "every page shown" : "no page shown but the first");
        EXPECT_FALSE(fixture.Driver().Visible());
        EXPECT_TRUE(fixture.messages.empty()) << fixture.MessageTexts();
        for (const auto& [name, value] : before) {
            const auto saved = fixture.Value(name);
            EXPECT_TRUE(saved && value && saved->type == value->type && saved->data == value->data)
                << name << " was " << AsText(value) << " / " << AsInteger(value) << ", saved as "
                << AsText(saved) << " / " << AsInteger(saved);
        }
        EXPECT_TRUE(fixture.RunValue() && autostart && fixture.RunValue()->data == autostart->data);
    }
}

TEST(SaveSettingsTest, InvalidProtectionIsSavedAsOff) {
    struct Case {
        const char* name;
        const char* times;
        const char* password;
        const char* retyped;
    } const cases[] = {{"times 2", "2", "Sesame", "Sesame"},
                       {"five characters", "3", "Sesam", "Sesam"},
                       {"differ in letter case only", "3", "Sesame", "sesame"}};
    for (const Case& c : cases) {
        TDialogFixture fixture;
        TOptionsForm& form = fixture.Open();
        TDialogDriver& driver = fixture.Driver();
        form.Page->SetActivePage(form.TabSheet2);
        driver.Click("UseAccessKey");
        TypeInto(driver, "AKTimes", c.times);
        TypeInto(driver, "AKPassword", c.password);
        TypeInto(driver, "AKPassword2", c.retyped);
        fixture.Press(form.Button5);

        SCOPED_TRACE(c.name);
        ASSERT_EQ(fixture.messages.size(), 1u);
        const TMessageBoxRequest& message = fixture.messages.front();
        EXPECT_EQ(message.caption, std::string("Error setting Access Key"));
        EXPECT_EQ(message.icon, TMessageIcon::None);
        EXPECT_EQ(message.text, std::string("There's an error in Access Key settings:\r\r"
                                            "* Number of times before asking for password is "
                                            "less than 3\r"
                                            "* Password is less than 6 characters long or\r"
                                            "* Passwords do not match\r\r"
                                            "Access Key will not be enabled!"));
        EXPECT_FALSE(form.UseAccessKey->Checked());
        EXPECT_FALSE(driver.Enabled("AKPassword"));
        EXPECT_FALSE(driver.Visible());
        EXPECT_EQ(Difference(fixture, DefaultSave()), "");
        // The password off is an empty string value, not a missing one.
        const auto password = fixture.Value(store::AccessPassword);
        EXPECT_TRUE(password && password->type == platform::RegSz && password->data.empty());
    }
}

TEST(SaveSettingsTest, AutostartEntry) {
    for (bool on : {true, false}) {
        TDialogFixture fixture;
        TOptionsForm& form = fixture.Open();
        EXPECT_TRUE(form.AutoLoad->Checked());
        if (!on)
            fixture.Driver().Click("AutoLoad");
        fixture.Press(form.Button5);
        EXPECT_EQ(AsText(fixture.RunValue()),
                  on ? fixture.ProgramFolder() + "NIMBREL.EXE" : std::string("*"));
    }
}

TEST(SaveSettingsTest, ScreenSaverEntry) {
    for (bool install : {true, false}) {
        TDialogFixture fixture;
        std::filesystem::create_directories(fixture.Environment().Root() + "/windows");
        ASSERT_TRUE(platform::WriteProfileString(platform::WindowsDirectory() + "\\SYSTEM.INI",
                                                 "boot", "SCRNSAVE.EXE", "C:\\OTHER.SCR"));
        TOptionsForm& form = fixture.Open();
        if (!install)
            form.OtherSS->SetChecked(false);
        fixture.Press(form.Button5);
        EXPECT_EQ(platform::GetProfileString(platform::WindowsDirectory() + "\\SYSTEM.INI", "boot",
                                             "SCRNSAVE.EXE", ""),
                  install ? fixture.ProgramFolder() + "NIMBRSRV.SCR"
                          : std::string("C:\\OTHER.SCR"));
    }
}

TEST(SaveSettingsTest, CancelWritesNothingButTheReloadRequest) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    // The focus is on a control of the first page, so choosing the tab moves it into the page.
    fixture.Driver().Focus("IdleTimeTrackBar");
    form.Page->SetActivePage(form.TabSheet4);
    EXPECT_TRUE(FocusInside(form, form.TabSheet4));
    EXPECT_EQ(AsText(fixture.Value(store::ForceReload)), std::string("Yes"));
    form.WMRes->SetChecked(true);
    fixture.Press(form.Button3);
    EXPECT_FALSE(fixture.Driver().Visible());
    EXPECT_EQ(fixture.ValueNames(), std::vector<std::string>{"ForceReload"});
    EXPECT_FALSE(fixture.RunValue());
}

// SYSTEM.INI that cannot be written (a folder of that name) does not stop the values after it.
TEST(SaveSettingsTest, FailedSystemIniWriteKeepsSaving) {
    TDialogFixture fixture;
    std::filesystem::create_directories(fixture.SystemIniHostPath());
    TOptionsForm& form = fixture.Open();
    form.IdleTimeTrackBar->SetPosition(45);
    fixture.Press(form.Button5);
    EXPECT_FALSE(fixture.Driver().Visible());
    StoredValues expected = DefaultSave();
    expected["Interval"] = 45;
    EXPECT_EQ(Difference(fixture, expected), "");
}

// A registry that cannot be opened reads like an empty one; every write to it fails. "&OK"
// then reports the store's message and keeps the dialog open, and so does entering the
// Picture Stretching page.
TEST(SaveSettingsTest, UnwritableStoreIsReported) {
    TDialogFixture fixture;
    fixture.Host().MakeStoreUnusable();
    TOptionsForm& form = fixture.Open();
    EXPECT_EQ(form.IdleTimeTrackBar->Position(), 60);
    EXPECT_TRUE(fixture.messages.empty());

    TDialogDriver& driver = fixture.Driver();
    fixture.Press(form.Button5);
    EXPECT_TRUE(driver.Visible());
    ASSERT_EQ(fixture.messages.size(), std::size_t(1));
    EXPECT_EQ(fixture.messages[0].caption, std::string("Nimbrel Extensions"));
    EXPECT_EQ(fixture.messages[0].text, std::string("Failed to set data for 'ExitOnChange'"));
    EXPECT_EQ(fixture.messages[0].icon, TMessageIcon::Error);

    driver.Focus("IdleTimeTrackBar");
    driver.ClickTab("Page", 2); // the tabs are pages 1, 2, 4, 3
    EXPECT_EQ(form.Page->ActivePage(), static_cast<TControl*>(form.TabSheet4));
    // A click on a tab may leave the focus on the tabs (Windows' page control takes it):
    // the page is entered once a control of it has the focus.
    driver.Focus("WMFit");
    ASSERT_EQ(fixture.messages.size(), std::size_t(2));
    EXPECT_EQ(fixture.messages[1].text, std::string("Failed to set data for 'ForceReload'"));
    EXPECT_TRUE(driver.Visible());
}

} // namespace
