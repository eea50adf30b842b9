#include "platform/replacement_temp_name.h"

#include <cstdio>

namespace nimbrel::platform {

std::string ReplacementTempName(unsigned number) {
    char name[16];
    std::snprintf(name, sizeof name, "~NB%04X.TMP", number & 0xFFFFu);
    return name;
}

bool IsReplacementTempName(std::string_view name) {
    if (name.size() != 11 || !name.starts_with(ReplacementTempPrefix) || !name.ends_with(".TMP"))
        return false;
    for (const char c : name.substr(3, 4))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

} // namespace nimbrel::platform
