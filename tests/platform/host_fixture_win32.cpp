// On Windows each test gets two drives of its own, M: and N:, emptied before it runs, and
// a registry key that is deleted before and after it.
//
// Under Wine the drives are made by scripts/test-windows (links in the prefix's dosdevices
// folder), since Wine's DefineDosDevice does not reach the file system. On Windows the
// fixture maps them itself onto fresh temporary folders, as subst does, and removes them
// again.
//
// The tests speak code page 1250, as the program does: the host's ANSI code page must be
// 1250 (scripts/test-windows runs Wine with a Czech locale for that).
#include "platform/host_fixture.h"

#include "platform/win32/windows_api.h"

#include <string>

namespace nimbrel::test {
namespace {

constexpr char kRootDrive[] = "M:";
constexpr char kSecondDrive[] = "N:";
constexpr char kTestKey[] = "Software\\Vexmoor\\PlatformTest";

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

// A host path below a drive: '/' becomes '\'.
std::wstring OnDrive(const char* drive, std::string_view relativePath) {
    std::wstring path = Wide(drive) + L"\\" + Wide(relativePath);
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

bool DriveUsable(const char* drive) {
    const DWORD attributes = GetFileAttributesA((std::string(drive) + "\\").c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Removes everything below `folder` (not the folder itself), read-only entries too.
void EmptyFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyFolder(path);
            RemoveDirectoryW(path.c_str());
        } else {
            DeleteFileW(path.c_str());
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

void MakeFolders(const std::wstring& path) {
    for (std::size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
         slash = path.find(L'\\', slash + 1))
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

// Forgets the per-drive current folders of the test drives, so each test starts at their roots.
void ForgetDriveFolders() {
    for (const char* drive : {kRootDrive, kSecondDrive})
        SetEnvironmentVariableA((std::string("=") + drive).c_str(), nullptr);
}

} // namespace

struct HostFixture::Host {
    std::wstring previousFolder;
    std::wstring mappedFolders[2]; // folders this fixture mapped a drive onto, or empty

    Host() {
        wchar_t folder[MAX_PATH * 4] = {};
        GetCurrentDirectoryW(MAX_PATH * 4, folder);
        previousFolder = folder;
        const char* drives[] = {kRootDrive, kSecondDrive};
        for (int i = 0; i < 2; ++i) {
            if (!DriveUsable(drives[i]))
                MapDrive(drives[i], mappedFolders[i]);
            if (!DriveUsable(drives[i]))
                ADD_FAILURE() << "no test drive " << drives[i]
                              << " (under Wine, run the tests through scripts/test-windows)";
            EmptyFolder(Wide(drives[i]));
        }
        ForgetDriveFolders();
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        if (GetACP() != 1250)
            ADD_FAILURE() << "the ANSI code page is " << GetACP() << ", the tests need 1250";
    }

    ~Host() {
        SetCurrentDirectoryW(previousFolder.c_str());
        ForgetDriveFolders();
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
        const char* drives[] = {kRootDrive, kSecondDrive};
        for (int i = 0; i < 2; ++i) {
            EmptyFolder(Wide(drives[i]));
            if (!mappedFolders[i].empty()) {
                DefineDosDeviceA(DDD_REMOVE_DEFINITION, drives[i], nullptr);
                RemoveDirectoryW(mappedFolders[i].c_str());
            }
        }
    }

    static void MapDrive(const char* drive, std::wstring& mappedFolder) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        std::wstring folder = std::wstring(temp) + L"nimbrel-drive-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              Wide(drive).substr(0, 1);
        MakeFolders(folder);
        if (DefineDosDeviceW(0, Wide(drive).c_str(), folder.c_str()))
            mappedFolder = folder;
        else
            RemoveDirectoryW(folder.c_str());
    }
};

HostFixture::HostFixture() : host_(std::make_unique<Host>()) {}
HostFixture::~HostFixture() = default;

std::string HostFixture::Root() const {
    return kRootDrive;
}
bool HostFixture::RootIsDrive() const {
    return true;
}
std::string HostFixture::SecondDrive() const {
    return kSecondDrive;
}

void HostFixture::MakeFileOnDisk(std::string_view relativePath, std::string_view bytes) {
    const std::wstring path = OnDrive(kRootDrive, relativePath);
    MakeFolders(path.substr(0, path.find_last_of(L'\\')));
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << relativePath;
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(wrote && written == bytes.size()) << relativePath;
}

void HostFixture::MakeFolderOnDisk(std::string_view relativePath) {
    MakeFolders(OnDrive(kRootDrive, relativePath));
}

std::string HostFixture::ReadFileOnDisk(std::string_view relativePath) {
    const HANDLE file = CreateFileW(OnDrive(kRootDrive, relativePath).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool HostFixture::ExistsOnDisk(std::string_view relativePath) {
    return GetFileAttributesW(OnDrive(kRootDrive, relativePath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void HostFixture::MakeReadOnlyOnDisk(std::string_view relativePath) {
    const std::wstring path = OnDrive(kRootDrive, relativePath);
    SetFileAttributesW(path.c_str(), GetFileAttributesW(path.c_str()) | FILE_ATTRIBUTE_READONLY);
}

void HostFixture::RenameOnDisk(std::string_view from, std::string_view to) {
    ASSERT_TRUE(MoveFileW(OnDrive(kRootDrive, from).c_str(), OnDrive(kRootDrive, to).c_str()))
        << from;
}

void HostFixture::RemoveOnDisk(std::string_view relativePath) {
    ASSERT_TRUE(DeleteFileW(OnDrive(kRootDrive, relativePath).c_str())) << relativePath;
}

bool HostFixture::MakeHardLinkOnDisk(std::string_view existing, std::string_view newName) {
    return CreateHardLinkW(OnDrive(kRootDrive, newName).c_str(),
                           OnDrive(kRootDrive, existing).c_str(), nullptr) != 0;
}

std::string HostFixture::TestKey() const {
    return kTestKey;
}

namespace {

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Whether this process may open a read-only file of the test drive for writing.
bool ReadOnlyEnforced() {
    const std::wstring probe = OnDrive(kRootDrive, "read-only probe");
    const HANDLE made = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_READONLY, nullptr);
    if (made == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(made);
    const HANDLE reopened = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool enforced = reopened == INVALID_HANDLE_VALUE;
    if (!enforced)
        CloseHandle(reopened);
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(probe.c_str());
    return enforced;
}

HostTraits Win32Traits() {
    HostTraits traits;
    traits.exactCaseWins = false;
    traits.readOnlyEnforced = ReadOnlyEnforced();
    traits.profileKeepsLayout = !UnderWine();
    traits.profileFoldsNationalLetters = !UnderWine();
    traits.tempFileInMissingFolder = ERROR_DIRECTORY;
    traits.searchMatchesShortNames = true;
    traits.platformId = VER_PLATFORM_WIN32_NT;
    return traits;
}

} // namespace

const HostTraits& HostFixture::Traits() {
    static const HostTraits traits = Win32Traits();
    return traits;
}

} // namespace nimbrel::test
