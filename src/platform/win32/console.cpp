#include "platform/console.h"

#include "platform/win32/windows_api.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <memory>

// After windows.h, which it needs.
#include <shellapi.h>

namespace nimbrel::platform {
namespace {

std::FILE* FileOf(StandardStream stream) {
    return stream == StandardStream::Error ? stderr : stdout;
}

HANDLE HandleOf(StandardStream stream) {
    return GetStdHandle(stream == StandardStream::Error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}

std::string Utf8FromWide(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.pop_back(); // the terminating zero
    return out;
}

// A console shows bytes in its own code page: it is given the characters instead.
bool WriteConsoleText(StandardStream stream, std::string_view text, bool& written) {
    const HANDLE handle = HandleOf(stream);
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr || !GetConsoleMode(handle, &mode))
        return false;
    std::fflush(FileOf(stream));
    const int size = static_cast<int>(text.size());
    const int wideSize = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), wideSize);
    DWORD done = 0;
    written =
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr) != 0 &&
        done == wide.size();
    return true;
}

} // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i)
        arguments.push_back(Utf8FromWide(wide.get()[i]));
    return arguments;
}

bool WriteText(StandardStream stream, std::string_view text) {
    bool written = false;
    if (WriteConsoleText(stream, text, written))
        return written;
    // The C library's text mode turns "\n" into "\r\n".
    return std::fwrite(text.data(), 1, text.size(), FileOf(stream)) == text.size();
}

bool WriteBytes(StandardStream stream, const void* bytes, std::size_t size) {
    std::FILE* file = FileOf(stream);
    std::fflush(file);
    _setmode(_fileno(file), _O_BINARY);
    return std::fwrite(bytes, 1, size, file) == size;
}

bool FlushStream(StandardStream stream) {
    return std::fflush(FileOf(stream)) == 0 && !std::ferror(FileOf(stream));
}

bool IsTerminal(StandardStream stream) {
    return _isatty(_fileno(FileOf(stream))) != 0;
}

} // namespace nimbrel::platform
