// Profile (INI) text as the portable profile service reads and edits it: any bytes read back
// unchanged, and writing one key changes what that key reads and nothing else.
#include "platform/portable/case_fold.h"
#include "platform/portable/ini_document.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

using nimbrel::platform::portable::FoldedFromCp1250;
using nimbrel::platform::portable::IniDocument;

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// A name or value as the program writes them: one line, no blanks around it, and nothing
// that would read as another kind of line.
std::string Clean(std::string text, const char* refused) {
    std::string result;
    for (char c : text)
        if (c != '\n' && c != '\r' && std::string(refused).find(c) == std::string::npos)
            result.push_back(c);
    while (!result.empty() && IsBlank(result.front()))
        result.erase(result.begin());
    while (!result.empty() && IsBlank(result.back()))
        result.pop_back();
    return result;
}

bool SameName(const std::string& a, const std::string& b) {
    return FoldedFromCp1250(a) == FoldedFromCp1250(b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = Clean(input.ConsumeRandomLengthString(40), "[]");
    std::string key = Clean(input.ConsumeRandomLengthString(40), "=[;");
    std::string value = Clean(input.ConsumeRandomLengthString(40), "\"'");
    const std::string otherSection = Clean(input.ConsumeRandomLengthString(40), "[]");
    const std::string otherKey = Clean(input.ConsumeRandomLengthString(40), "=[;");
    const std::string text = input.ConsumeRemainingBytesAsString();

    IniDocument document(text);
    if (document.Text() != text)
        __builtin_trap();
    if (key.empty())
        return 0;
    const auto otherBefore = document.Get(otherSection, otherKey);
    document.Set(section, key, value);
    const auto got = document.Get(section, key);
    if (!got || *got != value)
        __builtin_trap();
    // What another key reads is unchanged, also after the text is read again.
    const IniDocument again(document.Text());
    if (again.Get(section, key) != got)
        __builtin_trap();
    if (!(SameName(section, otherSection) && SameName(key, otherKey)) &&
        (document.Get(otherSection, otherKey) != otherBefore ||
         again.Get(otherSection, otherKey) != otherBefore))
        __builtin_trap();
    return 0;
}
