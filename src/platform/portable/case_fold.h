#pragma once
// The file system's and the registry's case folding: wider than the program's own
// upper-casing, as Windows folds every letter that has an upper-case partner.
#include <string>
#include <string_view>

namespace nimbrel::platform::portable {

// The upper-case partner of a letter of the Latin, Greek and Cyrillic blocks; any other
// character is returned as it is.
char32_t FoldCase(char32_t c);

// A name folded for comparison, from UTF-8 (host names) or from code page 1250.
std::u32string FoldedFromUtf8(std::string_view name);
// The same into `out`, whose room is kept from one name to the next.
void FoldUtf8Into(std::string_view name, std::u32string& out);
std::u32string FoldedFromCp1250(std::string_view name);

// The folded name as UTF-8, for keys kept in the registry database.
std::string FoldedUtf8FromCp1250(std::string_view name);

} // namespace nimbrel::platform::portable
