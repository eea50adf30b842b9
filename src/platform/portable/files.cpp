// Files and folders of the emulated environment: Windows paths resolved to host paths,
// host errors answered as Win32 codes.
#include "platform/files.h"

#include "platform/codepage1250.h"
#include "platform/entry_name.h"
#include "platform/portable/emulated_environment.h"
#include "platform/portable/environment.h"
#include "platform/portable/host_error.h"
#include "platform/portable/windows_target.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel::platform {

using portable::DosPath;
using portable::WinErrorFromErrno;

namespace {

using Target = portable::WindowsTarget;

Target ResolveTarget(std::string_view windowsPath) {
    return portable::ResolveWindowsTarget(windowsPath);
}

WinError MissingCode(const Target& target) {
    return target.MissingCode();
}

bool IsReadOnly(const struct stat& info) {
    return (info.st_mode & S_IWUSR) == 0;
}

std::uint32_t AttributesOf(const std::string& hostPath, std::string_view name) {
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) != 0 && ::lstat(hostPath.c_str(), &info) != 0)
        return InvalidFileAttributes;
    std::uint32_t attributes =
        S_ISDIR(info.st_mode) ? FileAttributeDirectory : FileAttributeArchive;
    if (IsReadOnly(info))
        attributes |= FileAttributeReadOnly;
    if (!name.empty() && name.front() == '.' && name != "." && name != "..")
        attributes |= FileAttributeHidden;
    return attributes;
}

// Windows refuses to delete or replace a file that carries the read-only attribute.
WinError RefuseReadOnlyFile(const std::string& hostPath) {
    struct stat info {};
    if (::lstat(hostPath.c_str(), &info) != 0)
        return ErrorSuccess;
    if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && IsReadOnly(info)))
        return ErrorAccessDenied;
    return ErrorSuccess;
}

} // namespace

class File::Impl {
public:
    explicit Impl(int fd, bool writing) : fd_(fd), writing_(writing) {}
    ~Impl() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    WinError Read(void* buffer, std::size_t size, std::size_t& done) {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, size);
            if (got >= 0) {
                done = static_cast<std::size_t>(got);
                return ErrorSuccess;
            }
            if (errno != EINTR)
                return errno == EIO ? ErrorReadFault : WinErrorFromErrno(errno);
        }
    }

    WinError Write(const void* buffer, std::size_t size, std::size_t& done) {
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        std::size_t written = 0;
        while (written < size) {
            const ssize_t put = ::write(fd_, bytes + written, size - written);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                done = written;
                const int error = put < 0 ? errno : ENOSPC;
                return error == EIO ? ErrorWriteFault : WinErrorFromErrno(error);
            }
            written += static_cast<std::size_t>(put);
        }
        done = written;
        return ErrorSuccess;
    }

    WinError Seek(std::uint64_t offset) {
        if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0)
            return WinErrorFromErrno(errno);
        return ErrorSuccess;
    }

    WinError Size(std::uint64_t& size) const {
        struct stat info {};
        if (::fstat(fd_, &info) != 0)
            return WinErrorFromErrno(errno);
        size = static_cast<std::uint64_t>(info.st_size);
        return ErrorSuccess;
    }

    // A written file reaches the disk before it counts as closed, so a late failure (a full
    // disk, an I/O error) is reported here and not lost.
    WinError Close() {
        WinError result = ErrorSuccess;
        if (writing_ && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
            result = errno == EIO ? ErrorWriteFault : WinErrorFromErrno(errno);
        if (::close(fd_) != 0 && result == ErrorSuccess && errno != EINTR)
            result = errno == EIO ? ErrorWriteFault : WinErrorFromErrno(errno);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
    bool writing_;
};

File::File() = default;
File::~File() = default;
File::File(File&& other) noexcept = default;
File& File::operator=(File&& other) noexcept = default;

bool File::IsOpen() const {
    return impl_ != nullptr;
}

// A failed open leaves the file that was open (as on Windows): impl_ changes on success only.
WinError File::OpenRead(std::string_view path) {
    const Target target = ResolveTarget(path);
    if (target.error != ErrorSuccess)
        return target.error;
    const int fd = ::open(target.resolved.host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return WinErrorFromErrno(errno, MissingCode(target));
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return ErrorAccessDenied;
    }
    impl_ = std::make_unique<Impl>(fd, false);
    return ErrorSuccess;
}

class OpenedFolder::Impl {
public:
    explicit Impl(int fd) : fd(fd) {}
    ~Impl() { ::close(fd); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    const int fd;
};

OpenedFolder::OpenedFolder() = default;
OpenedFolder::~OpenedFolder() = default;
OpenedFolder::OpenedFolder(OpenedFolder&& other) noexcept = default;
OpenedFolder& OpenedFolder::operator=(OpenedFolder&& other) noexcept = default;

WinError OpenedFolder::Open(std::string_view path) {
    const Target target = ResolveTarget(path);
    if (target.error != ErrorSuccess)
        return target.error;
    const int fd = ::open(target.resolved.host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return WinErrorFromErrno(errno, ErrorPathNotFound);
    impl_ = std::make_unique<Impl>(fd);
    return ErrorSuccess;
}

bool OpenedFolder::IsOpen() const {
    return impl_ != nullptr;
}

// The name is taken as the folder holds it, so no case-blind search of the folder is made;
// what the entry is, the search told already, so it is not asked again.
WinError File::OpenReadIn(const OpenedFolder& folder, std::string_view name) {
    if (!folder.impl_)
        return ErrorInvalidHandle;
    if (!IsBareEntryName(name))
        return ErrorInvalidName;
    const int fd = ::openat(folder.impl_->fd, Utf8FromCp1250(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return WinErrorFromErrno(errno, ErrorFileNotFound);
    impl_ = std::make_unique<Impl>(fd, false);
    return ErrorSuccess;
}

WinError File::Create(std::string_view path) {
    const Target target = ResolveTarget(path);
    if (target.error != ErrorSuccess)
        return target.error;
    if (target.path.components.empty())
        return ErrorAccessDenied;
    if (const WinError refused = RefuseReadOnlyFile(target.resolved.host))
        return refused;
    const int fd =
        ::open(target.resolved.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return WinErrorFromErrno(errno, ErrorPathNotFound);
    impl_ = std::make_unique<Impl>(fd, true);
    return ErrorSuccess;
}

WinError File::Read(void* buffer, std::size_t size, std::size_t& done) {
    if (!impl_)
        return ErrorInvalidHandle;
    return impl_->Read(buffer, size, done);
}

WinError File::Write(const void* buffer, std::size_t size, std::size_t& done) {
    if (!impl_)
        return ErrorInvalidHandle;
    return impl_->Write(buffer, size, done);
}

WinError File::Size(std::uint64_t& size) const {
    if (!impl_)
        return ErrorInvalidHandle;
    return impl_->Size(size);
}

WinError File::Seek(std::uint64_t offset) {
    if (!impl_)
        return ErrorInvalidHandle;
    return impl_->Seek(offset);
}

WinError File::Close() {
    if (!impl_)
        return ErrorInvalidHandle;
    const WinError result = impl_->Close();
    impl_.reset();
    return result;
}

std::uint32_t FileAttributes(std::string_view path) {
    const Target target = ResolveTarget(path);
    if (target.error != ErrorSuccess)
        return InvalidFileAttributes;
    const std::string name =
        target.path.components.empty() ? std::string() : target.path.components.back();
    return AttributesOf(target.resolved.host, name);
}

bool FileExists(std::string_view path) {
    const std::uint32_t attributes = FileAttributes(path);
    return attributes != InvalidFileAttributes && (attributes & FileAttributeDirectory) == 0;
}

bool DirectoryExists(std::string_view path) {
    const std::uint32_t attributes = FileAttributes(path);
    return attributes != InvalidFileAttributes && (attributes & FileAttributeDirectory) != 0;
}

WinError DeleteFile(std::string_view path) {
    const Target target = ResolveTarget(path);
    if (target.error != ErrorSuccess)
        return target.error;
    if (const WinError refused = RefuseReadOnlyFile(target.resolved.host))
        return refused;
    if (::unlink(target.resolved.host.c_str()) != 0)
        return WinErrorFromErrno(errno, MissingCode(target));
    return ErrorSuccess;
}

WinError MoveFileReplacing(std::string_view from, std::string_view to) {
    const Target source = ResolveTarget(from);
    if (source.error != ErrorSuccess)
        return source.error;
    const Target target = ResolveTarget(to);
    if (target.error != ErrorSuccess)
        return target.error;
    if (const WinError refused = RefuseReadOnlyFile(target.resolved.host))
        return refused;
    if (::rename(source.resolved.host.c_str(), target.resolved.host.c_str()) != 0)
        return WinErrorFromErrno(errno, MissingCode(source));
    return ErrorSuccess;
}

WinError CreateFolder(std::string_view path) {
    const Target target = ResolveTarget(path);
    if (target.error != ErrorSuccess)
        return target.error;
    if (::mkdir(target.resolved.host.c_str(), 0777) != 0)
        return errno == EEXIST ? ErrorAlreadyExists : WinErrorFromErrno(errno, MissingCode(target));
    return ErrorSuccess;
}

std::string LogicalDrives() {
    return portable::DriveLetters();
}

std::string CurrentDirectory() {
    return portable::FormatDosPath(portable::CurrentFolder());
}

WinError SetCurrentDirectory(std::string_view path) {
    const Target target = ResolveTarget(path);
    if (target.error != ErrorSuccess)
        return target.error;
    struct stat info {};
    if (::stat(target.resolved.host.c_str(), &info) != 0)
        return WinErrorFromErrno(errno, MissingCode(target));
    if (!S_ISDIR(info.st_mode))
        return ErrorDirectory;
    if (::chdir(target.resolved.host.c_str()) != 0)
        return WinErrorFromErrno(errno);
    DosPath folder = target.path;
    folder.trailingSeparator = false;
    portable::SetCurrentFolder(folder);
    return ErrorSuccess;
}

std::string FullPathName(std::string_view path) {
    const auto absolute = portable::Absolute(path);
    return absolute ? portable::FormatDosPath(*absolute) : std::string();
}

std::optional<std::string> WindowsPathOfHostPath(std::string_view hostPath) {
    return portable::WindowsPathAddingRoot(hostPath);
}

std::optional<std::string> HostPathOfWindowsPath(std::string_view windowsPath) {
    return portable::HostPath(FullPathName(windowsPath));
}

} // namespace nimbrel::platform
