#include "platform/portable/host_replacement.h"

#include "platform/portable/folder_index.h"
#include "platform/portable/host_descriptor.h"
#include "platform/replacement_temp_name.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <unistd.h>

namespace nimbrel::platform::portable {
namespace {

// Links followed before a chain counts as a loop, as the kernel counts them.
constexpr int MaxLinks = 40;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where `path` leads through its symbolic links: the last name of the chain, which need
// not exist yet (a link to a missing file creates that file, as an open would).
int FollowLinks(const std::string& path, std::string& final) {
    std::string at = path;
    for (int hop = 0; hop <= MaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            final = at;
            return 0;
        }
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 256) + 1, '\0');
        const ssize_t length = ::readlink(at.c_str(), link.data(), link.size());
        if (length < 0)
            return errno;
        if (static_cast<std::size_t>(length) >= link.size())
            return ENAMETOOLONG; // the link changed while it was read
        link.resize(static_cast<std::size_t>(length));
        at = link.front() == '/' ? link : FolderOf(at) + "/" + link;
    }
    return ELOOP;
}

// Whether the file at `path` may be replaced; `existing` is filled when there is one.
int CheckTarget(const std::string& path, bool& exists, struct stat& existing,
                HostRefusal& refusal) {
    exists = false;
    refusal = HostRefusal::None;
    if (::lstat(path.c_str(), &existing) != 0) {
        if (errno == ENOENT)
            return 0;
        refusal = HostRefusal::Other;
        return errno;
    }
    exists = true;
    if (S_ISDIR(existing.st_mode))
        refusal = HostRefusal::Folder;
    else if (!S_ISREG(existing.st_mode))
        refusal = HostRefusal::NotPlainFile;
    else if ((existing.st_mode & S_IWUSR) == 0)
        refusal = HostRefusal::ReadOnly;
    else if (existing.st_nlink > 1)
        refusal = HostRefusal::HardLinks;
    if (refusal != HostRefusal::None)
        return refusal == HostRefusal::Folder ? EISDIR : EACCES;
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        refusal = HostRefusal::NotPermitted;
        return errno;
    }
    return 0;
}

int CheckTarget(const std::string& path, bool& exists, struct stat& existing) {
    HostRefusal refusal = HostRefusal::None;
    return CheckTarget(path, exists, existing, refusal);
}

// Removes the leftovers of replacements whose writer died: a new file's lock lives as long
// as its writer, so one that can be locked has none.
void RemoveDeadLeftovers(const std::string& folder) {
    for (const std::string& name : NamesBeginningWith(folder, ReplacementTempPrefix)) {
        if (!IsReplacementTempName(name))
            continue;
        const std::string path = folder + "/" + name;
        const Descriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (::flock(file.get(), LOCK_EX | LOCK_NB) == 0)
            (void)::unlink(path.c_str()); // gone is as good
    }
}

std::string TempNameIn(const std::string& folder) {
    static thread_local std::mt19937 generator{std::random_device{}()};
    return folder + "/" + ReplacementTempName(static_cast<unsigned>(generator()));
}

void SyncFolder(const std::string& folder) {
    const Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0)
        (void)::fsync(directory.get()); // the rename is done; a lost folder sync loses nothing old
}

} // namespace

HostTargetCheck CheckHostTarget(const std::string& path) {
    HostTargetCheck check;
    if ((check.error = FollowLinks(path, check.target)) != 0) {
        check.refusal = HostRefusal::Other;
        return check;
    }
    check.error = CheckTarget(check.target, check.exists, check.existing, check.refusal);
    // The new file is made in the target's folder, so that folder must take one.
    if (check.error == 0 &&
        ::faccessat(AT_FDCWD, FolderOf(check.target).c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        check.error = errno;
        check.refusal = errno == ENOENT ? HostRefusal::Other : HostRefusal::FolderNotWritable;
    }
    return check;
}

HostReplacement::~HostReplacement() {
    Abandon();
}

int HostReplacement::Begin(const std::string& path) {
    Abandon();
    const HostTargetCheck check = CheckHostTarget(path);
    if (check.error != 0)
        return check.error;
    target_ = check.target;
    replacing_ = check.exists;
    existing_ = check.existing;
    folder_ = FolderOf(target_);
    RemoveDeadLeftovers(folder_);

    fd_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files on this file system: the new file is named from the start.
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            tempPath_ = TempNameIn(folder_);
            fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         0666);
            if (fd_ < 0 && errno != EEXIST)
                break;
        }
        if (fd_ < 0)
            tempPath_.clear();
    }
    if (fd_ < 0)
        return errno;
    (void)::flock(fd_, LOCK_EX); // a new file: nobody else holds it
    return 0;
}

int HostReplacement::Write(const void* bytes, std::size_t size, std::size_t& done) {
    done = 0;
    if (fd_ < 0)
        return EBADF;
    const auto* at = static_cast<const unsigned char*>(bytes);
    while (done < size) {
        const ssize_t put = ::write(fd_, at + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return put < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(put);
    }
    return 0;
}

int HostReplacement::GiveName() {
    // The unnamed file gets a name beside its target for the rename.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath_ = TempNameIn(folder_);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tempPath_.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno == ENOENT && ::linkat(fd_, "", AT_FDCWD, tempPath_.c_str(), AT_EMPTY_PATH) == 0)
            return 0; // no /proc, but the right to link by descriptor
        const int error = errno;
        tempPath_.clear();
        if (error != EEXIST)
            return error;
    }
    return EEXIST;
}

int HostReplacement::Commit() {
    if (fd_ < 0)
        return EBADF;
    int error = 0;
    if (replacing_) {
        // Owner and group first: a change of owner clears the set-id bits of the mode.
        if ((existing_.st_uid != ::geteuid() || existing_.st_gid != ::getegid()) &&
            ::fchown(fd_, existing_.st_uid, existing_.st_gid) != 0)
            (void)::fchown(fd_, static_cast<uid_t>(-1), existing_.st_gid); // only where permitted
        if (::fchmod(fd_, existing_.st_mode & 07777) != 0)
            error = errno;
    }
    if (!error && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
        error = errno;
    // The target may have changed since Begin: what is there now is checked again.
    struct stat now {};
    bool exists = false;
    if (!error)
        error = CheckTarget(target_, exists, now);
    if (!error && tempPath_.empty())
        error = GiveName();
    if (!error && ::rename(tempPath_.c_str(), target_.c_str()) != 0)
        error = errno;
    if (error) {
        Abandon();
        return error;
    }
    tempPath_.clear();
    const int closed = ::close(fd_);
    fd_ = -1;
    SyncFolder(folder_);
    // The data reached the disk with the fsync above; a late close error changes nothing.
    (void)closed;
    return 0;
}

void HostReplacement::Abandon() {
    if (!tempPath_.empty())
        (void)::unlink(tempPath_.c_str()); // our own new file, never the target
    tempPath_.clear();
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace nimbrel::platform::portable
