#include "render/bitmap_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace nimbrel::render {
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

// The taps of destination pixels [from, to) of an axis, flat and all as many: pixel i takes
// `taps` source pixels from first[i] on, with the weights from i * taps on, those it does
// not need weighing nothing. The same count everywhere lets the loops run without a branch.
struct AxisTaps {
    std::vector<int> first;
    std::vector<std::int32_t> weights;
    int taps = 0;
};

AxisTaps AxisFor(int from, int to, int destSize, int sourceSize) {
    std::vector<Taps> each;
    AxisTaps axis;
    for (int d = from; d < to; ++d) {
        each.push_back(TapsFor(d, destSize, sourceSize));
        axis.taps = std::max(axis.taps, static_cast<int>(each.back().weights.size()));
    }
    axis.weights.assign(each.size() * static_cast<std::size_t>(axis.taps), 0);
    for (std::size_t i = 0; i < each.size(); ++i) {
        // Near the far edge the span starts earlier, so that it stays inside the source.
        const int first = std::min(each[i].first, sourceSize - axis.taps);
        axis.first.push_back(first);
        std::int32_t* weights = axis.weights.data() + i * static_cast<std::size_t>(axis.taps);
        for (std::size_t k = 0; k < each[i].weights.size(); ++k)
            weights[static_cast<std::size_t>(each[i].first - first) + k] = each[i].weights[k];
    }
    return axis;
}

// One source row resampled across into `out` (three sums a pixel, 6 bits of fraction kept
// for the second pass); `FixedTaps` > 0 fixes the count at compile time.
template <int FixedTaps>
void Across(const std::uint8_t* pixels, const AxisTaps& columns, std::size_t width,
            std::int32_t* out) {
    const int taps = FixedTaps > 0 ? FixedTaps : columns.taps;
    const std::int32_t* weight = columns.weights.data();
    for (std::size_t x = 0; x < width; ++x, weight += taps) {
        const std::uint8_t* pixel = pixels + 3 * static_cast<std::size_t>(columns.first[x]);
        std::int32_t blue = 0, green = 0, red = 0;
        for (int t = 0; t < taps; ++t, pixel += 3) {
            blue += pixel[0] * weight[t];
            green += pixel[1] * weight[t];
            red += pixel[2] * weight[t];
        }
        out[3 * x] = blue >> (WeightBits - 6);
        out[3 * x + 1] = green >> (WeightBits - 6);
        out[3 * x + 2] = red >> (WeightBits - 6);
    }
}

void AcrossRow(const std::uint8_t* pixels, const AxisTaps& columns, std::size_t width,
               std::int32_t* out) {
    switch (columns.taps) {
    case 1:
        return Across<1>(pixels, columns, width, out);
    case 2:
        return Across<2>(pixels, columns, width, out);
    case 3:
        return Across<3>(pixels, columns, width, out);
    case 4:
        return Across<4>(pixels, columns, width, out);
    default:
        return Across<0>(pixels, columns, width, out);
    }
}

// The source made 24-bit (an 8-bit picture through its palette).
const TBitmap& TwentyFourBit(const TBitmap& source, TBitmap& converted) {
    if (source.PixelFormat() == TPixelFormat::pf24bit)
        return source;
    converted.Assign(source);
    converted.SetPixelFormat(TPixelFormat::pf24bit);
    return converted;
}

// What a stretch draw computes once: the clipped destination and the taps of both axes.
struct Resampling {
    int left = 0, top = 0, bottom = 0;
    std::size_t width = 0;
    AxisTaps columns, rows;
};

// Null when nothing of `dest` is inside `clip`.
std::unique_ptr<Resampling> PlanResampling(const TRect& dest, const TRect& clip,
                                           const TBitmap& source) {
    const int left = std::max(dest.Left, clip.Left);
    const int right = std::min(dest.Right, clip.Right);
    const int top = std::max(dest.Top, clip.Top);
    const int bottom = std::min(dest.Bottom, clip.Bottom);
    if (source.Empty() || dest.Width() <= 0 || dest.Height() <= 0 || left >= right || top >= bottom)
        return nullptr;
    auto plan = std::make_unique<Resampling>();
    plan->left = left;
    plan->top = top;
    plan->bottom = bottom;
    plan->width = static_cast<std::size_t>(right - left);
    plan->columns = AxisFor(left - dest.Left, right - dest.Left, dest.Width(), source.Width());
    plan->rows = AxisFor(top - dest.Top, bottom - dest.Top, dest.Height(), source.Height());
    return plan;
}

// A screen of pixels is worth a second processor; a small picture is not.
bool WorthSecondProcessor(const Resampling& plan) {
    constexpr std::size_t FromPixels = 256 * 1024;
    return plan.width * static_cast<std::size_t>(plan.bottom - plan.top) >= FromPixels &&
           std::thread::hardware_concurrency() >= 2;
}

// Rows [from, to) of the clipped destination drawn into `target` from the 24-bit `source`.
// With `waitForRows`, a source row is read only once it says that many rows are final;
// false when it said none would come any more (the rest is left undrawn).
bool DrawRows(const Resampling& plan, const TBitmap& source, TBitmap& target, int from, int to,
              const std::function<bool(int)>& waitForRows = nullptr) {
    const AxisTaps& rows = plan.rows;
    const std::size_t width = plan.width;
    // Source rows resampled across, in a ring as deep as the most rows one destination
    // row takes: the rows a destination row needs are consecutive and never more than
    // that.
    const int ringSize = rows.taps + 1;
    std::vector<std::int32_t> ring(static_cast<std::size_t>(ringSize) * width * 3);
    std::vector<int> rowInSlot(static_cast<std::size_t>(ringSize), -1);
    auto across = [&](int sourceRow) -> const std::int32_t* {
        const auto slot = static_cast<std::size_t>(sourceRow % ringSize);
        std::int32_t* out = ring.data() + slot * width * 3;
        if (rowInSlot[slot] != sourceRow) {
            rowInSlot[slot] = sourceRow;
            AcrossRow(source.ScanLine(sourceRow), plan.columns, width, out);
        }
        return out;
    };

    // At most 255 << 6 times weights summing to 1 << 14: within 32 bits.
    std::vector<std::int32_t> sum(width * 3);
    constexpr int shift = WeightBits + 6;
    for (int y = from; y < to; ++y) {
        const auto i = static_cast<std::size_t>(y - plan.top);
        if (waitForRows && !waitForRows(rows.first[i] + rows.taps))
            return false;
        std::fill(sum.begin(), sum.end(), 0);
        const std::int32_t* weights = rows.weights.data() + i * static_cast<std::size_t>(rows.taps);
        for (int t = 0; t < rows.taps; ++t) {
            const std::int32_t weight = weights[t];
            if (weight == 0)
                continue; // a row this one does not take
            const std::int32_t* __restrict row = across(rows.first[i] + t);
            std::int32_t* __restrict sums = sum.data();
            for (std::size_t k = 0; k < sum.size(); ++k)
                sums[k] += row[k] * weight;
        }
        std::uint8_t* out = target.ScanLine(y) + 3 * static_cast<std::size_t>(plan.left);
        for (std::size_t k = 0; k < sum.size(); ++k)
            out[k] = static_cast<std::uint8_t>(
                std::clamp((sum[k] + (1 << (shift - 1))) >> shift, 0, 255));
    }
    return true;
}

} // namespace

BitmapCanvas::BitmapCanvas(TBitmap& target, const TRect& clip) : target_(target) {
    clip_.Left = std::max(0, clip.Left);
    clip_.Top = std::max(0, clip.Top);
    clip_.Right = std::min(target.Width(), clip.Right);
    clip_.Bottom = std::min(target.Height(), clip.Bottom);
}

BitmapCanvas::~BitmapCanvas() {
    StopFollowing(0);
}

void BitmapCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
    if (follower_.joinable()) {
        // The picture followed while it decoded: all its rows are final now.
        const bool followed = &bitmap == followed_ && dest == followedDest_;
        StopFollowing(followed ? bitmap.Height() : 0);
        if (followed)
            return;
    }
    declined_ = false;
    TBitmap converted;
    const TBitmap& source = TwentyFourBit(bitmap, converted);
    const std::unique_ptr<Resampling> plan = PlanResampling(dest, clip_, source);
    if (!plan)
        return;

    // A screen-sized picture in two halves at once where there are two processors: each
    // row is computed alike either way, so the pixels are the same.
    const int middle = plan->top + (plan->bottom - plan->top) / 2;
    if (!WorthSecondProcessor(*plan)) {
        DrawRows(*plan, source, target_, plan->top, plan->bottom);
        return;
    }
    std::thread upper;
    try {
        upper = std::thread([&] { DrawRows(*plan, source, target_, plan->top, middle); });
    } catch (const std::system_error&) {
        DrawRows(*plan, source, target_, plan->top, plan->bottom); // no thread: all here
        return;
    }
    DrawRows(*plan, source, target_, middle, plan->bottom);
    upper.join();
}

void BitmapCanvas::RowsDecoded(const TRect& dest, const TBitmap& bitmap, int rows) {
    if (follower_.joinable()) {
        if (&bitmap == followed_) {
            const std::lock_guard lock(mutex_);
            rowsDecoded_ = rows;
        }
        rowsArrived_.notify_all();
        return;
    }
    if (declined_)
        return;
    declined_ = true; // unless the follower starts below
    // An 8-bit picture is made 24-bit whole first: drawn at the end.
    if (bitmap.PixelFormat() != TPixelFormat::pf24bit)
        return;
    std::shared_ptr<Resampling> plan = PlanResampling(dest, clip_, bitmap);
    if (!plan || !WorthSecondProcessor(*plan))
        return;
    followed_ = &bitmap;
    followedDest_ = dest;
    rowsDecoded_ = rows;
    decodeOver_ = false;
    try {
        follower_ = std::thread([this, plan, &bitmap] {
            DrawRows(*plan, bitmap, target_, plan->top, plan->bottom,
                     [this](int count) { return WaitForSourceRows(count); });
        });
        declined_ = false;
    } catch (const std::system_error&) {
        followed_ = nullptr; // no thread to be had: drawn at the end
    }
}

bool BitmapCanvas::WaitForSourceRows(int count) {
    std::unique_lock lock(mutex_);
    rowsArrived_.wait(lock, [&] { return rowsDecoded_ >= count || decodeOver_; });
    return rowsDecoded_ >= count;
}

void BitmapCanvas::StopFollowing(int finalRows) {
    if (!follower_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        rowsDecoded_ = std::max(rowsDecoded_, finalRows);
        decodeOver_ = true;
    }
    rowsArrived_.notify_all();
    follower_.join();
    followed_ = nullptr;
    declined_ = false;
}

} // namespace nimbrel::render
