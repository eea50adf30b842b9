#pragma once
// UTF-8 to and from code points, for the host side of names and texts.
#include <string>
#include <string_view>

namespace nimbrel::platform {

// A malformed sequence (bad lead byte, truncated, overlong, surrogate, beyond U+10FFFF)
// becomes one U+FFFD per offending byte, so a bad name never stops a conversion.
std::u32string DecodeUtf8(std::string_view text);
// The same into `out` (emptied first), whose room is kept from one call to the next.
void DecodeUtf8Into(std::string_view text, std::u32string& out);
std::string EncodeUtf8(std::u32string_view text);
void AppendUtf8(std::string& out, char32_t c);
// True when every byte belongs to a well-formed sequence.
bool IsValidUtf8(std::string_view text);

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

} // namespace nimbrel::platform
