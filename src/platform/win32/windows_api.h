#pragma once
// <windows.h> for the backend's sources, without the macros that would rename our own
// functions of the same names (DeleteFile -> DeleteFileA, and so on).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef DeleteFile
#undef ReplaceFile
#undef SetCurrentDirectory
#undef WinHelp
#undef GetProfileString
#undef WriteProfileString
