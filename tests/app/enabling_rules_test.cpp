// How the controls enable and reset each other, and the interval labels.
#include "app_test_main.h"
#include "dialog_fixture.h"

#include <QObject>

using namespace nimbrel;
using namespace nimbrel::test;

class EnablingRulesTest : public QObject {
    Q_OBJECT

private slots:
    void heightFollowsWidthWhenEntered();
    void sizingButtons();
    void protectionOffAndOnGivesDefaults();
    void intervalLabels();
};

void EnablingRulesTest::heightFollowsWidthWhenEntered() {
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
        QVERIFY(driver.HasFocus("WMHeight"));
        QCOMPARE(form.WMHeight->Value(), c.height);
    }
    // A typed height stays until the focus enters the field again.
    driver.Key("WMHeight", VkEnd);
    driver.Key("WMHeight", VkBack);
    const long double typed = form.WMHeight->Value();
    driver.Focus("WMWidth");
    QCOMPARE(form.WMHeight->Value(), typed);
}

void EnablingRulesTest::sizingButtons() {
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
        driver.Click(c.button->Name());
        QVERIFY(c.button->Checked());
        QCOMPARE(form.WMWidth->Value(), c.width);
        QCOMPARE(form.WMHeight->Value(), c.height);
        QCOMPARE(form.WMPosition->ItemIndex(), c.position);
        QCOMPARE(driver.Enabled("WMWidth"), c.fieldsEnabled);
        QCOMPARE(driver.Enabled("WMHeight"), c.fieldsEnabled);
        QCOMPARE(driver.Enabled("WMPosition"), c.positionEnabled);
    }
}

void EnablingRulesTest::protectionOffAndOnGivesDefaults() {
    TDialogFixture fixture;
    fixture.SetInteger("AccessKey", 77);
    fixture.SetInteger("AccessShift", 3);
    fixture.SetInteger("AccessTimes", 9);
    fixture.SetString("AccessPassword", "secret words");
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    form.Page->SetActivePage(form.TabSheet2);
    driver.Click("UseAccessKey");
    QVERIFY(!form.UseAccessKey->Checked());
    QCOMPARE(form.AKShift->ItemIndex(), -1);
    QCOMPARE(form.AKCode->ItemIndex(), -1);
    QCOMPARE(form.AKTimes->Value(), 0.0L);
    QCOMPARE(form.AKPassword->Text(), std::string());
    QVERIFY(!driver.Enabled("AKTimes"));
    driver.Click("UseAccessKey");
    QCOMPARE(driver.Text("AKShift"), std::string("Shift"));
    QCOMPARE(driver.Text("AKCode"), std::string("A"));
    QCOMPARE(form.AKTimes->Value(), 3.0L);
    QCOMPARE(form.AKPassword->Text(), std::string());
    QCOMPARE(form.AKPassword2->Text(), std::string());
    for (const char* field : {"AKShift", "AKCode", "AKTimes", "AKPassword", "AKPassword2"})
        QVERIFY(driver.Enabled(field));
}

void EnablingRulesTest::intervalLabels() {
    TDialogFixture fixture;
    fixture.SetInteger("Interval", 45);
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    // Shown once the dialog is shown, then with every move by the user.
    QCOMPARE(driver.Text("IdleTime"), std::string("45min"));
    QCOMPARE(driver.Text("SSIdleTime"), std::string("30sec"));
    driver.Focus("IdleTimeTrackBar");
    driver.Key("IdleTimeTrackBar", VkHome);
    QCOMPARE(driver.Text("IdleTime"), std::string("1min"));
    driver.Key("IdleTimeTrackBar", VkEnd);
    QCOMPARE(driver.Text("IdleTime"), std::string("300min"));
    form.Page->SetActivePage(form.TabSheet2);
    driver.Focus("ScreenSaverTrackBar");
    driver.Key("ScreenSaverTrackBar", VkHome);
    QCOMPARE(driver.Text("SSIdleTime"), std::string("10sec"));
    // A position set by code changes no label.
    form.ScreenSaverTrackBar->SetPosition(100);
    QCOMPARE(driver.Text("SSIdleTime"), std::string("10sec"));
}

NIMBREL_DIALOG_TEST_MAIN(EnablingRulesTest)
#include "enabling_rules_test.moc"
