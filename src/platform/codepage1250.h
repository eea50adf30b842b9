#pragma once
// Windows code page 1250 (Central European) and UTF-8, both ways. The one conversion of
// the program: host file names and the GUI's text go through it.
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::platform {

// Every 1250 byte has a character except 0x81, 0x83, 0x88, 0x90 and 0x98, which map to
// the C1 controls of the same number, as Windows does.
std::string Utf8FromCp1250(std::string_view text);
// A character that 1250 cannot hold (and malformed UTF-8) becomes '?', as Windows does.
std::string Cp1250FromUtf8(std::string_view text);
// Nothing when a character cannot be held (or the UTF-8 is malformed): for text that must
// not change on its way in, such as a value to store or a file name to create.
std::optional<std::string> Cp1250FromUtf8Exactly(std::string_view text);
// One character each way, by code point.
char32_t UnicodeFromCp1250(unsigned char c);
// '?' when 1250 has no such character.
unsigned char Cp1250FromUnicode(char32_t c);

} // namespace nimbrel::platform
