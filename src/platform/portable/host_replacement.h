#pragma once
// A host file written anew beside the file of its name and put in that file's place only
// when it is complete, so that a failure, a full disk or a kill leaves the old file as it
// was. Every call answers 0 or an errno.
//
// What may be replaced: a regular file with one name that the caller may write (and whose
// owner may write it: a file without the owner's write bit is read-only, as Windows sees
// it), or a name where nothing is. A symbolic link is written through: the file it leads
// to is replaced and the link stays. Anything else is refused (EACCES, EISDIR for a
// folder) and left alone: a device, a FIFO or a socket would be turned into a plain file,
// and a file with several names would lose its other names' content.
//
// The new bytes first go to an unnamed file in the target's folder (O_TMPFILE), which a
// kill leaves nowhere; it is named ~NBxxxx.TMP only for the moment of the rename. Where
// the folder's file system has no unnamed files the named file is made at once. Either way
// the writer holds a lock on it, so a later replacement in the same folder tells a dead
// writer's leftover from a live one and removes only the dead one.
#include <cstddef>
#include <string>
#include <sys/stat.h>

namespace nimbrel::platform::portable {

// Why a file may not be replaced.
enum class HostRefusal {
    None,
    Folder,            // EISDIR
    NotPlainFile,      // a device, FIFO or socket: EACCES
    ReadOnly,          // no write bit for the owner: EACCES
    HardLinks,         // more than one name: EACCES
    NotPermitted,      // the caller may not write the file: its errno
    FolderNotWritable, // no new file can be made beside it: its errno
    Other,             // the path cannot be looked at: its errno
};

// What Begin finds at a path before it writes anything: where its links lead, whether a
// file is there, and whether it may be replaced (`error` 0) or why not.
struct HostTargetCheck {
    int error = 0;
    HostRefusal refusal = HostRefusal::None;
    std::string target; // the path, or where its links lead
    bool exists = false;
    struct stat existing {};
};
HostTargetCheck CheckHostTarget(const std::string& path);

class HostReplacement {
public:
    HostReplacement() = default;
    // Abandons an unfinished replacement: the target stays as it was.
    ~HostReplacement();
    HostReplacement(const HostReplacement&) = delete;
    HostReplacement& operator=(const HostReplacement&) = delete;

    // Checks `path` as above and opens the new file. Removes dead leftovers of earlier
    // replacements in the target's folder.
    int Begin(const std::string& path);
    // All `size` bytes, or the error (ENOSPC when the file takes no more).
    int Write(const void* bytes, std::size_t size, std::size_t& done);
    // Gives the new file the mode (and, where permitted, the owner and group) of the file
    // it replaces, gets it to the disk and renames it over the target.
    int Commit();
    // Drops the new file; the target stays as it was.
    void Abandon();

    bool IsOpen() const { return fd_ >= 0; }
    // The file that Commit replaces: the path given, or where its links lead.
    const std::string& Target() const { return target_; }

private:
    int GiveName();

    int fd_ = -1;
    std::string target_;
    std::string folder_;
    std::string tempPath_; // the new file's name, once it has one
    bool replacing_ = false;
    struct stat existing_ {};
};

} // namespace nimbrel::platform::portable
