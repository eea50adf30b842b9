#pragma once
// The write loop over a file handle, shared by the backend's files and replacements.
#include "platform/win32/windows_api.h"
#include "platform/win_error.h"

#include <algorithm>
#include <cstddef>

namespace nimbrel::platform {

// Largest transfer of one ReadFile or WriteFile call.
inline constexpr std::size_t MaxTransfer = std::size_t{1} << 30;

// Writes all `size` bytes at `handle`'s position, in calls of at most MaxTransfer bytes;
// `done` counts what was written, also on failure. A call that writes nothing without an
// error is a full medium (ErrorWriteFault).
inline WinError WriteAll(HANDLE handle, const void* buffer, std::size_t size, std::size_t& done) {
    done = 0;
    const auto* bytes = static_cast<const char*>(buffer);
    while (done < size) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes + done, static_cast<DWORD>(std::min(size - done, MaxTransfer)),
                       &written, nullptr))
            return static_cast<WinError>(GetLastError());
        if (written == 0) // no error and no progress: the medium takes nothing more
            return ErrorWriteFault;
        done += written;
    }
    return ErrorSuccess;
}

} // namespace nimbrel::platform
