#pragma once
// The picture canvas over a Win32 device context: bitmaps are stretched with
// StretchDIBits in halftone mode, straight from the bitmap's own pixels.
#include "imaging/canvas.h"

struct HDC__;

namespace nimbrel::win32 {

class TWin32Canvas : public TCanvas {
public:
    explicit TWin32Canvas(HDC__* dc) : dc_(dc) {}
    void StretchDraw(const TRect& dest, const TBitmap& bitmap) override;

private:
    HDC__* dc_;
};

} // namespace nimbrel::win32
