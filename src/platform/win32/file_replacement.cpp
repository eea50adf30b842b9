// The whole-file replacement on Windows: a new file beside the target, moved over it.
#include "platform/files.h"

#include "platform/replacement_temp_name.h"
#include "platform/win32/handle_writes.h"
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <random>
#include <string>

namespace nimbrel::platform {

class FileReplacement::Impl {
public:
    ~Impl() { Abandon(); }
    void Abandon() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        if (!tempPath.empty())
            (void)DeleteFileA(tempPath.c_str()); // our own new file, never the target
        tempPath.clear();
    }

    HANDLE handle = INVALID_HANDLE_VALUE;
    std::string target;
    std::string tempPath;
    DWORD keptAttributes = 0; // of the file replaced, for the new one
};

namespace {

WinError LastError() {
    return static_cast<WinError>(GetLastError());
}

// The folder part of `path` with its separator ("C:\PICS\"), "X:" for "X:NAME", or
// nothing for a bare name.
std::string FolderOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string_view::npos)
        return std::string(path.substr(0, slash + 1));
    if (path.size() >= 2 && path[1] == ':')
        return std::string(path.substr(0, 2));
    return {};
}

// The path of the file that `handle` has open, with the "\\?\" the system puts before a
// drive path taken off again.
std::string FinalPathOf(HANDLE handle) {
    char buffer[MAX_PATH * 4] = {};
    const DWORD length = GetFinalPathNameByHandleA(handle, buffer, sizeof buffer,
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof buffer)
        return {};
    std::string path(buffer, length);
    if (path.starts_with("\\\\?\\") && path.size() > 6 && path[5] == ':')
        path.erase(0, 4);
    return path;
}

// Whether `path` may be replaced; fills the target (the file a link leads to), the
// attributes to keep and, in `check`, why not and what is there. A name where nothing is
// may be.
WinError CheckTarget(const std::string& path, FileReplacement::Impl& replacement,
                     ReplacementCheck& check) {
    replacement.target = path;
    replacement.keptAttributes = 0;
    check = {};
    auto refuse = [&check](ReplacementRefusal refusal, WinError error) {
        check.refusal = refusal;
        check.error = error;
        return error;
    };
    WIN32_FILE_ATTRIBUTE_DATA found = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &found)) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ErrorSuccess
                                             : refuse(ReplacementRefusal::Other, error);
    }
    const DWORD attributes = found.dwFileAttributes;
    check.exists = true;
    check.size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return refuse(ReplacementRefusal::Folder, ErrorAccessDenied);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return refuse(ReplacementRefusal::ReadOnly, ErrorAccessDenied);
    // Opening for writing asks the system whether this caller may write the file; nothing
    // of it changes.
    const HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            check.exists = false;
            return ErrorSuccess;
        }
        return refuse(error == ERROR_ACCESS_DENIED ? ReplacementRefusal::NotPermitted
                                                   : ReplacementRefusal::Other,
                      error);
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (GetFileType(probe) != FILE_TYPE_DISK) {
        refuse(ReplacementRefusal::NotPlainFile, ErrorAccessDenied);
    } else if (!GetFileInformationByHandle(probe, &info)) {
        refuse(ReplacementRefusal::Other, LastError());
    } else {
        if (info.nNumberOfLinks > 1) {
            refuse(ReplacementRefusal::HardLinks, ErrorAccessDenied);
        } else {
            replacement.keptAttributes =
                info.dwFileAttributes &
                (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                 FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
            if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                replacement.target = FinalPathOf(probe);
                if (replacement.target.empty())
                    refuse(ReplacementRefusal::Other, ErrorAccessDenied);
            }
        }
    }
    CloseHandle(probe);
    return check.error;
}

// Deletes the leftovers of replacements whose writer died: a writer holds its new file
// open without sharing its deletion, so only a dead writer's file can be deleted.
void RemoveDeadLeftovers(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA((folder + "~NB*.TMP").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsReplacementTempName(entry.cFileName) &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            (void)DeleteFileA((folder + entry.cFileName).c_str()); // a live one stays
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

} // namespace

ReplacementCheck CheckReplacement(std::string_view path) {
    FileReplacement::Impl scratch;
    ReplacementCheck check;
    (void)CheckTarget(std::string(path), scratch, check); // the answer is in `check`
    return check;
}

FileReplacement::FileReplacement() : impl_(std::make_unique<Impl>()) {}
FileReplacement::~FileReplacement() = default;

WinError FileReplacement::Begin(std::string_view path) {
    impl_->Abandon();
    ReplacementCheck check;
    if (const WinError refused = CheckTarget(std::string(path), *impl_, check))
        return refused;
    const std::string folder = FolderOf(impl_->target);
    RemoveDeadLeftovers(folder);
    static thread_local std::mt19937 generator{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate =
            folder + ReplacementTempName(static_cast<unsigned>(generator()));
        const HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                          nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            impl_->handle = handle;
            impl_->tempPath = candidate;
            return ErrorSuccess;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return static_cast<WinError>(error);
    }
    return ErrorFileExists;
}

WinError FileReplacement::Write(const void* buffer, std::size_t size, std::size_t& done) {
    done = 0;
    if (impl_->handle == INVALID_HANDLE_VALUE)
        return ErrorInvalidHandle;
    return WriteAll(impl_->handle, buffer, size, done);
}

WinError FileReplacement::Commit() {
    if (impl_->handle == INVALID_HANDLE_VALUE)
        return ErrorInvalidHandle;
    WinError error = FlushFileBuffers(impl_->handle) ? ErrorSuccess : LastError();
    const HANDLE handle = impl_->handle;
    impl_->handle = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle) && error == ErrorSuccess)
        error = LastError();
    if (error == ErrorSuccess && impl_->keptAttributes != 0)
        (void)SetFileAttributesA(impl_->tempPath.c_str(), impl_->keptAttributes); // cosmetic
    if (error == ErrorSuccess && !MoveFileExA(impl_->tempPath.c_str(), impl_->target.c_str(),
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = LastError();
    if (error != ErrorSuccess) {
        impl_->Abandon();
        return error;
    }
    impl_->tempPath.clear();
    return ErrorSuccess;
}

void FileReplacement::Abandon() {
    impl_->Abandon();
}

bool FileReplacement::IsOpen() const {
    return impl_->handle != INVALID_HANDLE_VALUE;
}

} // namespace nimbrel::platform
