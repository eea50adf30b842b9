#pragma once
// Win32 error codes, as every platform service returns them (0 is success).
#include <cstdint>

namespace nimbrel::platform {

using WinError = std::uint32_t;

enum : WinError {
    ErrorSuccess = 0,
    ErrorFileNotFound = 2,
    ErrorPathNotFound = 3,
    ErrorTooManyOpenFiles = 4,
    ErrorAccessDenied = 5,
    ErrorInvalidHandle = 6,
    ErrorNotEnoughMemory = 8,
    ErrorInvalidDrive = 15,
    ErrorNoMoreFiles = 18,
    ErrorWriteFault = 29,
    ErrorReadFault = 30,
    ErrorGenFailure = 31,
    ErrorSharingViolation = 32,
    ErrorHandleDiskFull = 39,
    ErrorFileExists = 80,
    ErrorInvalidParameter = 87,
    ErrorDiskFull = 112,
    ErrorInvalidName = 123,
    ErrorBadPathname = 161,
    ErrorAlreadyExists = 183,
    ErrorFilenameExcedRange = 206,
    ErrorMoreData = 234,
    ErrorNoMoreItems = 259,
    ErrorDirectory = 267,
    ErrorBadDb = 1009,
    ErrorBadKey = 1010,
    ErrorCantRead = 1012,
    ErrorCantWrite = 1013,
    ErrorRegistryIoFailed = 1016,
    ErrorCantResolveFilename = 1921,
};

} // namespace nimbrel::platform
