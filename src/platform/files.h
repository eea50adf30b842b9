#pragma once
// Files, folders, drives and wildcard search, spoken in Windows paths (drive letter,
// backslash; a forward slash is accepted as a separator too) in code page 1250.
// Every call answers a Win32 error code or a plain fact; none throws, except that in the
// emulated environment a drives table that cannot be read raises
// portable::EnvironmentError, whose message names the file and line.
#include "platform/win_error.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::platform {

// File attributes, with Windows' bits.
enum : std::uint32_t {
    FileAttributeReadOnly = 0x01,
    FileAttributeHidden = 0x02,
    FileAttributeSystem = 0x04,
    FileAttributeDirectory = 0x10,
    FileAttributeArchive = 0x20,
    FileAttributeNormal = 0x80,
    InvalidFileAttributes = 0xFFFFFFFF,
};

class OpenedFolder;

// A move-only open file; closed on destruction (a failure there is lost: call Close).
class File {
public:
    File();
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool IsOpen() const;
    // An existing file, for reading only (shared for reading).
    WinError OpenRead(std::string_view path);
    // The same for a file of an opened folder, by the name its search gave (no folder part).
    // The search has told what the entry is: a folder may open here, and then fails to read.
    WinError OpenReadIn(const OpenedFolder& folder, std::string_view name);
    // A new empty file for writing, replacing one of that name (CREATE_ALWAYS).
    WinError Create(std::string_view path);
    // Reads up to `size` bytes; `done` 0 with success means the end of the file.
    WinError Read(void* buffer, std::size_t size, std::size_t& done);
    // Writes all `size` bytes or fails (a full disk is ErrorDiskFull / ErrorHandleDiskFull).
    WinError Write(const void* buffer, std::size_t size, std::size_t& done);
    // Size of the open file in bytes.
    WinError Size(std::uint64_t& size) const;
    // Moves the position of the next Read to `offset` bytes from the file's start.
    WinError Seek(std::uint64_t offset);
    // Flushes and closes; a failure of either is reported.
    WinError Close();

    class Impl; // backend-specific

private:
    std::unique_ptr<Impl> impl_;
};

// A folder opened once, so that many of its files open by name without its path being
// resolved again for each. Closed on destruction.
class OpenedFolder {
public:
    OpenedFolder();
    ~OpenedFolder();
    OpenedFolder(OpenedFolder&& other) noexcept;
    OpenedFolder& operator=(OpenedFolder&& other) noexcept;
    OpenedFolder(const OpenedFolder&) = delete;
    OpenedFolder& operator=(const OpenedFolder&) = delete;

    WinError Open(std::string_view path);
    bool IsOpen() const;

    class Impl; // backend-specific

private:
    friend class File;
    std::unique_ptr<Impl> impl_;
};

// A file written anew as a whole: the bytes go to a new file beside the target, which takes
// the target's place only when Commit succeeds. Until then, and after any failure, the
// target is as it was; nothing is ever deleted but the new file itself.
//
// Begin refuses (ErrorAccessDenied) what must not be replaced by a plain file: a folder, a
// device, a pipe or a socket, a read-only file or one the caller may not write, and a file
// with more than one name (hard links), whose other names would silently keep the old
// content. A symbolic link is written through: the file it leads to is replaced, the link
// stays. The replaced file's attributes (on POSIX hosts its mode, and its owner and group
// where the process may set them) pass to the new file.
//
// The new file is unnamed where the host can make one (Linux), so a killed writer leaves
// nothing; elsewhere it is named ~NBxxxx.TMP and held open by its writer, and Begin
// removes such files in the target's folder that no writer holds any more.
class FileReplacement {
public:
    FileReplacement();
    // Abandons an unfinished replacement.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    [[nodiscard]] WinError Begin(std::string_view path);
    // All `size` bytes or the error (a full disk is ErrorDiskFull / ErrorHandleDiskFull).
    [[nodiscard]] WinError Write(const void* buffer, std::size_t size, std::size_t& done);
    // Gets the new file to the disk and puts it in the target's place.
    [[nodiscard]] WinError Commit();
    // Drops the new file; the target stays as it was.
    void Abandon();
    bool IsOpen() const;

    class Impl; // backend-specific

private:
    std::unique_ptr<Impl> impl_;
};

// Why FileReplacement::Begin would refuse a path: the same check, made without writing
// anything, so that a caller can say beforehand what a replacement will meet.
enum class ReplacementRefusal {
    None,
    Folder,            // a folder has that name
    NotPlainFile,      // a device, a pipe or a socket
    ReadOnly,          // a read-only file
    HardLinks,         // a file with more than one name
    NotPermitted,      // a file the caller may not write
    FolderNotWritable, // a folder where the caller may not make the new file
    Other,             // the path itself fails (see the error)
};
struct ReplacementCheck {
    WinError error = ErrorSuccess; // what Begin would answer
    ReplacementRefusal refusal = ReplacementRefusal::None;
    bool exists = false;    // a file (or what a refusal names) is there
    std::uint64_t size = 0; // its size in bytes
};
ReplacementCheck CheckReplacement(std::string_view path);

// GetFileAttributes: InvalidFileAttributes when nothing is there.
std::uint32_t FileAttributes(std::string_view path);
bool FileExists(std::string_view path);      // a file, not a folder
bool DirectoryExists(std::string_view path); // a folder (a drive root counts)
WinError DeleteFile(std::string_view path);
// Gives the file `from` the name `to` in one step, replacing a file of that name (same
// volume only). A read-only target is refused (ErrorAccessDenied).
WinError MoveFileReplacing(std::string_view from, std::string_view to);
// CreateDirectory: one new folder in an existing one (ErrorAlreadyExists when it is there).
WinError CreateFolder(std::string_view path);

// One entry of a wildcard search.
struct FindData {
    std::string name; // the long name, no folder
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    // The name as the host holds it (UTF-8), and whether code page 1250 holds it: where it
    // does not, `name` has a '?' for each character it lacks and opens nothing.
    std::string hostName;
    bool nameFits = true;
};

// What a search tells of each entry: everything, or the name alone, which spares a host
// that must ask for each entry's status that query (the attributes then tell only a folder
// and a hidden name, and the size is 0; a host that has it all at once tells it all).
enum class FindDetail { Full, NameOnly };

// FindFirstFile / FindNextFile / FindClose over a path pattern (folder, backslash, wildcard
// name with * and ?), matched case-insensitively; every attribute qualifies. A doubled
// backslash after a drive root (C:\\*.JPG) is the root's pattern. Closed on destruction.
class FileSearch {
public:
    explicit FileSearch(std::string_view pattern, FindDetail detail = FindDetail::Full);
    ~FileSearch();
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;
    // The next entry, in the platform's order; false when there is none (or the folder is missing).
    bool Next(FindData& entry);

    class Impl; // backend-specific

private:
    std::unique_ptr<Impl> impl_;
};

// The drive letters that exist, upper case, in order ("C", "CD", ...).
std::string LogicalDrives();
// The process's current folder (C:\WORK), and changing it (per drive, as Windows keeps it).
std::string CurrentDirectory();
WinError SetCurrentDirectory(std::string_view path);
// GetFullPathName: an absolute path for `path`; "D:" alone gives D:'s current folder.
std::string FullPathName(std::string_view path);

// The Windows path of a file named as the host's own programs name it (UTF-8): on Windows
// the name itself; elsewhere a host path, absolute or relative to the process's current
// folder, seen through the drive table. Where no drive holds it, the host's root folder
// becomes one more drive of this process. Nothing when a name cannot be written in code
// page 1250 or no drive letter is free.
std::optional<std::string> WindowsPathOfHostPath(std::string_view hostPath);
// The other way: the host's own path (UTF-8) of a Windows path, through the drive table;
// on Windows the path itself. Nothing for a drive that is not there.
std::optional<std::string> HostPathOfWindowsPath(std::string_view windowsPath);

} // namespace nimbrel::platform
