#pragma once
// A canvas over a 24-bit bitmap: stretch drawing resamples the source smoothly (the mean of
// the covered pixels when shrinking, linear between pixels when growing), drawing only what
// falls inside a clip rectangle. Pictures draw themselves through it as onto a screen, so a
// JPEG picture decodes at the reduced scale that still covers the rectangle.
#include "imaging/bitmap.h"
#include "imaging/canvas.h"

namespace nimbrel::render {

class BitmapCanvas : public TCanvas {
public:
    // `target` must be a 24-bit bitmap; nothing is drawn outside `clip` or the bitmap.
    BitmapCanvas(TBitmap& target, const TRect& clip);
    void StretchDraw(const TRect& dest, const TBitmap& bitmap) override;

private:
    TBitmap& target_;
    TRect clip_;
};

} // namespace nimbrel::render
