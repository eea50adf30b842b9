#include "controls/win32/text.h"

#include "controls/win32/windows_api.h"
#include "platform/codepage1250.h"

namespace nimbrel::win32 {

std::wstring Wide(std::string_view cp1250) {
    std::wstring wide;
    wide.reserve(cp1250.size());
    for (char c : cp1250)
        wide.push_back(WideChar(c));
    return wide;
}

std::string Narrow(std::wstring_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (wchar_t c : text)
        narrow.push_back(NarrowChar(c));
    return narrow;
}

char NarrowChar(wchar_t c) {
    return static_cast<char>(platform::Cp1250FromUnicode(static_cast<char32_t>(c)));
}

wchar_t WideChar(char c) {
    return static_cast<wchar_t>(platform::UnicodeFromCp1250(static_cast<unsigned char>(c)));
}

std::string WindowText(void* window) {
    HWND handle = static_cast<HWND>(window);
    const int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
    return Narrow(text);
}

} // namespace nimbrel::win32
