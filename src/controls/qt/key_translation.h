#pragma once
// Qt's key events seen the Windows way: a virtual key code for the key-down and a code
// page 1250 character, as the message loop would translate the key.
#include <QKeyEvent>

#include <optional>

namespace nimbrel::qt {

// 0 for a key that has no code of interest.
int VirtualKeyOf(const QKeyEvent& event);
// The character the key types: control characters for Backspace (8), Enter (13), Esc
// (27) and Ctrl+letter (1..26); nothing for keys that type none (arrows, Delete, Alt+key).
std::optional<char> CharacterOf(const QKeyEvent& event);
bool IsControlCharacter(char c);
// The key that makes a control character, for the edit's own handling of it.
struct KeyStroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};
std::optional<KeyStroke> KeyStrokeOfControlCharacter(char c);

} // namespace nimbrel::qt
