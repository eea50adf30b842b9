// How the controls enable and reset each other, and the interval labels.
#include "dialog_fixture.h"

#include <gtest/gtest.h>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

TEST(EnablingRulesTest, HeightFollowsWidthWhenEntered) {
    const struct {
        long double width;
        long double height;
    } cases[] = {{800, 600}, {1024, 768}, {1022, 767}, {6, 5}, {1, 1}, {0, 0}, {9999, 7499}};
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    form.Page->SetActivePage(form.TabSheet4);
    driver.Click("WMRes");
    for (const auto& c : cases) {
        driver.Focus("WMWidth");
        form.WMWidth->SetValue(c.width);
        form.WMHeight->SetValue(12345);
        driver.Click("WMHeight");
        EXPECT_TRUE(driver.HasFocus("WMHeight")) << "width " << double(c.width);
        EXPECT_EQ(form.WMHeight->Value(), c.height) << "width " << double(c.width);
    }
    // A typed height stays until the focus enters the field again.
    driver.Key("WMHeight", VkEnd);
    driver.Key("WMHeight", VkBack);
    const long double typed = form.WMHeight->Value();
    driver.Focus("WMWidth");
    EXPECT_EQ(form.WMHeight->Value(), typed);
}

// Ctrl+Backspace is a character no number field takes: it neither clears the number nor
// deletes a word of its text; Backspace alone clears it.
TEST(EnablingRulesTest, CtrlBackspaceInANumberFieldTypesNothing) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    form.Page->SetActivePage(form.TabSheet4);
    driver.Click("WMRes");
    driver.Click("WMWidth");
    form.WMWidth->SetValue(1024);
    driver.Key("WMWidth", VkBack, ssCtrl);
    EXPECT_EQ(form.WMWidth->Value(), 1024);
    EXPECT_EQ(driver.Text("WMWidth"), "1024");
    driver.Key("WMWidth", VkBack);
    EXPECT_EQ(form.WMWidth->Value(), 0);
    EXPECT_EQ(driver.Text("WMWidth"), "");
}

TEST(EnablingRulesTest, SizingButtons) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    form.Page->SetActivePage(form.TabSheet4);
    const struct {
        TRadioButton* button;
        long double width;
        long double height;
        int position;
        bool fieldsEnabled;
        bool positionEnabled;
    } cases[] = {{form.WMRes, 720, 540, 8, true, true},
                 {form.WMOrg, 0, 0, 0, false, true},
                 {form.WMRes, 720, 540, 8, true, true},
                 {form.WMFit, 0, 0, -1, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button->Name());
        driver.Click(c.button->Name());
        EXPECT_TRUE(c.button->Checked());
        EXPECT_EQ(form.WMWidth->Value(), c.width);
        EXPECT_EQ(form.WMHeight->Value(), c.height);
        EXPECT_EQ(form.WMPosition->ItemIndex(), c.position);
        EXPECT_EQ(driver.Enabled("WMWidth"), c.fieldsEnabled);
        EXPECT_EQ(driver.Enabled("WMHeight"), c.fieldsEnabled);
        EXPECT_EQ(driver.Enabled("WMPosition"), c.positionEnabled);
    }
}

TEST(EnablingRulesTest, ProtectionOffAndOnGivesDefaults) {
    TDialogFixture fixture;
    fixture.SetInteger("AccessKey", 77);
    fixture.SetInteger("AccessShift", 3);
    fixture.SetInteger("AccessTimes", 9);
    fixture.SetString("AccessPassword", "secret words");
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    form.Page->SetActivePage(form.TabSheet2);
    driver.Click("UseAccessKey");
    EXPECT_FALSE(form.UseAccessKey->Checked());
    EXPECT_EQ(form.AKShift->ItemIndex(), -1);
    EXPECT_EQ(form.AKCode->ItemIndex(), -1);
    EXPECT_EQ(form.AKTimes->Value(), 0.0L);
    EXPECT_EQ(form.AKPassword->Text(), std::string());
    EXPECT_FALSE(driver.Enabled("AKTimes"));
    driver.Click("UseAccessKey");
    EXPECT_EQ(driver.Text("AKShift"), std::string("Shift"));
    EXPECT_EQ(driver.Text("AKCode"), std::string("A"));
    EXPECT_EQ(form.AKTimes->Value(), 3.0L);
    EXPECT_EQ(form.AKPassword->Text(), std::string());
    EXPECT_EQ(form.AKPassword2->Text(), std::string());
    for (const char* field : {"AKShift", "AKCode", "AKTimes", "AKPassword", "AKPassword2"})
        EXPECT_TRUE(driver.Enabled(field)) << field;
}

TEST(EnablingRulesTest, IntervalLabels) {
    TDialogFixture fixture;
    fixture.SetInteger("Interval", 45);
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    // Shown once the dialog is shown, then with every move by the user.
    EXPECT_EQ(driver.Text("IdleTime"), std::string("45min"));
    EXPECT_EQ(driver.Text("SSIdleTime"), std::string("30sec"));
    driver.Focus("IdleTimeTrackBar");
    driver.Key("IdleTimeTrackBar", VkHome);
    EXPECT_EQ(driver.Text("IdleTime"), std::string("1min"));
    driver.Key("IdleTimeTrackBar", VkEnd);
    EXPECT_EQ(driver.Text("IdleTime"), std::string("300min"));
    form.Page->SetActivePage(form.TabSheet2);
    driver.Focus("ScreenSaverTrackBar");
    driver.Key("ScreenSaverTrackBar", VkHome);
    EXPECT_EQ(driver.Text("SSIdleTime"), std::string("10sec"));
    // A position set by code changes no label.
    form.ScreenSaverTrackBar->SetPosition(100);
    EXPECT_EQ(driver.Text("SSIdleTime"), std::string("10sec"));
}

} // namespace
