#include "controls/qt/edits.h"

#include "controls/error_report.h"
#include "controls/qt/key_translation.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QProxyStyle>

#include <limits>

namespace nimbrel::qt {
namespace {

// The mask character is a style hint that many styles answer with a bullet.
class StarMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Popups (the context menu) and switching windows move Qt's focus but not the focus
// among the dialog's controls, so they neither enter nor leave a field.
bool LeavesDialogFocus(const QFocusEvent& event) {
    return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    return shift;
}

} // namespace

TQtPasswordEdit::TQtPasswordEdit(TPasswordEdit& control, QWidget* parent) : TQtPeer(parent) {
    auto* style = new StarMaskStyle;
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this,
            [&control](const QString& text) { control.UserEdit(FromQString(text)); });
}

TQtEntryField::TQtEntryField(TGetString& control, QWidget* parent)
    : TQtPeer(parent), control_(control) {
    connect(this, &QLineEdit::textChanged, this, [this] { ReportText(); });
}

void TQtEntryField::ReportText() {
    control_.UserEdit(FromQString(text()));
}

void TQtEntryField::MoveFocus(bool next) {
    if (!isWindow())
        focusNextPrevChild(next);
}

void TQtEntryField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    RunReported([this] { control_.FocusEnter(); });
}

void TQtEntryField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (LeavesDialogFocus(*event))
        RunReported([this] { control_.FocusExit(); });
}

void TQtEntryField::keyPressEvent(QKeyEvent* event) {
    const int virtualKey = VirtualKeyOf(*event);
    const int key =
        virtualKey != 0 ? control_.UserKeyDown(virtualKey, ShiftOf(event->modifiers())) : 0;
    const std::optional<char> character = CharacterOf(*event);
    if (!character) {
        if (virtualKey != 0 && key == 0)
            event->accept();
        else
            QLineEdit::keyPressEvent(event);
        ReportText();
        return;
    }
    // As on Windows, consuming the key-down does not stop its character.
    const char c = control_.UserKeyPress(*character);
    DeliverCharacter(*character, c, event);
    ReportText();
}

void TQtEntryField::DeliverCharacter(char original, char key, QKeyEvent* event) {
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
        if (!isReadOnly())
            insert(QString(ToQChar(key)));
        return;
    }
    if (const std::optional<KeyStroke> stroke = KeyStrokeOfControlCharacter(key)) {
        QKeyEvent substitute(QEvent::KeyPress, stroke->key, stroke->modifiers,
                             QString(QChar(static_cast<char16_t>(key))));
        QLineEdit::keyPressEvent(&substitute);
    }
}

// Text composed by an input method arrives here instead of as key events.
void TQtEntryField::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty() || !event->preeditString().isEmpty() ||
        event->replacementLength() != 0) {
        QLineEdit::inputMethodEvent(event);
        ReportText();
        return;
    }
    for (QChar typed : event->commitString()) {
        const char c = control_.UserKeyPress(FromQChar(typed));
        if (c != 0 && !IsControlCharacter(c) && !isReadOnly())
            insert(QString(ToQChar(c)));
    }
    event->accept();
    ReportText();
}

} // namespace nimbrel::qt
