#pragma once
// The errors of the settings store, each with the store's own message text.
#include "sysutil/exception.h"

#include <string>
#include <string_view>

namespace nimbrel {

// Any failure of a registry value read or write.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// "Failed to get data for '%s'": the value cannot be read (missing integer, failed query).
class ERegistryReadError : public ERegistryException {
public:
    explicit ERegistryReadError(std::string_view valueName);
};

// "Invalid data type for '%s'": the value has a type the read does not accept.
class ERegistryTypeError : public ERegistryException {
public:
    explicit ERegistryTypeError(std::string_view valueName);
};

// "Failed to set data for '%s'": the value cannot be written.
class ERegistryWriteError : public ERegistryException {
public:
    explicit ERegistryWriteError(std::string_view valueName);
};

// "Unable to write to %s": a profile (INI) file cannot be written; %s is the file's path.
class EIniFileException : public Exception {
public:
    explicit EIniFileException(std::string_view fileName);
};

} // namespace nimbrel
