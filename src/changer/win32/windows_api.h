#pragma once
// <windows.h> for the Windows changer, without the macros that would rename functions of
// our own libraries (GetProfileString -> GetProfileStringA, and so on).
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
#undef GetProfileString
#undef WriteProfileString
