#pragma once
// The layout's pixels are 96-dpi pixels; the windows are made at the screen's DPI.
namespace nimbrel::win32 {

// The screen's logical pixels per inch (96 when it cannot be asked).
int ScreenDpi();
// A length of the layout in screen pixels.
int Scaled(int pixels96);
// A screen length back in layout pixels.
int Unscaled(int pixels);

} // namespace nimbrel::win32
