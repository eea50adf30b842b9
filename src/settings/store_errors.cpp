#include "settings/store_errors.h"

namespace nimbrel {

namespace {
std::string Quoted(std::string_view text, std::string_view name) {
    return std::string(text) + "'" + std::string(name) + "'";
}
} // namespace

ERegistryReadError::ERegistryReadError(std::string_view valueName)
    : ERegistryException(Quoted("Failed to get data for ", valueName)) {}

ERegistryTypeError::ERegistryTypeError(std::string_view valueName)
    : ERegistryException(Quoted("Invalid data type for ", valueName)) {}

ERegistryWriteError::ERegistryWriteError(std::string_view valueName)
    : ERegistryException(Quoted("Failed to set data for ", valueName)) {}

EIniFileException::EIniFileException(std::string_view fileName)
    : Exception("Unable to write to " + std::string(fileName)) {}

} // namespace nimbrel
