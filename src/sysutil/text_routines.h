#pragma once
// Small text and number routines. Text is 8-bit code page 1250.
#include <cstdint>
#include <string>
#include <string_view>

namespace nimbrel {

char UpperChar(char c);
std::string UpperText(std::string_view text);
std::string NumToText(std::int32_t value, int width);
long double SignedPower(long double base, long double exponent);
long double SignOf(long double value);
bool IsBlank(std::string_view text);
void MapNationalChar(char& c);
// A folder's or a registry key's path and the name of what lies in it, one backslash
// between them (none added after a path that ends in one, as a drive root does; the name
// alone below an empty path).
std::string ChildPath(std::string_view parent, std::string_view name);

} // namespace nimbrel
