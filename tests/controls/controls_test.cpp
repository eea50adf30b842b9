// The event rules of the dialog's controls, each where Qt's own default differs.
#include "controls/qt/check_box.h"
#include "controls/qt/drop_down_list.h"
#include "controls/qt/password_edit.h"
#include "controls/qt/radio_button.h"
#include "controls/qt/text.h"
#include "controls/qt/track_bar.h"

#include <QApplication>
#include <QGroupBox>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

using namespace nimbrel;

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void TextConversion_data();
    void TextConversion();

    void TrackBarPositionByCode_data();
    void TrackBarPositionByCode();
    void TrackBarRangeByCodeRaisesNothing();
    void TrackBarUserMovesRaiseChange();

    void DropDownListIndex_data();
    void DropDownListIndex();

    void CheckBoxClicksOnEveryChange();
    void RadioButtonsOfOneGroupBox();

    void PasswordEdit();
};

void ControlsTest::TextConversion_data() {
    QTest::addColumn<QByteArray>("cp1250");
    QTest::addColumn<QString>("unicode");
    QTest::newRow("ascii") << QByteArray("Abc 1") << "Abc 1";
    QTest::newRow("national letters")
        << QByteArray("\x8a\x9a\xc8\xe8\x8e\x9e\xe6") << QString::fromUtf8("ŠšČčŽžć");
    QTest::newRow("euro and quotes") << QByteArray("\x80\x84\x93") << QString::fromUtf8("€„“");
}

void ControlsTest::TextConversion() {
    QFETCH(QByteArray, cp1250);
    QFETCH(QString, unicode);
    const std::string text(cp1250.constData(), static_cast<std::size_t>(cp1250.size()));
    QCOMPARE(ToQString(text), unicode);
    QCOMPARE(FromQString(unicode), text);
}

void ControlsTest::TrackBarPositionByCode_data() {
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("position");
    QTest::newRow("inside") << 45 << 45;
    QTest::newRow("above the maximum") << 500 << 300;
    QTest::newRow("below the minimum") << -3 << 1;
    QTest::newRow("the same") << 300 << 300;
}

// Qt's slider reports every setValue; the track bar reports none.
void ControlsTest::TrackBarPositionByCode() {
    QFETCH(int, set);
    QFETCH(int, position);
    TQtTrackBar bar;
    bar.SetRange(1, 300);
    bar.SetPosition(300);
    QSignalSpy changed(&bar, &TQtTrackBar::Changed);
    bar.SetPosition(set);
    QCOMPARE(bar.Position(), position);
    QCOMPARE(changed.count(), 0);
}

void ControlsTest::TrackBarRangeByCodeRaisesNothing() {
    TQtTrackBar bar;
    bar.SetRange(1, 300);
    bar.SetPosition(5);
    QSignalSpy changed(&bar, &TQtTrackBar::Changed);
    bar.SetRange(10, 300);
    QCOMPARE(bar.Position(), 10);
    QCOMPARE(changed.count(), 0);
}

namespace {

// A track bar that tells where its handle is.
class ProbedTrackBar : public TQtTrackBar {
public:
    QPoint HandleCentre() {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this)
            .center();
    }
};

} // namespace

// Each way the user can move the bar raises Changed; no setter of code does, not even Qt's.
void ControlsTest::TrackBarUserMovesRaiseChange() {
    ProbedTrackBar bar;
    bar.SetRange(10, 300);
    bar.SetPosition(30);
    bar.resize(383, 31);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QSignalSpy changed(&bar, &TQtTrackBar::Changed);
    int seen = 0;
    auto movedByUser = [&](int position) {
        const bool moved = bar.Position() == position && changed.count() > seen;
        seen = changed.count();
        return moved;
    };

    QTest::keyClick(&bar, Qt::Key_Right);
    QVERIFY(movedByUser(31));
    QTest::keyClick(&bar, Qt::Key_End);
    QVERIFY(movedByUser(300));

    QWheelEvent wheel(QPointF(100, 15), bar.mapToGlobal(QPointF(100, 15)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&bar, &wheel);
    QVERIFY(movedByUser(297)); // three single steps a notch

    const QPoint handle = bar.HandleCentre();
    QTest::mousePress(&bar, Qt::LeftButton, {}, handle);
    QMouseEvent drag(QEvent::MouseMove, QPointF(0, handle.y()), bar.mapToGlobal(QPointF(0, 15)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&bar, &drag);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(0, handle.y()));
    QVERIFY(movedByUser(10));

    bar.setValue(50);
    bar.setMinimum(60);
    bar.setRange(70, 80);
    QCOMPARE(bar.Position(), 70);
    QCOMPARE(changed.count(), seen);
}

void ControlsTest::DropDownListIndex_data() {
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("index");
    QTest::newRow("first") << 0 << 0;
    QTest::newRow("last") << 2 << 2;
    QTest::newRow("past the end") << 3 << -1;
    QTest::newRow("far past the end") << 26 << -1;
    QTest::newRow("minus one") << -1 << -1;
    QTest::newRow("below minus one") << -65 << -1;
}

// Qt's combo box keeps its index when given one outside its items.
void ControlsTest::DropDownListIndex() {
    QFETCH(int, set);
    QFETCH(int, index);
    TQtDropDownList list;
    for (const char* item : {"Shift", "Ctrl", "Alt"}) {
        list.AddItem(item);
    }
    QVERIFY(!list.isEditable());
    list.SetItemIndex(1);
    list.SetItemIndex(set);
    QCOMPARE(list.ItemIndex(), index);
    QCOMPARE(list.currentText(), index < 0 ? QString() : list.itemText(index));
}

// Qt's clicked is for the user only; the check box reports every change and no non-change.
void ControlsTest::CheckBoxClicksOnEveryChange() {
    TQtCheckBox box("Launch Nimbrel on Startup");
    box.resize(171, 17);
    box.show();
    QList<bool> seen; // the state each Clicked found
    connect(&box, &TQtCheckBox::Clicked, [&] { seen << box.Checked(); });

    box.SetChecked(true);
    box.SetChecked(true);
    box.SetChecked(false);
    box.SetChecked(false);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::keyClick(&box, Qt::Key_Space);
    QCOMPARE(seen, (QList<bool>{true, false, true, false}));
}

void ControlsTest::RadioButtonsOfOneGroupBox() {
    QWidget page;
    QGroupBox wallpaper(&page);
    QGroupBox screenSaver(&page);
    TQtRadioButton fit("Fit to screen", &wallpaper);
    TQtRadioButton original("Original size", &wallpaper);
    TQtRadioButton resize("Resize to:", &wallpaper);
    TQtRadioButton otherFit("Fit to screen", &screenSaver);
    resize.setGeometry(8, 48, 75, 17);
    page.show();

    QStringList clicks;
    for (TQtRadioButton* button : {&fit, &original, &resize, &otherFit}) {
        connect(button, &TQtRadioButton::Clicked, [&clicks, button] { clicks << button->text(); });
    }
    otherFit.SetChecked(true);
    fit.SetChecked(true);
    fit.SetChecked(true); // already checked: nothing
    original.SetChecked(true);
    QTest::mouseClick(&resize, Qt::LeftButton, {}, QPoint(6, 8));
    QCOMPARE(clicks,
             (QStringList{"Fit to screen", "Fit to screen", "Original size", "Resize to:"}));
    QVERIFY(!fit.Checked() && !original.Checked() && resize.Checked());
    QVERIFY(otherFit.Checked()); // the other group box is independent

    // Code may uncheck the checked button, which Qt refuses by default; it raises nothing.
    resize.SetChecked(false);
    QVERIFY(!fit.Checked() && !original.Checked() && !resize.Checked());
    QCOMPARE(clicks.size(), 4);
}

void ControlsTest::PasswordEdit() {
    TQtPasswordEdit edit;
    const std::string password = "\xe8"
                                 "evlji";
    edit.SetText(password);
    QCOMPARE(edit.Text(), password);
    QCOMPARE(edit.displayText(), QString(6, '*'));

    const std::string longPassword(40000, 'x'); // beyond Qt's default limit of 32767
    edit.SetText(longPassword);
    QCOMPARE(edit.Text().size(), longPassword.size());
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
