#pragma once
// Imaging's drawing surface over a QPainter.
#include "imaging/canvas.h"

class QImage;
class QPainter;

namespace nimbrel::qt {

class TQtCanvas : public TCanvas {
public:
    explicit TQtCanvas(QPainter& painter) : painter_(painter) {}

    void StretchDraw(const TRect& dest, const TBitmap& bitmap) override;

private:
    QPainter& painter_;
};

// The bitmap's pixels as an image, without copying them: valid while the bitmap is
// unchanged.
QImage ImageOfBitmap(const TBitmap& bitmap);

} // namespace nimbrel::qt
