#include "controls/qt/key_translation.h"

#include "controls/qt/text.h"

#include <array>

namespace nimbrel {
namespace {

struct KeyCode {
    int qtKey;
    int virtualKey;
};

constexpr std::array<KeyCode, 20> keyCodes{{
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},     {Qt::Key_Backtab, 9},  {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},  {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},    {Qt::Key_Escape, 27}, {Qt::Key_Space, 32},   {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},    {Qt::Key_Home, 36},    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},       {Qt::Key_Right, 39},  {Qt::Key_Down, 40},    {Qt::Key_Insert, 45},
}};

constexpr std::array<KeyStroke, 8> controlStrokes{{
    {Qt::Key_A, Qt::ControlModifier},
    {Qt::Key_Backspace, Qt::NoModifier},
    {Qt::Key_C, Qt::ControlModifier},
    {Qt::Key_Return, Qt::NoModifier},
    {Qt::Key_V, Qt::ControlModifier},
    {Qt::Key_X, Qt::ControlModifier},
    {Qt::Key_Z, Qt::ControlModifier},
    {Qt::Key_Escape, Qt::NoModifier},
}};
constexpr std::array<char, 8> controlCharacters{1, 8, 3, 13, 22, 24, 26, 27};

} // namespace

int VirtualKeyOf(const QKeyEvent& event) {
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return key; // letters and digits share their codes
    }
    if (key == Qt::Key_Delete) {
        return 46;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return 112 + (key - Qt::Key_F1);
    }
    for (const KeyCode& code : keyCodes) {
        if (code.qtKey == key) {
            return code.virtualKey;
        }
    }
    return 0;
}

std::optional<char> CharacterOf(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Backspace:
        // As on Windows, Ctrl+Backspace types DEL, which no field takes as an edit.
        return (event.modifiers() & Qt::ControlModifier) ? '\x7f' : '\b';
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return '\r';
    case Qt::Key_Escape:
        return '\x1b';
    case Qt::Key_Delete:
        return std::nullopt;
    default:
        break;
    }
    const Qt::KeyboardModifiers held =
        event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (held == Qt::ControlModifier) {
        // Ctrl+letter types the control character of the letter (Ctrl+C is 3).
        if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) {
            return static_cast<char>(event.key() - Qt::Key_A + 1);
        }
        return std::nullopt;
    }
    // Alt+key is a mnemonic, not a character; Ctrl+Alt is AltGr on Windows.
    if (held != Qt::NoModifier && held != (Qt::ControlModifier | Qt::AltModifier)) {
        return std::nullopt;
    }
    const QString text = event.text();
    if (text.isEmpty() || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7f) {
        return std::nullopt;
    }
    return FromQChar(text.at(0));
}

bool IsControlCharacter(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 || code == 0x7f;
}

std::optional<KeyStroke> KeyStrokeOfControlCharacter(char c) {
    for (std::size_t i = 0; i < controlCharacters.size(); ++i) {
        if (controlCharacters[i] == c) {
            return controlStrokes[i];
        }
    }
    return std::nullopt;
}

} // namespace nimbrel
