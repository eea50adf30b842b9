#pragma once
// The text entry field: selects its whole text when it gains focus, maps the national
// letters of the 7-bit and DOS code sets to their Windows letters, upper-cases its text
// when focus leaves and then tells its owner through OnCorrect.
//
// Events are std::function members, raised with the field as Sender. Characters are
// code page 1250 bytes: Qt's Unicode characters are mapped to 1250 before the field's
// handling sees them and back when the edit receives them.
#include "controls/virtual_keys.h"

#include <QLineEdit>

#include <functional>
#include <string>
#include <string_view>

class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;

namespace nimbrel {

// When set, Up and Down in an entry field move the focus to the previous or next control
// and Enter to the next one. Nothing in the program sets it, so those keys reach the edit.
extern bool KeyNavigation;

using TValidateEvent = std::function<void(QObject* Sender, bool& IsValid)>;

class TQtGetString : public QLineEdit {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    // `Key` is the virtual key code; setting it to 0 consumes the key.
    using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
    // `Key` is the 1250 character; setting it to 0 consumes it.
    using TKeyPressEvent = std::function<void(QObject* Sender, char& Key)>;

    explicit TQtGetString(QWidget* parent = nullptr);

    // Kept for the owner's use; no behaviour of the field reads it.
    bool AllowEmpty() const { return allowEmpty_; }
    void SetAllowEmpty(bool allow) { allowEmpty_ = allow; }
    // Upper-case the text when focus leaves.
    bool UpperCase() const { return upperCase_; }
    void SetUpperCase(bool upper) { upperCase_ = upper; }
    // The validity query; the field itself has no rule, so it answers true.
    virtual bool IsValid() const { return true; }

    // The text in code page 1250.
    std::string Text() const;
    void SetText(std::string_view cp1250);

    TNotifyEvent OnEnter;      // focus came into the field (before the text is selected)
    TNotifyEvent OnExit;       // focus left the field (before the upper-casing)
    TKeyEvent OnKeyDown;       // a key that the field did not consume
    TKeyPressEvent OnKeyPress; // a character, as typed
    TValidateEvent OnValidate; // kept for the owner's use; the field never raises it
    TNotifyEvent OnCorrect;    // raised on every loss of focus, after the upper-casing

protected:
    // The steps of the field, in the order the owner sees them; a derived field extends them.
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual void KeyPress(char& key);

    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void MoveFocus(bool next);
    // Lets the edit act on a character that the field's handling passed through.
    void DeliverCharacter(char original, char key, QKeyEvent* event);

    bool allowEmpty_ = true;
    bool upperCase_ = true;
    bool entered_ = false; // the dialog's focus is in the field
};

} // namespace nimbrel
