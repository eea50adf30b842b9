// How the controls enable and reset each other, and the interval labels.
#include "app_test_main.h"
#include "dialog_fixture.h"

#include "controls/qt/check_box.h"
#include "controls/qt/drop_down_list.h"
#include "controls/qt/get_number.h"
#include "controls/qt/password_edit.h"
#include "controls/qt/radio_button.h"
#include "controls/qt/track_bar.h"

#include <QLabel>
#include <QObject>
#include <QTabWidget>

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
    form.Page->setCurrentWidget(form.TabSheet4);
    QTest::mouseClick(form.WMRes, Qt::LeftButton);
    for (const auto& c : cases) {
        form.WMWidth->setFocus();
        form.WMWidth->SetValue(c.width);
        form.WMHeight->SetValue(12345);
        QTest::mouseClick(form.WMHeight, Qt::LeftButton);
        QVERIFY(form.WMHeight->hasFocus());
        QCOMPARE(form.WMHeight->Value(), c.height);
    }
    // A typed height stays until the focus enters the field again.
    QTest::keyClick(form.WMHeight, Qt::Key_End);
    QTest::keyClick(form.WMHeight, Qt::Key_Backspace);
    const long double typed = form.WMHeight->Value();
    form.WMWidth->setFocus();
    QCOMPARE(form.WMHeight->Value(), typed);
}

void EnablingRulesTest::sizingButtons() {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    form.Page->setCurrentWidget(form.TabSheet4);
    const struct {
        TQtRadioButton* button;
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
        QTest::mouseClick(c.button, Qt::LeftButton);
        QVERIFY(c.button->Checked());
        QCOMPARE(form.WMWidth->Value(), c.width);
        QCOMPARE(form.WMHeight->Value(), c.height);
        QCOMPARE(form.WMPosition->ItemIndex(), c.position);
        QCOMPARE(form.WMWidth->isEnabled(), c.fieldsEnabled);
        QCOMPARE(form.WMHeight->isEnabled(), c.fieldsEnabled);
        QCOMPARE(form.WMPosition->isEnabled(), c.positionEnabled);
    }
}

void EnablingRulesTest::protectionOffAndOnGivesDefaults() {
    TDialogFixture fixture;
    fixture.SetInteger("AccessKey", 77);
    fixture.SetInteger("AccessShift", 3);
    fixture.SetInteger("AccessTimes", 9);
    fixture.SetString("AccessPassword", "secret words");
    TOptionsForm& form = fixture.Open();
    form.Page->setCurrentWidget(form.TabSheet2);
    QTest::mouseClick(form.UseAccessKey, Qt::LeftButton);
    QVERIFY(!form.UseAccessKey->Checked());
    QCOMPARE(form.AKShift->ItemIndex(), -1);
    QCOMPARE(form.AKCode->ItemIndex(), -1);
    QCOMPARE(form.AKTimes->Value(), 0.0L);
    QCOMPARE(form.AKPassword->Text(), std::string());
    QVERIFY(!form.AKTimes->isEnabled());
    QTest::mouseClick(form.UseAccessKey, Qt::LeftButton);
    QCOMPARE(form.AKShift->currentText(), QStringLiteral("Shift"));
    QCOMPARE(form.AKCode->currentText(), QStringLiteral("A"));
    QCOMPARE(form.AKTimes->Value(), 3.0L);
    QCOMPARE(form.AKPassword->Text(), std::string());
    QCOMPARE(form.AKPassword2->Text(), std::string());
    for (QWidget* field : std::initializer_list<QWidget*>{form.AKShift, form.AKCode, form.AKTimes,
                                                          form.AKPassword, form.AKPassword2})
        QVERIFY(field->isEnabled());
}

void EnablingRulesTest::intervalLabels() {
    TDialogFixture fixture;
    fixture.SetInteger("Interval", 45);
    TOptionsForm& form = fixture.Open();
    // Shown once the dialog is shown, then with every move by the user.
    QCOMPARE(form.IdleTime->text(), QStringLiteral("45min"));
    QCOMPARE(form.SSIdleTime->text(), QStringLiteral("30sec"));
    form.IdleTimeTrackBar->setFocus();
    QTest::keyClick(form.IdleTimeTrackBar, Qt::Key_Home);
    QCOMPARE(form.IdleTime->text(), QStringLiteral("1min"));
    QTest::keyClick(form.IdleTimeTrackBar, Qt::Key_End);
    QCOMPARE(form.IdleTime->text(), QStringLiteral("300min"));
    form.Page->setCurrentWidget(form.TabSheet2);
    form.ScreenSaverTrackBar->setFocus();
    QTest::keyClick(form.ScreenSaverTrackBar, Qt::Key_Home);
    QCOMPARE(form.SSIdleTime->text(), QStringLiteral("10sec"));
    // A position set by code changes no label.
    form.ScreenSaverTrackBar->SetPosition(100);
    QCOMPARE(form.SSIdleTime->text(), QStringLiteral("10sec"));
}

NIMBREL_DIALOG_TEST_MAIN(EnablingRulesTest)
#include "enabling_rules_test.moc"
