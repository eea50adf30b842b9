#pragma once
// Host errors (errno) as the Win32 error codes the callers expect.
#include "platform/win_error.h"

namespace nimbrel::platform::portable {

// `missing` is the code for ENOENT: ErrorFileNotFound when the folder holding the name
// exists, ErrorPathNotFound when it does not.
WinError WinErrorFromErrno(int error, WinError missing = ErrorFileNotFound);

} // namespace nimbrel::platform::portable
