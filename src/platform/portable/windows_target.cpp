#include "platform/portable/windows_target.h"

namespace nimbrel::platform::portable {

WindowsTarget ResolveWindowsTarget(std::string_view windowsPath) {
    WindowsTarget target;
    const auto absolute = Absolute(windowsPath);
    if (!absolute) {
        target.error = ErrorPathNotFound;
        return target;
    }
    target.path = *absolute;
    for (const std::string& name : absolute->components) {
        if (HasInvalidNameCharacter(name)) {
            target.error = ErrorInvalidName;
            return target;
        }
    }
    const auto resolved = Resolve(*absolute);
    if (!resolved) {
        target.error = ErrorPathNotFound;
        return target;
    }
    target.resolved = *resolved;
    return target;
}

} // namespace nimbrel::platform::portable
