#pragma once
// The scale rule, once: how large a picture is shown in a box with its proportions kept,
// and the smallest reduced JPEG decode that still covers what is shown. The preview, the
// folder report's thumbnails, the contact sheet (and the changer) all size pictures so.
#include "imaging/jpeg_image.h"

namespace nimbrel {

struct TFitSize {
    int Width = 0;
    int Height = 0;
};

// The largest size within `boxWidth` x `boxHeight` with the proportions of a `width` x
// `height` picture, rounded down; the picture's own size is not looked at (a small picture
// is fitted up). `width` and `height` must be above 0.
TFitSize FitInBox(int width, int height, int boxWidth, int boxHeight);

// The size of one side decoded at `scale`: the JPEG library rounds scaled sizes up.
int ScaledSize(int size, TOutputScale scale);

// The coarsest scale from `finest` on at which a `width` x `height` picture is still at
// least `coverWidth` x `coverHeight`: decoding at it loses nothing that is shown.
TOutputScale CoveringScale(int width, int height, int coverWidth, int coverHeight,
                           TOutputScale finest = TOutputScale::ScaleFull);

} // namespace nimbrel
