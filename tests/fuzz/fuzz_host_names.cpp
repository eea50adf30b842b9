// Host file names as the file search sees them: UTF-8 decoded to code points, folded to one
// case and matched against a wildcard pattern. Valid UTF-8 comes back unchanged, folding is
// stable, and the matcher agrees with a plain table-driven match.
#include "platform/portable/case_fold.h"
#include "platform/portable/wildcard.h"
#include "platform/utf8.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace nimbrel::platform;
using namespace nimbrel::platform::portable;

namespace {

// '*' any run, '?' any one character, by dynamic programming over both texts.
bool TableMatch(std::u32string_view pattern, std::u32string_view name) {
    std::vector<char> row(name.size() + 1, 0), next(name.size() + 1, 0);
    row[0] = 1;
    for (std::size_t n = 1; n <= name.size(); ++n)
        row[n] = 0;
    for (const char32_t p : pattern) {
        next.assign(name.size() + 1, 0);
        next[0] = p == U'*' && row[0];
        for (std::size_t n = 1; n <= name.size(); ++n) {
            if (p == U'*')
                next[n] = row[n] || next[n - 1];
            else
                next[n] = row[n - 1] && (p == U'?' || p == name[n - 1]);
        }
        row.swap(next);
    }
    return row[name.size()] != 0;
}

bool ReferenceMatch(std::u32string_view pattern, std::u32string_view name) {
    if (pattern == U"*.*")
        return true;
    if (pattern.size() > 1 && pattern.back() == U'.')
        return name.find(U'.') == std::u32string_view::npos &&
               TableMatch(pattern.substr(0, pattern.size() - 1), name);
    return TableMatch(pattern, name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string pattern = input.ConsumeRandomLengthString(64);
    const std::string name = input.ConsumeRemainingBytesAsString();

    for (const std::string& text : {pattern, name}) {
        const std::u32string points = DecodeUtf8(text);
        for (const char32_t c : points) {
            if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
                __builtin_trap();
            if (FoldCase(FoldCase(c)) != FoldCase(c))
                __builtin_trap();
        }
        if (IsValidUtf8(text) ? EncodeUtf8(points) != text
                              : points.find(ReplacementCharacter) == std::u32string::npos)
            __builtin_trap();
        const std::u32string folded = FoldedFromUtf8(text);
        if (folded.size() != points.size() || FoldedFromUtf8(EncodeUtf8(folded)) != folded)
            __builtin_trap();
    }
    const std::u32string foldedPattern = FoldedFromUtf8(pattern);
    const std::u32string foldedName = FoldedFromUtf8(name);
    if (MatchesWildcard(foldedPattern, foldedName) != ReferenceMatch(foldedPattern, foldedName))
        __builtin_trap();
    return 0;
}
