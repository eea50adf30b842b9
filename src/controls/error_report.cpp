#include "controls/error_report.h"

#include "controls/message_box.h"
#include "sysutil/exception.h"

#include <string>

namespace nimbrel {
namespace {

// The message of an exception as code page 1250 text; nothing for a silent stop.
bool MessageOf(const std::exception_ptr& error, std::string& message) {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return false;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown exception";
    }
    return true;
}

} // namespace

void ShowException(const std::exception_ptr& error) {
    std::string message;
    if (!MessageOf(error, message))
        return;
    ShowMessageBox({ApplicationTitle, message, TMessageIcon::Error});
}

} // namespace nimbrel
