#include "platform/files.h"

#include "platform/codepage1250.h"
#include "platform/entry_name.h"
#include "platform/win32/handle_writes.h"
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <string>

namespace nimbrel::platform {

class File::Impl {
public:
    Impl(HANDLE handle, bool writable) : handle(handle), writable(writable) {}
    ~Impl() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    HANDLE handle;
    bool writable;
};

class FileSearch::Impl {
public:
    ~Impl() {
        if (handle != INVALID_HANDLE_VALUE)
            FindClose(handle);
    }
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA found = {};
    bool pending = false; // `found` holds an entry not yet handed out
};

namespace {

WinError LastError() {
    return static_cast<WinError>(GetLastError());
}

// Asks `query` for a text into a buffer of its size; the call answers the length written,
// or the size it needs (zero included) when the buffer was too small, or 0 on failure.
template <typename Query> std::string GrowingQuery(Query query) {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = query(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length);
    }
}

} // namespace

File::File() = default;
File::~File() = default;
File::File(File&& other) noexcept = default;
File& File::operator=(File&& other) noexcept = default;

bool File::IsOpen() const {
    return impl_ != nullptr;
}

WinError File::OpenRead(std::string_view path) {
    const std::string name(path);
    const HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return LastError();
    impl_ = std::make_unique<Impl>(handle, false);
    return ErrorSuccess;
}

// The folder's path is kept; Windows opens a file by its full path in any case.
class OpenedFolder::Impl {
public:
    std::string prefix; // the folder's path with one backslash at its end
};

OpenedFolder::OpenedFolder() = default;
OpenedFolder::~OpenedFolder() = default;
OpenedFolder::OpenedFolder(OpenedFolder&& other) noexcept = default;
OpenedFolder& OpenedFolder::operator=(OpenedFolder&& other) noexcept = default;

WinError OpenedFolder::Open(std::string_view path) {
    const std::string name(path);
    const DWORD attributes = GetFileAttributesA(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastError();
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return ErrorDirectory;
    auto impl = std::make_unique<Impl>();
    impl->prefix = name;
    if (impl->prefix.empty() || (impl->prefix.back() != '\\' && impl->prefix.back() != '/'))
        impl->prefix += '\\';
    impl_ = std::move(impl);
    return ErrorSuccess;
}

bool OpenedFolder::IsOpen() const {
    return impl_ != nullptr;
}

WinError File::OpenReadIn(const OpenedFolder& folder, std::string_view name) {
    if (!folder.impl_)
        return ErrorInvalidHandle;
    if (!IsBareEntryName(name))
        return ErrorInvalidName;
    return OpenRead(folder.impl_->prefix + std::string(name));
}

WinError File::Create(std::string_view path) {
    const std::string name(path);
    const HANDLE handle = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return LastError();
    impl_ = std::make_unique<Impl>(handle, true);
    return ErrorSuccess;
}

WinError File::Read(void* buffer, std::size_t size, std::size_t& done) {
    done = 0;
    if (!impl_)
        return ErrorInvalidHandle;
    DWORD read = 0;
    if (!ReadFile(impl_->handle, buffer, static_cast<DWORD>(std::min(size, MaxTransfer)), &read,
                  nullptr))
        return LastError();
    done = read;
    return ErrorSuccess;
}

WinError File::Write(const void* buffer, std::size_t size, std::size_t& done) {
    done = 0;
    if (!impl_)
        return ErrorInvalidHandle;
    return WriteAll(impl_->handle, buffer, size, done);
}

WinError File::Size(std::uint64_t& size) const {
    if (!impl_)
        return ErrorInvalidHandle;
    LARGE_INTEGER answer;
    if (!GetFileSizeEx(impl_->handle, &answer))
        return LastError();
    size = static_cast<std::uint64_t>(answer.QuadPart);
    return ErrorSuccess;
}

WinError File::Seek(std::uint64_t offset) {
    if (!impl_)
        return ErrorInvalidHandle;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(impl_->handle, to, nullptr, FILE_BEGIN))
        return LastError();
    return ErrorSuccess;
}

WinError File::Close() {
    if (!impl_)
        return ErrorSuccess;
    const std::unique_ptr<Impl> open = std::move(impl_);
    WinError error = ErrorSuccess;
    // Data still in the system's cache may fail to reach the disk: that is a write error too.
    if (open->writable && !FlushFileBuffers(open->handle))
        error = LastError();
    const HANDLE handle = open->handle;
    open->handle = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle) && error == ErrorSuccess)
        error = LastError();
    return error;
}

std::uint32_t FileAttributes(std::string_view path) {
    const std::string name(path);
    return GetFileAttributesA(name.c_str());
}

bool FileExists(std::string_view path) {
    const std::uint32_t attributes = FileAttributes(path);
    return attributes != InvalidFileAttributes && !(attributes & FileAttributeDirectory);
}

bool DirectoryExists(std::string_view path) {
    const std::uint32_t attributes = FileAttributes(path);
    return attributes != InvalidFileAttributes && (attributes & FileAttributeDirectory);
}

WinError DeleteFile(std::string_view path) {
    const std::string name(path);
    return DeleteFileA(name.c_str()) ? ErrorSuccess : LastError();
}

WinError MoveFileReplacing(std::string_view from, std::string_view to) {
    const std::string source(from), target(to);
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? ErrorSuccess
                                                                                  : LastError();
}

WinError CreateFolder(std::string_view path) {
    const std::string name(path);
    return CreateDirectoryA(name.c_str(), nullptr) ? ErrorSuccess : LastError();
}

// Windows tells everything of an entry at once, so the detail asked for changes nothing.
FileSearch::FileSearch(std::string_view pattern, FindDetail) : impl_(std::make_unique<Impl>()) {
    const std::string mask(pattern);
    impl_->handle = FindFirstFileA(mask.c_str(), &impl_->found);
    impl_->pending = impl_->handle != INVALID_HANDLE_VALUE;
}

FileSearch::~FileSearch() = default;

bool FileSearch::Next(FindData& entry) {
    if (impl_->handle == INVALID_HANDLE_VALUE)
        return false;
    if (!impl_->pending && !FindNextFileA(impl_->handle, &impl_->found))
        return false;
    impl_->pending = false;
    const WIN32_FIND_DATAA& found = impl_->found;
    entry.name = found.cFileName;
    // The ANSI search puts '?' where the code page lacks a character; no name holds a '?'.
    entry.hostName = Utf8FromCp1250(entry.name);
    entry.nameFits = entry.name.find('?') == std::string::npos;
    entry.attributes = found.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    return true;
}

std::string LogicalDrives() {
    const DWORD mask = GetLogicalDrives();
    std::string letters;
    for (int drive = 0; drive < 26; ++drive) {
        if (mask & (1u << drive))
            letters += static_cast<char>('A' + drive);
    }
    return letters;
}

std::string CurrentDirectory() {
    return GrowingQuery(
        [](DWORD size, char* buffer) { return GetCurrentDirectoryA(size, buffer); });
}

WinError SetCurrentDirectory(std::string_view path) {
    const std::string name(path);
    if (!SetCurrentDirectoryA(name.c_str()))
        return LastError();
    // Windows keeps one current folder per drive in the "=X:" variables, which
    // GetFullPathName("X:") reads; the system call itself does not set them.
    const std::string now = CurrentDirectory();
    if (now.size() >= 2 && now[1] == ':') {
        char letter = now[0];
        if (letter >= 'a' && letter <= 'z')
            letter = static_cast<char>(letter - 'a' + 'A');
        const std::string variable = std::string("=") + letter + ":";
        SetEnvironmentVariableA(variable.c_str(), now.c_str());
    }
    return ErrorSuccess;
}

std::string FullPathName(std::string_view path) {
    const std::string name(path);
    std::string full = GrowingQuery([&name](DWORD size, char* buffer) {
        return GetFullPathNameA(name.c_str(), size, buffer, nullptr);
    });
    // A drive alone is that drive's current folder, which ends in a backslash only at the
    // root; Wine adds one when the folder comes from the drive's "=X:" variable.
    const bool driveAlone = name.size() == 2 && name[1] == ':';
    if (driveAlone && full.size() > 3 && full.back() == '\\')
        full.pop_back();
    return full;
}

std::optional<std::string> WindowsPathOfHostPath(std::string_view hostPath) {
    return Cp1250FromUtf8Exactly(hostPath);
}

std::optional<std::string> HostPathOfWindowsPath(std::string_view windowsPath) {
    return Utf8FromCp1250(windowsPath);
}

} // namespace nimbrel::platform
