#pragma once
// Where a windowless program's text goes: the output it was given (a pipe or a file), else
// the console of the program that started it, else, for the texts a person asked for (help,
// version, usage), a message box.
#include <string_view>

namespace nimbrel::changer {

enum class OutputStream { Output, Error };

// Writes ANSI text with "\n" line ends; false when nobody can see it (no output, no console).
bool WriteToOutput(OutputStream stream, std::string_view text);

// Shows the text where WriteToOutput can, else in a message box of the program's own.
void ShowText(OutputStream stream, std::string_view text);

} // namespace nimbrel::changer
