#pragma once
// What a Win32 window shows, read back for a test: the frontend tests and the dialog
// driver both check painted pixels and save page pictures from it.
#include "controls/win32/windows_api.h"
#include "imaging/bitmap.h"

namespace nimbrel::test {

// The pixels of a window, frame included, as drawn now: 24 bits, rows top-down.
void CaptureWindow(HWND window, TBitmap& shot);

} // namespace nimbrel::test
