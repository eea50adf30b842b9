// The event rules of the dialog's controls, each where Qt's own default differs.
#include "controls/group_box.h"
#include "controls/qt/buttons.h"
#include "controls/qt/edits.h"
#include "controls/qt/lists.h"
#include "controls/qt/text.h"
#include "controls/qt/track_bar.h"
#include "qt_pair.h"

#include <QApplication>
#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

using namespace nimbrel;
using namespace nimbrel::qt;
using test::TQtPair;

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
    TQtPair<TTrackBar, TQtTrackBar> pair;
    TTrackBar& bar = pair.control;
    bar.SetRange(1, 300);
    bar.SetPosition(300);
    int changed = 0;
    bar.OnChange = [&] { ++changed; };
    bar.SetPosition(set);
    QCOMPARE(bar.Position(), position);
    QCOMPARE(pair.window.value(), position);
    QCOMPARE(changed, 0);
}

void ControlsTest::TrackBarRangeByCodeRaisesNothing() {
    TQtPair<TTrackBar, TQtTrackBar> pair;
    TTrackBar& bar = pair.control;
    bar.SetRange(1, 300);
    bar.SetPosition(5);
    int changed = 0;
    bar.OnChange = [&] { ++changed; };
    bar.SetRange(10, 300);
    QCOMPARE(bar.Position(), 10);
    QCOMPARE(pair.window.value(), 10);
    QCOMPARE(changed, 0);
}

namespace {

// A track bar window that tells where its handle is.
class ProbedTrackBar : public TQtTrackBar {
public:
    using TQtTrackBar::TQtTrackBar;
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
    TQtPair<TTrackBar, ProbedTrackBar> pair;
    TTrackBar& control = pair.control;
    ProbedTrackBar& bar = pair.window;
    control.SetRange(10, 300);
    control.SetPosition(30);
    bar.resize(383, 31);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    int changed = 0;
    control.OnChange = [&] { ++changed; };
    int seen = 0;
    auto movedByUser = [&](int position) {
        const bool moved = control.Position() == position && changed > seen;
        seen = changed;
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

    // Setters of Qt's own raise nothing either.
    bar.setValue(50);
    bar.setMinimum(60);
    bar.setRange(70, 80);
    QCOMPARE(changed, seen);
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
    TQtPair<TDropDownList, TQtDropDownList> pair;
    TDropDownList& list = pair.control;
    for (const char* item : {"Shift", "Ctrl", "Alt"}) {
        list.AddItem(item);
    }
    QVERIFY(!pair.window.isEditable());
    list.SetItemIndex(1);
    list.SetItemIndex(set);
    QCOMPARE(list.ItemIndex(), index);
    QCOMPARE(pair.window.currentText(), index < 0 ? QString() : pair.window.itemText(index));
}

// Qt's clicked is for the user only; the check box reports every change and no non-change.
void ControlsTest::CheckBoxClicksOnEveryChange() {
    TQtPair<TCheckBox, TQtCheckBox> pair("AutoLoad");
    TCheckBox& box = pair.control;
    box.SetCaption("Launch Nimbrel on Startup");
    pair.window.resize(171, 17);
    pair.window.show();
    QList<bool> seen; // the state each click found
    box.OnClick = [&] { seen << box.Checked(); };

    box.SetChecked(true);
    box.SetChecked(true);
    box.SetChecked(false);
    box.SetChecked(false);
    QTest::mouseClick(&pair.window, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::keyClick(&pair.window, Qt::Key_Space);
    QCOMPARE(seen, (QList<bool>{true, false, true, false}));
}

void ControlsTest::RadioButtonsOfOneGroupBox() {
    QWidget page;
    QGroupBox wallpaperBox(&page);
    QGroupBox screenSaverBox(&page);
    TGroupBox wallpaper("GroupBox3");
    TGroupBox screenSaver("GroupBox2");
    using Radio = TQtPair<TRadioButton, TQtRadioButton>;
    Radio fitPair("WMFit", &wallpaperBox);
    Radio originalPair("WMOrg", &wallpaperBox);
    Radio resizePair("WMRes", &wallpaperBox);
    Radio otherFitPair("SSFit", &screenSaverBox);
    TRadioButton& fit = fitPair.control;
    TRadioButton& original = originalPair.control;
    TRadioButton& resize = resizePair.control;
    TRadioButton& otherFit = otherFitPair.control;
    for (Radio* radio : {&fitPair, &originalPair, &resizePair})
        radio->control.SetParent(&wallpaper);
    otherFit.SetParent(&screenSaver);
    fit.SetCaption("Fit to screen");
    original.SetCaption("Original size");
    resize.SetCaption("Resize to:");
    otherFit.SetCaption("Fit to screen");
    resizePair.window.setGeometry(8, 48, 75, 17);
    page.show();

    QStringList clicks;
    for (TRadioButton* button : {&fit, &original, &resize, &otherFit}) {
        button->OnClick = [&clicks, button] {
            clicks << QString::fromStdString(button->Caption());
        };
    }
    otherFit.SetChecked(true);
    fit.SetChecked(true);
    fit.SetChecked(true); // already checked: nothing
    original.SetChecked(true);
    QTest::mouseClick(&resizePair.window, Qt::LeftButton, {}, QPoint(6, 8));
    QCOMPARE(clicks,
             (QStringList{"Fit to screen", "Fit to screen", "Original size", "Resize to:"}));
    QVERIFY(!fit.Checked() && !original.Checked() && resize.Checked());
    QVERIFY(otherFit.Checked()); // the other group box is independent

    // Code may uncheck the checked button, which Qt refuses by default; it raises nothing.
    resize.SetChecked(false);
    QVERIFY(!fit.Checked() && !original.Checked() && !resize.Checked());
    QVERIFY(!resizePair.window.isChecked());
    QCOMPARE(clicks.size(), 4);
}

void ControlsTest::PasswordEdit() {
    TQtPair<TPasswordEdit, TQtPasswordEdit> pair("AKPassword");
    TPasswordEdit& edit = pair.control;
    const std::string password = "\xe8"
                                 "evlji";
    edit.SetText(password);
    QCOMPARE(edit.Text(), password);
    QCOMPARE(pair.window.displayText(), QString(6, '*'));

    const std::string longPassword(40000, 'x'); // beyond Qt's default limit of 32767
    edit.SetText(longPassword);
    QCOMPARE(FromQString(pair.window.text()).size(), longPassword.size());
}

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"
