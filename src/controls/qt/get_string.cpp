#include "controls/qt/get_string.h"

#include "controls/qt/key_translation.h"
#include "controls/qt/text.h"
#include "sysutil/text_routines.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace nimbrel {

namespace {

// Popups (the context menu) and switching windows move Qt's focus but not the focus
// among the dialog's controls, so they neither enter nor leave a field.
bool LeavesDialogFocus(const QFocusEvent& event) {
    return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;
}

} // namespace

TQtGetString::TQtGetString(QWidget* parent) : QLineEdit(parent) {}

std::string TQtGetString::Text() const {
    return FromQString(text());
}

void TQtGetString::SetText(std::string_view cp1250) {
    setText(ToQString(cp1250));
}

void TQtGetString::DoEnter() {
    if (OnEnter) {
        OnEnter(this);
    }
    selectAll();
}

void TQtGetString::DoExit() {
    if (OnExit) {
        OnExit(this);
    }
    if (upperCase_) {
        const std::string text = Text();
        const std::string upper = UpperText(text);
        if (upper != text) {
            SetText(upper);
        }
    }
    if (OnCorrect) {
        OnCorrect(this);
    }
}

void TQtGetString::KeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (KeyNavigation && (key == VkUp || key == VkDown)) {
        MoveFocus(key == VkDown);
        key = 0;
    }
    if (key != 0 && OnKeyDown) {
        OnKeyDown(this, key, shift);
    }
}

void TQtGetString::KeyPress(char& key) {
    if (KeyNavigation && key == '\r') {
        MoveFocus(true);
        key = 0;
    }
    if (key != 0 && OnKeyPress) {
        OnKeyPress(this, key);
    }
    MapNationalChar(key);
}

void TQtGetString::MoveFocus(bool next) {
    if (!isWindow()) {
        focusNextPrevChild(next);
    }
}

void TQtGetString::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!entered_) {
        entered_ = true;
        DoEnter();
    }
}

void TQtGetString::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (entered_ && LeavesDialogFocus(*event)) {
        entered_ = false;
        DoExit();
    }
}

// Qt folds the key-down and the character of a key into one event; the field sees them
// apart, as the key's virtual code and then its 1250 character.
void TQtGetString::keyPressEvent(QKeyEvent* event) {
    const int virtualKey = VirtualKeyOf(*event);
    int key = virtualKey;
    if (key != 0) {
        KeyDown(key, event->modifiers());
    }
    const std::optional<char> character = CharacterOf(*event);
    if (!character) {
        if (virtualKey != 0 && key == 0) {
            event->accept();
        } else {
            QLineEdit::keyPressEvent(event);
        }
        return;
    }
    // As on Windows, consuming the key-down does not stop its character.
    char c = *character;
    KeyPress(c);
    DeliverCharacter(*character, c, event);
}

void TQtGetString::DeliverCharacter(char original, char key, QKeyEvent* event) {
    if (key == 0) {
        event->accept();
        return;
    }
    if (key == original) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!IsControlCharacter(key)) {
        if (!isReadOnly()) {
            insert(QString(ToQChar(key)));
        }
        return;
    }
    if (const std::optional<KeyStroke> stroke = KeyStrokeOfControlCharacter(key)) {
        QKeyEvent substitute(QEvent::KeyPress, stroke->key, stroke->modifiers,
                             QString(QChar(static_cast<char16_t>(key))));
        QLineEdit::keyPressEvent(&substitute);
    }
}

// Text composed by an input method arrives here instead of as key events.
void TQtGetString::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty() || !event->preeditString().isEmpty() ||
        event->replacementLength() != 0) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    for (QChar typed : event->commitString()) {
        char c = FromQChar(typed);
        KeyPress(c);
        if (c != 0 && !IsControlCharacter(c) && !isReadOnly()) {
            insert(QString(ToQChar(c)));
        }
    }
    event->accept();
}

} // namespace nimbrel
