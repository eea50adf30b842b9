#pragma once
// <windows.h>, the common controls and their themes for the Win32 frontend's sources,
// without the macros that would rename functions of our own (ShowMessageBox is ours,
// MessageBox theirs).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#undef WinHelp
// The clipboard format of that name is a constant of imaging/graphic.h.
#undef CF_DIB
