#pragma once
// The name File::OpenReadIn takes, checked alike by both backends.
#include <string_view>

namespace nimbrel::platform {

// One entry of a folder: a name that is not empty and holds no path separator.
inline bool IsBareEntryName(std::string_view name) {
    return !name.empty() && name.find_first_of("\\/") == std::string_view::npos;
}

} // namespace nimbrel::platform
