#pragma once
// The one base of every error the program raises. Each carries only a message.
#include <stdexcept>
#include <string>

namespace nimbrel {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    // The message as code page 1250 text.
    std::string Message() const { return what(); }
};

// A silent stop: the standard error report shows nothing for it.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    explicit EAbort(const std::string& message) : Exception(message) {}
};

} // namespace nimbrel
