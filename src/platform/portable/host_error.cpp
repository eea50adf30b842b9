#include "platform/portable/host_error.h"

#include <cerrno>

namespace nimbrel::platform::portable {

WinError WinErrorFromErrno(int error, WinError missing) {
    switch (error) {
    case 0:
        return ErrorSuccess;
    case ENOENT:
        return missing;
    case ENOTDIR:
        return ErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return ErrorAccessDenied;
    case EEXIST:
        return ErrorAlreadyExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrorDiskFull;
    case ENOMEM:
        return ErrorNotEnoughMemory;
    case EMFILE:
    case ENFILE:
        return ErrorTooManyOpenFiles;
    case ENAMETOOLONG:
        return ErrorFilenameExcedRange;
    case EBUSY:
        return ErrorSharingViolation;
    case EBADF:
        return ErrorInvalidHandle;
    case EINVAL:
        return ErrorInvalidParameter;
    case ELOOP:
        return ErrorCantResolveFilename;
    default:
        return ErrorGenFailure;
    }
}

} // namespace nimbrel::platform::portable
