#pragma once
// A canvas over a 24-bit bitmap: stretch drawing resamples the source smoothly (the mean of
// the covered pixels when shrinking, linear between pixels when growing), drawing only what
// falls inside a clip rectangle. Pictures draw themselves through it as onto a screen, so a
// JPEG picture decodes at the reduced scale that still covers the rectangle.
#include "imaging/bitmap.h"
#include "imaging/canvas.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace nimbrel::render {

class BitmapCanvas : public TCanvas {
public:
    // `target` must be a 24-bit bitmap; nothing is drawn outside `clip` or the bitmap.
    BitmapCanvas(TBitmap& target, const TRect& clip);
    // Waits for a draw still following a decode (one that failed leaves it unfinished).
    ~BitmapCanvas() override;
    BitmapCanvas(const BitmapCanvas&) = delete;
    BitmapCanvas& operator=(const BitmapCanvas&) = delete;

    void StretchDraw(const TRect& dest, const TBitmap& bitmap) override;

    // A picture being decoded into `bitmap`, its top `rows` final, that will be drawn into
    // `dest`: the first call starts resampling it on another processor, row by row behind
    // the decoder, and the StretchDraw of that bitmap at the end only waits for the last
    // rows. The pixels are those of a StretchDraw of the whole bitmap.
    void RowsDecoded(const TRect& dest, const TBitmap& bitmap, int rows);

private:
    // Blocks until `count` source rows are final; false when no more will come.
    bool WaitForSourceRows(int count);
    void StopFollowing(int finalRows);

    TBitmap& target_;
    TRect clip_;

    std::thread follower_;
    const TBitmap* followed_ = nullptr;
    TRect followedDest_;
    std::mutex mutex_;
    std::condition_variable rowsArrived_;
    int rowsDecoded_ = 0;
    bool decodeOver_ = false;
    bool declined_ = false; // the picture being decoded is drawn at the end, as usual
};

} // namespace nimbrel::render
