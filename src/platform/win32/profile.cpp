#include "platform/profile.h"

#include "platform/win32/windows_api.h"

#include <string>

namespace nimbrel::platform {

bool WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value) {
    const std::string fileName(file), sectionName(section), keyName(key), text(value);
    return WritePrivateProfileStringA(sectionName.c_str(), keyName.c_str(), text.c_str(),
                                      fileName.c_str()) != FALSE;
}

std::string GetProfileString(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view defaultValue) {
    const std::string fileName(file), sectionName(section), keyName(key), fallback(defaultValue);
    // A value that fills the buffer to its last character may have been cut: try a bigger one.
    constexpr DWORD largest = 1 << 24;
    for (DWORD size = 1024;; size *= 2) {
        std::string buffer(size, '\0');
        const DWORD length =
            GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), fallback.c_str(),
                                     buffer.data(), size, fileName.c_str());
        if (length + 1 < size || size >= largest) {
            buffer.resize(length);
            return buffer;
        }
    }
}

} // namespace nimbrel::platform
