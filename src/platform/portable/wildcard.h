#pragma once
// The file search's wildcard match: '*' any run of characters, '?' any one character.
#include <string_view>

namespace nimbrel::platform::portable {

// Both texts already folded to one case. As in Windows, "*.*" matches every name and a
// pattern ending in "." matches names without an extension ("*." lists "README", not "A.TXT").
bool MatchesWildcard(std::u32string_view pattern, std::u32string_view name);

} // namespace nimbrel::platform::portable
