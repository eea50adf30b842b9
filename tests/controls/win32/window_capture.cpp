#include "tests/controls/win32/window_capture.h"

#include <cstdint>
#include <cstring>

namespace nimbrel::test {

void CaptureWindow(HWND window, TBitmap& shot) {
    RECT frame{};
    GetWindowRect(window, &frame);
    shot.SetSize(frame.right - frame.left, frame.bottom - frame.top);
    HDC windowDc = GetWindowDC(window);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.Width();
    info.bmiHeader.biHeight = -shot.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(windowDc);
    HGDIOBJ previous = SelectObject(memory, section);
    BitBlt(memory, 0, 0, shot.Width(), shot.Height(), windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    for (int row = 0; row < shot.Height(); ++row)
        std::memcpy(shot.ScanLine(row), static_cast<std::uint8_t*>(bits) + row * shot.RowStep(),
                    shot.RowBytes());
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(section);
    ReleaseDC(window, windowDc);
}

} // namespace nimbrel::test
