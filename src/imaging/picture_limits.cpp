#include "imaging/picture_limits.h"

namespace nimbrel {

TPictureLimits& PictureLimits() {
    static TPictureLimits limits;
    return limits;
}

bool WithinPixelBudget(std::int64_t width, std::int64_t height) {
    if (width < 0 || height < 0)
        return false;
    // Both factors are below 2^32, so the product cannot overflow.
    if (width > 0xFFFFFFFFll || height > 0xFFFFFFFFll)
        return false;
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <=
           PictureLimits().MaxPixels;
}

std::string TooLargeText(const char* kind, std::int64_t width, std::int64_t height) {
    return std::string(kind) + " image is too large: " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels";
}

} // namespace nimbrel
