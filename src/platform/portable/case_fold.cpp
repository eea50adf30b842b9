#include "platform/portable/case_fold.h"

#include "platform/codepage1250.h"
#include "platform/utf8.h"

namespace nimbrel::platform::portable {
namespace {

// Latin Extended-A pairs letters as (upper, lower) on even/odd code points, except in the
// runs 0x139..0x148 and 0x179..0x17E, where the upper case sits on the odd one.
char32_t FoldLatinExtendedA(char32_t c) {
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
        return c == 0x131 ? 0x49 : c; // dotless i folds to I
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddUpper)
        return (c % 2 == 0) ? c - 1 : c;
    return (c % 2 == 1) ? c - 1 : c;
}

} // namespace

char32_t FoldCase(char32_t c) {
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if (c < 0xE0)
        return c;
    if (c <= 0xFE)
        return c == 0xF7 ? c : c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x17F)
        return FoldLatinExtendedA(c);
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
        return c - 0x20;
    if (c == 0x3C2)
        return 0x3A3;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

std::u32string FoldedFromUtf8(std::string_view name) {
    std::u32string folded;
    FoldUtf8Into(name, folded);
    return folded;
}

void FoldUtf8Into(std::string_view name, std::u32string& out) {
    DecodeUtf8Into(name, out);
    for (char32_t& c : out)
        c = FoldCase(c);
}

std::u32string FoldedFromCp1250(std::string_view name) {
    std::u32string folded;
    folded.reserve(name.size());
    for (char c : name)
        folded.push_back(FoldCase(UnicodeFromCp1250(static_cast<unsigned char>(c))));
    return folded;
}

std::string FoldedUtf8FromCp1250(std::string_view name) {
    return EncodeUtf8(FoldedFromCp1250(name));
}

} // namespace nimbrel::platform::portable
