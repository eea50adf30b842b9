#pragma once
// The dialog's text is code page 1250; the windows get UTF-16, whatever the process's
// ANSI code page is.
#include <string>
#include <string_view>

namespace nimbrel::win32 {

std::wstring Wide(std::string_view cp1250);
std::string Narrow(std::wstring_view text);
// One typed character; '?' for one that 1250 cannot hold.
char NarrowChar(wchar_t c);
wchar_t WideChar(char c);
// A window's whole text.
std::string WindowText(void* window);

} // namespace nimbrel::win32
