#include "controls/qt/key_translation.h"

#include "controls/qt/text.h"
#include "controls/virtual_keys.h"

#include <array>

namespace nimbrel::qt {
namespace {

struct KeyCode {
    int qtKey;
    int virtualKey;
};

constexpr std::array<KeyCode, 20> keyCodes{{
    {Qt::Key_Backspace, VkBack},  {Qt::Key_Tab, VkTab},       {Qt::Key_Backtab, VkTab},
    {Qt::Key_Return, VkReturn},   {Qt::Key_Enter, VkReturn},  {Qt::Key_Shift, VkShift},
    {Qt::Key_Control, VkControl}, {Qt::Key_Alt, VkMenu},      {Qt::Key_Pause, VkPause},
    {Qt::Key_Escape, VkEscape},   {Qt::Key_Space, VkSpace},   {Qt::Key_PageUp, VkPrior},
    {Qt::Key_PageDown, VkNext},   {Qt::Key_End, VkEnd},       {Qt::Key_Home, VkHome},
    {Qt::Key_Left, VkLeft},       {Qt::Key_Up, VkUp},         {Qt::Key_Right, VkRight},
    {Qt::Key_Down, VkDown},       {Qt::Key_Insert, VkInsert},
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
        return VkDelete;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return VkF1 + (key - Qt::Key_F1);
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

} // namespace nimbrel::qt
