// REGEDIT4 text as nimbrel-tool reg import reads it: any bytes are refused or parsed, and
// every value parsed comes back the same through its exported line.
#include "platform/codepage1250.h"
#include "tools/regedit_format.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace nimbrel::platform;
using namespace nimbrel::tool;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (Cp1250FromUtf8(Utf8FromCp1250(text)) != text)
        __builtin_trap();
    regedit::ParseError error;
    const auto keys = regedit::ParseRegFile(text, error);
    if (!keys)
        return 0;
    for (const regedit::KeyValues& key : *keys) {
        for (const auto& [name, value] : key.values) {
            const std::string file =
                "REGEDIT4\n[HKCU\\K]\n" + regedit::FormatValue(name, value) + "\n";
            regedit::ParseError again;
            const auto back = regedit::ParseRegFile(file, again);
            if (!back || back->size() != 1 || back->front().values.size() != 1)
                __builtin_trap();
            const auto& [backName, backValue] = back->front().values.front();
            if (backName != name || backValue.type != value.type || backValue.data != value.data)
                __builtin_trap();
        }
    }
    return 0;
}
