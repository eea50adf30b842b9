#include "imaging/picture_fit.h"

namespace nimbrel {

TFitSize FitInBox(int width, int height, int boxWidth, int boxHeight) {
    const auto w = static_cast<long long>(width), h = static_cast<long long>(height);
    if (w * boxHeight > h * boxWidth)
        return {boxWidth, static_cast<int>(h * boxWidth / w)};
    return {static_cast<int>(w * boxHeight / h), boxHeight};
}

int ScaledSize(int size, TOutputScale scale) {
    const int denominator = 1 << static_cast<int>(scale);
    return (size + denominator - 1) / denominator;
}

TOutputScale CoveringScale(int width, int height, int coverWidth, int coverHeight,
                           TOutputScale finest) {
    auto scale = static_cast<int>(finest);
    const int coarsest = static_cast<int>(TOutputScale::ScaleEighth);
    while (scale < coarsest) {
        const auto next = static_cast<TOutputScale>(scale + 1);
        if (ScaledSize(width, next) < coverWidth || ScaledSize(height, next) < coverHeight)
            break;
        ++scale;
    }
    return static_cast<TOutputScale>(scale);
}

} // namespace nimbrel
