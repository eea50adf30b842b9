#pragma once
// A canvas that records what is drawn on it.
#include "imaging/bitmap.h"
#include "imaging/canvas.h"

#include <vector>

namespace nimbrel::test {

class RecordingCanvas : public TCanvas {
public:
    struct Call {
        TRect dest;
        const TBitmap* bitmap;
        int width;
        int height;
    };
    void StretchDraw(const TRect& dest, const TBitmap& bitmap) override {
        calls.push_back({dest, &bitmap, bitmap.Width(), bitmap.Height()});
    }
    std::vector<Call> calls;
};

} // namespace nimbrel::test
