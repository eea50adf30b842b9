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

namespace {

ReplacementRefusal RefusalOf(portable::HostRefusal refusal) {
    switch (refusal) {
    case portable::HostRefusal::None:
        return ReplacementRefusal::None;
    case portable::HostRefusal::Folder:
        return ReplacementRefusal::Folder;
    case portable::HostRefusal::NotPlainFile:
        return ReplacementRefusal::NotPlainFile;
    case portable::HostRefusal::ReadOnly:
        return ReplacementRefusal::ReadOnly;
    case portable::HostRefusal::HardLinks:
        return ReplacementRefusal::HardLinks;
    case portable::HostRefusal::NotPermitted:
        return ReplacementRefusal::NotPermitted;
    case portable::HostRefusal::FolderNotWritable:
        return ReplacementRefusal::FolderNotWritable;
    case portable::HostRefusal::Other:
        break;
    }
    return ReplacementRefusal::Other;
}

} // namespace

ReplacementCheck CheckReplacement(std::string_view path) {
    ReplacementCheck check;
    const portable::WindowsTarget target = portable::ResolveWindowsTarget(path);
    if (target.error != ErrorSuccess) {
        check.error = target.error;
        check.refusal = ReplacementRefusal::Other;
        return check;
    }
    if (target.path.components.empty()) { // a drive root
        check.error = ErrorAccessDenied;
        check.refusal = ReplacementRefusal::Folder;
        check.exists = true;
        return check;
    }
    const portable::HostTargetCheck host = portable::CheckHostTarget(target.resolved.host);
    check.error = host.error == 0 ? ErrorSuccess : WinErrorFromErrno(host.error, ErrorPathNotFound);
    check.refusal = RefusalOf(host.refusal);
    check.exists = host.exists;
    check.size = host.exists ? static_cast<std::uint64_t>(host.existing.st_size) : 0;
    return check;
}

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
