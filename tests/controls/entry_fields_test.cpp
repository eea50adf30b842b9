// The text and number entry fields, driven by real focus changes and key events.
#include "controls/get_number.h"
#include "controls/qt/edits.h"
#include "controls/qt/text.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace nimbrel;
using namespace nimbrel::qt;

namespace {

// A field's control and its Qt window, paired as the dialog's builder pairs them.
template <class Control> struct Field {
    Control control;
    qt::TQtEntryField* edit;
    Field(const char* name, QWidget* parent)
        : control(name), edit(new qt::TQtEntryField(control, parent)) {
        control.AttachPeer(edit);
    }
    ~Field() { control.DetachPeer(); }
};

// A window with a field between two plain edits, so that focus can come and go.
struct Form {
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    Field<TGetNumber> number{"number", &window};
    Field<TGetString> text{"text", &window};
    QLineEdit* after = new QLineEdit(&window);

    Form() {
        QWidget::setTabOrder(before, number.edit);
        QWidget::setTabOrder(number.edit, text.edit);
        QWidget::setTabOrder(text.edit, after);
        window.show();
        window.activateWindow();
    }
};

// Types keys into the focused widget. '\x7f' is Delete, 1..26 are Ctrl+letter; other
// characters are typed as they are (characters beyond ASCII as an unknown key with text).
void Type(QWidget* widget, const QString& keys) {
    for (QChar c : keys) {
        const char16_t code = c.unicode();
        if (code == 0x7f) {
            QTest::keyClick(widget, Qt::Key_Delete);
        } else if (code == '\b') {
            QTest::keyClick(widget, Qt::Key_Backspace);
        } else if (code == '\r') {
            QTest::keyClick(widget, Qt::Key_Return);
        } else if (code >= 1 && code <= 26) {
            QTest::keyClick(widget, Qt::Key(Qt::Key_A + code - 1), Qt::ControlModifier);
        } else if (code < 128) {
            QTest::keyClick(widget, static_cast<char>(code));
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &release);
        }
    }
}

QString Cp(const char* cp1250) {
    return ToQString(cp1250);
}

} // namespace

class EntryFieldsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void NumberKeys_data();
    void NumberKeys();
    void NumberStartsWithDefaultPicture();
    void WritingValueShowsAndTakesTheSign();
    void EnteringKeepsTheValueForOnEnter();
    void ClipboardKeysAreSwallowed();
    void PasteChangesOnlyTheText();

    void TextCharacters_data();
    void TextCharacters();
    void KeyPressSeesTheTypedCharacter();
    void UpperCasesWhenFocusLeaves_data();
    void UpperCasesWhenFocusLeaves();
    void LeavingRaisesExitThenCorrect();
    void PopupsAndWindowSwitchesNeitherEnterNorLeave();
    void EnteringSelectsTheWholeText();
    void ComposedTextTakesTheCharacterPath();
    void NavigationKeys_data();
    void NavigationKeys();

private:
    std::unique_ptr<Form> form_;
};

void EntryFieldsTest::init() {
    form_ = std::make_unique<Form>();
    QVERIFY(QTest::qWaitForWindowActive(&form_->window));
    form_->before->setFocus(Qt::TabFocusReason);
}

void EntryFieldsTest::cleanup() {
    form_.reset();
    KeyNavigation = false;
}

// Each key: the text it leaves. The value and sign are checked at the end.
void EntryFieldsTest::NumberKeys_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<double>("initial");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("negative");

    const QString standard = "####,###,##0.00";
    QTest::newRow("first digit replaces")
        << standard << 1234.5 << "7" << QStringList{"7.00"} << 7.0 << false;
    QTest::newRow("calculator entry")
        << standard << 0.0 << "12.5" << QStringList{"1.00", "12.00", "12.00", "12.50"} << 12.5
        << false;
    QTest::newRow("comma is the decimal point")
        << standard << 0.0 << "4,25" << QStringList{"4.00", "4.00", "4.20", "4.25"} << 4.25
        << false;
    QTest::newRow("minus starts a negative number")
        << standard << 8.0 << "-3" << QStringList{"0.00", "-3.00"} << -3.0 << true;
    QTest::newRow("plus clears the sign")
        << standard << 0.0 << "-3+" << QStringList{"0.00", "-3.00", "0.00"} << 0.0 << false;
    QTest::newRow("minus alone") << standard << 6.0 << "-" << QStringList{"0.00"} << 0.0 << true;
    QTest::newRow("minus alone under #") << "####" << 6.0 << "-" << QStringList{""} << 0.0 << true;
    QTest::newRow("negative integer under #")
        << "####" << 0.0 << "-12" << QStringList{"", "-1", "-12"} << -12.0 << true;
    QTest::newRow("minus does not flip the shown number")
        << standard << 0.0 << "5-" << QStringList{"5.00", "0.00"} << 0.0 << true;
    QTest::newRow("zero digit loses the negative zero")
        << "####" << 0.0 << "-05" << QStringList{"", "", "5"} << 5.0 << false;
    QTest::newRow("1024 under #") << "####" << 0.0 << "1024"
                                  << QStringList{"1", "10", "102", "1024"} << 1024.0 << false;
    QTest::newRow("fraction kept, shown rounded")
        << "####" << 0.0 << "3.7" << QStringList{"3", "3", "4"} << 3.7 << false;
    QTest::newRow("second point restarts the fraction")
        << standard << 0.0 << "1.5.7" << QStringList{"1.00", "1.00", "1.50", "1.00", "1.70"} << 1.7
        << false;
    QTest::newRow("delete clears")
        << standard << 55.0 << "\x7f" << QStringList{"0.00"} << 0.0 << false;
    QTest::newRow("delete clears a negative")
        << standard << 0.0 << "-4\x7f" << QStringList{"0.00", "-4.00", "0.00"} << 0.0 << false;
    QTest::newRow("backspace clears the whole number")
        << standard << 0.0 << "42\b" << QStringList{"4.00", "42.00", "0.00"} << 0.0 << false;
    QTest::newRow("letters are swallowed and end the fresh entry")
        << standard << 5.0 << "a x2" << QStringList{"5.00", "5.00", "5.00", "52.00"} << 52.0
        << false;
    QTest::newRow("enter is swallowed")
        << standard << 5.0 << "\r3" << QStringList{"5.00", "53.00"} << 53.0 << false;
    QTest::newRow("delete keeps the fresh entry") << standard << 5.0
                                                  << "\x7f"
                                                     "9"
                                                  << QStringList{"0.00", "9.00"} << 9.0 << false;
}

void EntryFieldsTest::NumberKeys() {
    QFETCH(QString, picture);
    QFETCH(double, initial);
    QFETCH(QString, keys);
    QFETCH(QStringList, texts);
    QFETCH(double, value);
    QFETCH(bool, negative);

    TGetNumber* field = &form_->number.control;
    QLineEdit* edit = form_->number.edit;
    field->SetPicture(picture.toStdString());
    field->SetValue(initial);
    edit->setFocus(Qt::TabFocusReason);
    QVERIFY(field->FreshEntry());

    QStringList shown;
    for (QChar key : keys) {
        Type(edit, QString(key));
        shown << edit->text();
    }
    QCOMPARE(shown, texts);
    QVERIFY(std::fabs(field->Value() - static_cast<long double>(value)) < 1e-12L);
    QCOMPARE(field->Negative(), negative);
    // Every character ends the fresh entry; the Delete key alone does not.
    QCOMPARE(field->FreshEntry(), keys.count(QChar(0x7f)) == keys.size());
}

void EntryFieldsTest::NumberStartsWithDefaultPicture() {
    Field<TGetNumber> number("number", nullptr);
    const TGetNumber& field = number.control;
    QCOMPARE(field.Picture(), std::string("####,###,##0.00"));
    QCOMPARE(field.Value(), 0.0L);
    QCOMPARE(number.edit->text(), QString()); // creation writes no text
    QVERIFY(field.UpperCase());
    QVERIFY(field.AllowEmpty());
    QVERIFY(field.IsValid());
    delete number.edit;
}

void EntryFieldsTest::WritingValueShowsAndTakesTheSign() {
    TGetNumber* field = &form_->number.control;
    QLineEdit* edit = form_->number.edit;
    field->SetValue(-2.5L);
    QCOMPARE(edit->text(), QString("-2.50"));
    QVERIFY(field->Negative());
    QCOMPARE(field->Value(), -2.5L);
    QCOMPARE(field->Magnitude(), 2.5L);

    edit->setFocus(Qt::TabFocusReason);
    Type(edit, "-");
    QVERIFY(field->Negative());
    field->SetValue(-0.0L); // writing a negative zero clears the sign
    QVERIFY(!field->Negative());
    QCOMPARE(edit->text(), QString("0.00"));
}

// A handler of OnEnter may write Value and still get a fresh entry from it.
void EntryFieldsTest::EnteringKeepsTheValueForOnEnter() {
    TGetNumber* field = &form_->number.control;
    QLineEdit* edit = form_->number.edit;
    field->SetPicture("####");
    field->SetValue(12);
    int entered = 0;
    field->OnEnter = [&](TControl* sender) {
        QCOMPARE(sender, static_cast<TControl*>(field));
        QCOMPARE(field->Value(), 12.0L);
        field->SetValue(99);
        ++entered;
    };
    edit->setFocus(Qt::TabFocusReason);
    QCOMPARE(entered, 1);
    QCOMPARE(edit->text(), QString("99"));
    QVERIFY(edit->hasSelectedText());
    QCOMPARE(field->DecimalPlace(), 0);
    Type(edit, "5");
    QCOMPARE(edit->text(), QString("5"));
}

void EntryFieldsTest::ClipboardKeysAreSwallowed() {
    TGetNumber* field = &form_->number.control;
    QLineEdit* edit = form_->number.edit;
    field->SetValue(5);
    edit->setFocus(Qt::TabFocusReason);
    QApplication::clipboard()->setText("999");
    edit->selectAll();

    Type(edit, "\x03\x16\x18"); // Ctrl+C, Ctrl+V, Ctrl+X
    QCOMPARE(edit->text(), QString("5.00"));
    QCOMPARE(QApplication::clipboard()->text(), QString("999"));
    QCOMPARE(field->Value(), 5.0L);
    Type(edit, "1"); // no longer a fresh entry
    QCOMPARE(edit->text(), QString("51.00"));

    // A text field lets the edit copy and paste.
    form_->text.edit->setFocus(Qt::TabFocusReason);
    Type(form_->text.edit, "\x16");
    QCOMPARE(form_->text.edit->text(), QString("999"));
}

void EntryFieldsTest::PasteChangesOnlyTheText() {
    TGetNumber* field = &form_->number.control;
    QLineEdit* edit = form_->number.edit;
    field->SetValue(7);
    edit->setFocus(Qt::TabFocusReason);
    QApplication::clipboard()->setText("42");
    edit->setCursorPosition(0);

    std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    const QList<QAction*> actions = menu->actions();
    const auto paste = std::find_if(actions.begin(), actions.end(), [](QAction* action) {
        return action->text().startsWith("&Paste");
    });
    QVERIFY(paste != actions.end());
    (*paste)->trigger();
    QCOMPARE(edit->text(), QString("427.00"));
    QCOMPARE(field->Value(), 7.0L);

    Type(edit, "x"); // the next key shows the value again
    QCOMPARE(edit->text(), QString("7.00"));
}

void EntryFieldsTest::TextCharacters_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("7-bit national letters") << "[{^~@`" << Cp("\x8a\x9a\xc8\xe8\x8e\x9e");
    QTest::newRow("DOS Latin-2 positions")
        << Cp("\x9f\xa6\xa7\xac\xe6\xe7") << Cp("\xe8\x8e\x9e\xc8\x8a\x9a");
    QTest::newRow("Windows c acute arrives as S caron") << Cp("\xe6") << Cp("\x8a");
    QTest::newRow("others unchanged") << "\\]|}a1"
                                      << "\\]|}a1";
    QTest::newRow("backspace edits") << "ab\bc"
                                     << "ac";
}

void EntryFieldsTest::TextCharacters() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QLineEdit* edit = form_->text.edit;
    edit->setFocus(Qt::TabFocusReason);
    Type(edit, typed);
    QCOMPARE(edit->text(), shown);
}

void EntryFieldsTest::KeyPressSeesTheTypedCharacter() {
    TGetString* field = &form_->text.control;
    QLineEdit* edit = form_->text.edit;
    std::string seen;
    int deletes = 0;
    field->OnKeyPress = [&](TControl*, char& key) {
        seen.push_back(key);
        if (key == 'q') {
            key = 0; // a handler may consume a character
        }
    };
    field->OnKeyDown = [&](TControl*, int& key, TShiftState) { deletes += key == VkDelete; };
    edit->setFocus(Qt::TabFocusReason);
    Type(edit, "[qa");
    QCOMPARE(seen, std::string("[qa"));
    QCOMPARE(edit->text(), Cp("\x8a"
                              "a"));
    edit->setCursorPosition(0);
    Type(edit, "\x7f");
    QCOMPARE(deletes, 1);
    QCOMPARE(edit->text(), QString("a"));
}

void EntryFieldsTest::UpperCasesWhenFocusLeaves_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("upperCase");
    QTest::addColumn<QString>("shown");
    QTest::newRow("national letters") << Cp("\xe8"
                                            "evlji")
                                      << true
                                      << Cp("\xc8"
                                            "EVLJI");
    QTest::newRow("c acute stays") << Cp("\xe6"
                                         "ao")
                                   << true
                                   << Cp("\xe6"
                                         "AO");
    QTest::newRow("switched off") << "abc" << false << "abc";
}

void EntryFieldsTest::UpperCasesWhenFocusLeaves() {
    QFETCH(QString, typed);
    QFETCH(bool, upperCase);
    QFETCH(QString, shown);
    TGetString* field = &form_->text.control;
    QLineEdit* edit = form_->text.edit;
    field->SetUpperCase(upperCase);
    edit->setText(typed);
    edit->setFocus(Qt::TabFocusReason);
    form_->after->setFocus(Qt::TabFocusReason);
    QCOMPARE(edit->text(), shown);
}

void EntryFieldsTest::LeavingRaisesExitThenCorrect() {
    TGetString* field = &form_->text.control;
    QLineEdit* edit = form_->text.edit;
    QStringList events;
    field->OnEnter = [&](TControl*) { events << "enter"; };
    field->OnExit = [&](TControl*) { events << "exit " + edit->text(); };
    field->OnCorrect = [&](TControl* sender) {
        QCOMPARE(sender, static_cast<TControl*>(field));
        events << "correct " + edit->text();
    };
    edit->setText("ab");
    edit->setFocus(Qt::TabFocusReason);
    form_->after->setFocus(Qt::TabFocusReason);
    edit->setFocus(Qt::MouseFocusReason);
    form_->before->setFocus(Qt::MouseFocusReason); // unchanged text still raises both
    QCOMPARE(events,
             (QStringList{"enter", "exit ab", "correct AB", "enter", "exit AB", "correct AB"}));
}

void EntryFieldsTest::PopupsAndWindowSwitchesNeitherEnterNorLeave() {
    TGetNumber* field = &form_->number.control;
    QLineEdit* edit = form_->number.edit;
    int entered = 0;
    int corrected = 0;
    field->OnEnter = [&](TControl*) { ++entered; };
    field->OnCorrect = [&](TControl*) { ++corrected; };
    field->SetValue(3);
    edit->setFocus(Qt::TabFocusReason);
    Type(edit, "1");

    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(edit, &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QApplication::sendEvent(edit, &in);
    }
    QCOMPARE(entered, 1);
    QCOMPARE(corrected, 0);
    Type(edit, "2"); // still the same entry, not a fresh one
    QCOMPARE(edit->text(), QString("12.00"));
}

// Qt selects the text only when focus comes by the keyboard.
void EntryFieldsTest::EnteringSelectsTheWholeText() {
    for (QLineEdit* edit : {form_->number.edit, form_->text.edit}) {
        edit->setText("1,234.50");
        edit->setFocus(Qt::OtherFocusReason);
        QCOMPARE(edit->selectedText(), QString("1,234.50"));
        form_->before->setFocus(Qt::OtherFocusReason);
    }
}

void EntryFieldsTest::ComposedTextTakesTheCharacterPath() {
    form_->text.edit->setFocus(Qt::TabFocusReason);
    QInputMethodEvent composedText;
    composedText.setCommitString("[a");
    QApplication::sendEvent(form_->text.edit, &composedText);
    QCOMPARE(form_->text.edit->text(), Cp("\x8a"
                                          "a"));

    form_->number.control.SetValue(4);
    form_->number.edit->setFocus(Qt::TabFocusReason);
    QInputMethodEvent composedNumber;
    composedNumber.setCommitString("7x");
    QApplication::sendEvent(form_->number.edit, &composedNumber);
    QCOMPARE(form_->number.edit->text(), QString("7.00"));
    QCOMPARE(form_->number.control.Value(), 7.0L);
}

void EntryFieldsTest::NavigationKeys_data() {
    QTest::addColumn<bool>("navigation");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focused"); // object name of the widget that has focus after
    QTest::addColumn<int>("returns");     // returnPressed signals of the field

    QTest::newRow("enter reaches the edit") << false << int(Qt::Key_Return) << "text" << 1;
    QTest::newRow("up reaches the edit") << false << int(Qt::Key_Up) << "text" << 0;
    QTest::newRow("down reaches the edit") << false << int(Qt::Key_Down) << "text" << 0;
    QTest::newRow("navigating enter") << true << int(Qt::Key_Return) << "after" << 0;
    QTest::newRow("navigating up") << true << int(Qt::Key_Up) << "number" << 0;
    QTest::newRow("navigating down") << true << int(Qt::Key_Down) << "after" << 0;
}

void EntryFieldsTest::NavigationKeys() {
    QFETCH(bool, navigation);
    QFETCH(int, key);
    QFETCH(QString, focused);
    QFETCH(int, returns);
    form_->number.edit->setObjectName("number");
    form_->text.edit->setObjectName("text");
    form_->after->setObjectName("after");

    KeyNavigation = navigation;
    QLineEdit* edit = form_->text.edit;
    QSignalSpy returnSpy(edit, &QLineEdit::returnPressed);
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(edit, Qt::Key(key));
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    QCOMPARE(returnSpy.count(), returns);
}

QTEST_MAIN(EntryFieldsTest)
#include "entry_fields_test.moc"
