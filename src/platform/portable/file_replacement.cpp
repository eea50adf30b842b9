// The whole-file replacement of the emulated environment, over HostReplacement.
#include "platform/files.h"

#include "platform/portable/host_error.h"
#include "platform/portable/host_replacement.h"
#include "platform/portable/windows_target.h"

#include <cerrno>

namespace nimbrel::platform {

using portable::WinErrorFromErrno;

class FileReplacement::Impl {
public:
    portable::HostReplacement host;
};

namespace {

// A failed write: EIO is the medium's own failure, the rest as any other call.
WinError WriteErrorFrom(int error) {
    return error == EIO ? ErrorWriteFault : WinErrorFromErrno(error);
}

} // namespace

FileReplacement::FileReplacement() : impl_(std::make_unique<Impl>()) {}
FileReplacement::~FileReplacement() = default;

WinError FileReplacement::Begin(std::string_view path) {
    impl_->host.Abandon();
    const portable::WindowsTarget target = portable::ResolveWindowsTarget(path);
    if (target.error != ErrorSuccess)
        return target.error;
    if (target.path.components.empty())
        return ErrorAccessDenied; // a drive root
    const int error = impl_->host.Begin(target.resolved.host);
    return error == 0 ? ErrorSuccess : WinErrorFromErrno(error, ErrorPathNotFound);
}

WinError FileReplacement::Write(const void* buffer, std::size_t size, std::size_t& done) {
    done = 0;
    if (!impl_->host.IsOpen())
        return ErrorInvalidHandle;
    const int error = impl_->host.Write(buffer, size, done);
    return error == 0 ? ErrorSuccess : WriteErrorFrom(error);
}

WinError FileReplacement::Commit() {
    if (!impl_->host.IsOpen())
        return ErrorInvalidHandle;
    const int error = impl_->host.Commit();
    return error == 0 ? ErrorSuccess : WriteErrorFrom(error);
}

void FileReplacement::Abandon() {
    impl_->host.Abandon();
}

bool FileReplacement::IsOpen() const {
    return impl_->host.IsOpen();
}

} // namespace nimbrel::platform
