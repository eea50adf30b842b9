// The scale rule: the fit of a picture into a box and the coarsest reduced decode that
// still covers what is shown.
#include "imaging/picture_fit.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(PictureFit, FitKeepsProportionsAndRoundsDown) {
    const struct {
        int width, height, boxWidth, boxHeight, fitWidth, fitHeight;
    } cases[] = {
        {1600, 1200, 160, 120, 160, 120}, // same proportions
        {1920, 1080, 160, 120, 160, 90},  // wider than the box
        {1080, 1920, 160, 120, 67, 120},  // taller: 67.5 rounds down
        {40, 30, 160, 120, 160, 120},     // a small picture is fitted up
        {100000, 1, 160, 120, 160, 0},    // a sliver may come to nothing
    };
    for (const auto& c : cases) {
        const TFitSize fit = FitInBox(c.width, c.height, c.boxWidth, c.boxHeight);
        EXPECT_EQ(fit.Width, c.fitWidth) << c.width << "x" << c.height;
        EXPECT_EQ(fit.Height, c.fitHeight) << c.width << "x" << c.height;
    }
}

TEST(PictureFit, CoveringScaleIsTheCoarsestThatStillCovers) {
    using enum TOutputScale;
    const struct {
        int width, height, coverWidth, coverHeight;
        TOutputScale finest, expected;
    } cases[] = {
        {1600, 1200, 160, 120, ScaleFull, ScaleEighth},  // 200x150 at an eighth
        {1600, 1200, 401, 300, ScaleFull, ScaleHalf},    // a quarter gives 400 < 401
        {1601, 1200, 401, 300, ScaleFull, ScaleQuarter}, // 1601/4 rounds up to 401
        {1600, 1200, 1600, 1200, ScaleFull, ScaleFull},  // nothing to spare
        {1600, 1200, 65, 49, ScaleQuarter, ScaleEighth}, // the preview's box
        {1600, 1200, 1600, 1200, ScaleHalf, ScaleHalf},  // never finer than asked
    };
    for (const auto& c : cases)
        EXPECT_EQ(CoveringScale(c.width, c.height, c.coverWidth, c.coverHeight, c.finest),
                  c.expected)
            << c.width << "x" << c.height << " covering " << c.coverWidth << "x" << c.coverHeight;
}

} // namespace
} // namespace nimbrel
