#include "platform/portable/wildcard.h"

namespace nimbrel::platform::portable {
namespace {

// Iterative match with one backtracking point: the last '*' seen.
bool Matches(std::u32string_view pattern, std::u32string_view name) {
    std::size_t p = 0, n = 0;
    std::size_t starPattern = std::u32string_view::npos, starName = 0;
    while (n < name.size()) {
        // The star first: a host name may hold a '*' of its own, which must not use it up.
        if (p < pattern.size() && pattern[p] == U'*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starPattern != std::u32string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool MatchesWildcard(std::u32string_view pattern, std::u32string_view name) {
    if (pattern == U"*.*")
        return true;
    if (pattern.size() > 1 && pattern.back() == U'.') {
        pattern.remove_suffix(1);
        return name.find(U'.') == std::u32string_view::npos && Matches(pattern, name);
    }
    return Matches(pattern, name);
}

} // namespace nimbrel::platform::portable
