#include "changer/bitmap_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace nimbrel::changer {
namespace {

// The source pixels one destination pixel of an axis takes, with their weights (summing
// to 1 << WeightBits).
constexpr int WeightBits = 14;
struct Taps {
    int first = 0;
    std::vector<std::int32_t> weights;
};

// Destination pixel d of `destSize` over a source of `sourceSize`.
Taps TapsFor(int d, int destSize, int sourceSize) {
    const double scale = static_cast<double>(sourceSize) / destSize;
    Taps taps;
    std::vector<double> weights;
    if (scale > 1.0) {
        // Shrinking: the mean of the source pixels the destination pixel covers.
        const double from = d * scale;
        const double to = from + scale;
        taps.first = static_cast<int>(std::floor(from));
        const int last = std::min(sourceSize - 1, static_cast<int>(std::ceil(to)) - 1);
        for (int s = taps.first; s <= last; ++s)
            weights.push_back(std::min<double>(to, s + 1) - std::max<double>(from, s));
    } else {
        // Growing: linear between the two nearest source pixel centres.
        const double centre = std::clamp((d + 0.5) * scale - 0.5, 0.0, sourceSize - 1.0);
        taps.first = static_cast<int>(std::floor(centre));
        const double fraction = centre - taps.first;
        weights.push_back(1.0 - fraction);
        if (taps.first + 1 < sourceSize)
            weights.push_back(fraction);
    }
    double total = 0;
    for (double weight : weights)
        total += weight;
    std::int32_t given = 0;
    for (double weight : weights) {
        const auto fixed =
            static_cast<std::int32_t>(std::lround(weight / total * (1 << WeightBits)));
        taps.weights.push_back(fixed);
        given += fixed;
    }
    taps.weights.front() += (1 << WeightBits) - given; // rounding left over
    return taps;
}

// The source made 24-bit (an 8-bit picture through its palette).
const TBitmap& TwentyFourBit(const TBitmap& source, TBitmap& converted) {
    if (source.PixelFormat() == TPixelFormat::pf24bit)
        return source;
    converted.Assign(source);
    converted.SetPixelFormat(TPixelFormat::pf24bit);
    return converted;
}

} // namespace

BitmapCanvas::BitmapCanvas(TBitmap& target, const TRect& clip) : target_(target) {
    clip_.Left = std::max(0, clip.Left);
    clip_.Top = std::max(0, clip.Top);
    clip_.Right = std::min(target.Width(), clip.Right);
    clip_.Bottom = std::min(target.Height(), clip.Bottom);
}

void BitmapCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
    if (bitmap.Empty() || dest.Width() <= 0 || dest.Height() <= 0)
        return;
    const int left = std::max(dest.Left, clip_.Left);
    const int right = std::min(dest.Right, clip_.Right);
    const int top = std::max(dest.Top, clip_.Top);
    const int bottom = std::min(dest.Bottom, clip_.Bottom);
    if (left >= right || top >= bottom)
        return;
    TBitmap converted;
    const TBitmap& source = TwentyFourBit(bitmap, converted);

    std::vector<Taps> columns;
    columns.reserve(static_cast<std::size_t>(right - left));
    for (int x = left; x < right; ++x)
        columns.push_back(TapsFor(x - dest.Left, dest.Width(), source.Width()));

    // One source row resampled across, kept while the next destination rows need it.
    const auto width = static_cast<std::size_t>(right - left);
    std::vector<std::vector<std::int32_t>> across;
    int acrossFirst = 0;
    auto acrossRow = [&](int sourceRow) -> const std::vector<std::int32_t>& {
        const std::uint8_t* pixels = source.ScanLine(sourceRow);
        std::vector<std::int32_t> row(width * 3);
        for (std::size_t x = 0; x < width; ++x) {
            const Taps& taps = columns[x];
            std::int32_t sum[3] = {0, 0, 0};
            for (std::size_t t = 0; t < taps.weights.size(); ++t) {
                const std::uint8_t* pixel = pixels + 3 * static_cast<std::size_t>(taps.first + t);
                for (int c = 0; c < 3; ++c)
                    sum[c] += pixel[c] * taps.weights[t];
            }
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = sum[c] >> (WeightBits - 6); // 6 bits of fraction kept
        }
        while (!across.empty() && acrossFirst < sourceRow - 64) { // rows left behind
            across.erase(across.begin());
            ++acrossFirst;
        }
        if (across.empty())
            acrossFirst = sourceRow;
        while (acrossFirst + static_cast<int>(across.size()) <= sourceRow)
            across.emplace_back();
        across[static_cast<std::size_t>(sourceRow - acrossFirst)] = std::move(row);
        return across[static_cast<std::size_t>(sourceRow - acrossFirst)];
    };
    auto cached = [&](int sourceRow) -> const std::vector<std::int32_t>& {
        const int index = sourceRow - acrossFirst;
        if (index >= 0 && index < static_cast<int>(across.size()) &&
            !across[static_cast<std::size_t>(index)].empty())
            return across[static_cast<std::size_t>(index)];
        return acrossRow(sourceRow);
    };

    std::vector<std::int64_t> sum(width * 3);
    for (int y = top; y < bottom; ++y) {
        const Taps taps = TapsFor(y - dest.Top, dest.Height(), source.Height());
        std::fill(sum.begin(), sum.end(), 0);
        for (std::size_t t = 0; t < taps.weights.size(); ++t) {
            const std::vector<std::int32_t>& row = cached(taps.first + static_cast<int>(t));
            for (std::size_t i = 0; i < sum.size(); ++i)
                sum[i] += static_cast<std::int64_t>(row[i]) * taps.weights[t];
        }
        std::uint8_t* out = target_.ScanLine(y) + 3 * static_cast<std::size_t>(left);
        constexpr int shift = WeightBits + 6;
        for (std::size_t i = 0; i < sum.size(); ++i)
            out[i] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(
                (sum[i] + (std::int64_t{1} << (shift - 1))) >> shift, 0, 255));
    }
}

} // namespace nimbrel::changer
