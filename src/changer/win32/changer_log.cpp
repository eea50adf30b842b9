#include "changer/win32/changer_log.h"

#include "changer/win32/windows_api.h"

#include <cstdio>

namespace nimbrel::changer {
namespace {

std::string LocalTimeStamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

} // namespace

ChangerLog::ChangerLog(std::string path, std::uint64_t cap) : path_(std::move(path)), cap_(cap) {}

void ChangerLog::RotateIfFull() const {
    WIN32_FILE_ATTRIBUTE_DATA facts{};
    if (!GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &facts))
        return;
    const std::uint64_t size = (std::uint64_t{facts.nFileSizeHigh} << 32) | facts.nFileSizeLow;
    if (size >= cap_)
        MoveFileExA(path_.c_str(), (path_ + ".1").c_str(), MOVEFILE_REPLACE_EXISTING);
}

void ChangerLog::Write(const std::string& message) const {
    RotateIfFull();
    // Opened for each line: the file can be read, moved or deleted while the changer runs.
    const HANDLE file = CreateFileA(path_.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string line = LocalTimeStamp() + message + "\r\n";
    DWORD done = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &done, nullptr);
    CloseHandle(file);
}

} // namespace nimbrel::changer
