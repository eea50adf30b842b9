#include "changer/win32/program_output.h"

#include "changer/win32/windows_api.h"

#include <string>

namespace nimbrel::changer {
namespace {

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// The console of the parent, once: a GUI program is given none of its own.
HANDLE ParentConsole() {
    static const HANDLE console = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return INVALID_HANDLE_VALUE;
        return CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }();
    return console;
}

// A console shows characters, not bytes of a code page: the text goes over as UTF-16.
bool WriteConsoleText(HANDLE console, std::string_view text) {
    std::string lines;
    for (const char c : text) {
        if (c == '\n')
            lines += '\r';
        lines += c;
    }
    const int size = static_cast<int>(lines.size());
    const int wideSize = MultiByteToWideChar(CP_ACP, 0, lines.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    MultiByteToWideChar(CP_ACP, 0, lines.data(), size, wide.data(), wideSize);
    DWORD done = 0;
    return WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr) &&
           done == wide.size();
}

bool WriteBytes(HANDLE handle, std::string_view text) {
    DWORD done = 0;
    return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
           done == text.size();
}

} // namespace

bool WriteToOutput(OutputStream stream, std::string_view text) {
    const HANDLE given =
        GetStdHandle(stream == OutputStream::Error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (Usable(given)) {
        DWORD mode = 0;
        return GetConsoleMode(given, &mode) ? WriteConsoleText(given, text)
                                            : WriteBytes(given, text);
    }
    const HANDLE console = ParentConsole();
    return Usable(console) && WriteConsoleText(console, text);
}

void ShowText(OutputStream stream, std::string_view text) {
    if (WriteToOutput(stream, text))
        return;
    const std::string message(text);
    MessageBoxA(nullptr, message.c_str(), "Nimbrel wallpaper changer",
                MB_OK | (stream == OutputStream::Error ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace nimbrel::changer
