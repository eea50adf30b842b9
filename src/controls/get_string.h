#pragma once
// The text entry field: selects its whole text when it gains focus, maps the national
// letters of the 7-bit and DOS code sets to their Windows letters, upper-cases its text
// when focus leaves and then tells its owner through OnCorrect.
//
// The toolkit's edit does the editing; the field sees every key first, as the key's
// virtual code (key-down) and then its code page 1250 character, and may consume or
// replace them.
#include "controls/password_edit.h"
#include "controls/virtual_keys.h"

#include <functional>
#include <string>
#include <string_view>

namespace nimbrel {

// When set, Up and Down in an entry field move the focus to the previous or next control
// and Enter to the next one. Nothing in the program sets it, so those keys reach the edit.
extern bool KeyNavigation;

class TEntryFieldPeer : public TEditPeer {
public:
    virtual void SelectAll() = 0;
    // Moves the dialog's focus to the next (or previous) control of the tab order.
    virtual void MoveFocus(bool next) = 0;
};

class TGetString : public TControl {
public:
    using TNotifyEvent = std::function<void(TControl* Sender)>;
    // `Key` is the virtual key code; setting it to 0 consumes the key.
    using TKeyEvent = std::function<void(TControl* Sender, int& Key, TShiftState Shift)>;
    // `Key` is the 1250 character; setting it to 0 consumes it.
    using TKeyPressEvent = std::function<void(TControl* Sender, char& Key)>;
    using TValidateEvent = std::function<void(TControl* Sender, bool& IsValid)>;

    using TControl::TControl;

    // Kept for the owner's use; no behaviour of the field reads it.
    bool AllowEmpty() const { return allowEmpty_; }
    void SetAllowEmpty(bool allow) { allowEmpty_ = allow; }
    // Upper-case the text when focus leaves.
    bool UpperCase() const { return upperCase_; }
    void SetUpperCase(bool upper) { upperCase_ = upper; }
    // The validity query; the field itself has no rule, so it answers true.
    virtual bool IsValid() const { return true; }

    // The text in code page 1250.
    const std::string& Text() const { return text_; }
    void SetText(std::string_view text);
    void SelectAll();

    TNotifyEvent OnEnter;      // focus came into the field (before the text is selected)
    TNotifyEvent OnExit;       // focus left the field (before the upper-casing)
    TKeyEvent OnKeyDown;       // a key that the field did not consume
    TKeyPressEvent OnKeyPress; // a character, as typed
    TValidateEvent OnValidate; // kept for the owner's use; the field never raises it
    TNotifyEvent OnCorrect;    // raised on every loss of focus, after the upper-casing

    // For the frontend. The dialog's focus came into the field or left it (a pop-up menu
    // or another window taking the toolkit's focus is neither).
    void FocusEnter();
    void FocusExit();
    // A key went down: returns the key to let the edit act on, 0 when consumed. As on
    // Windows, consuming the key-down does not stop its character.
    int UserKeyDown(int key, TShiftState shift);
    // A character was typed: returns the character for the edit to act on (0: consumed).
    char UserKeyPress(char key);
    // The edit's text after the user's editing.
    void UserEdit(std::string_view text) { text_ = text; }

protected:
    // The steps of the field, in the order the owner sees them; a derived field extends them.
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyPress(char& key);

    void ShowState() override;

private:
    void MoveFocus(bool next);

    std::string text_;
    bool allowEmpty_ = true;
    bool upperCase_ = true;
    bool entered_ = false; // the dialog's focus is in the field
};

} // namespace nimbrel
