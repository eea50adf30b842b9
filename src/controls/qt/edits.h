#pragma once
// The Qt windows of the password edit and of the entry fields (TGetString, TGetNumber).
#include "controls/get_string.h"
#include "controls/password_edit.h"
#include "controls/qt/peer.h"

#include <QLineEdit>

class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;

namespace nimbrel::qt {

class TQtPasswordEdit : public TQtPeer<QLineEdit, TEditPeer> {
public:
    TQtPasswordEdit(TPasswordEdit& control, QWidget* parent);
    void ShowText(std::string_view text) override { setText(ToQString(text)); }
};

// Qt folds the key-down and the character of a key into one event; the field sees them
// apart, as the key's virtual code and then its 1250 character.
class TQtEntryField : public TQtPeer<QLineEdit, TEntryFieldPeer> {
public:
    TQtEntryField(TGetString& control, QWidget* parent);

    void ShowText(std::string_view text) override { setText(ToQString(text)); }
    void SelectAll() override { selectAll(); }
    void MoveFocus(bool next) override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Lets the edit act on a character that the field's handling passed through.
    void DeliverCharacter(char original, char key, QKeyEvent* event);
    void ReportText();

    TGetString& control_;
};

} // namespace nimbrel::qt
