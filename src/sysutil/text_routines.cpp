#include "sysutil/text_routines.h"

#include <algorithm>
#include <cmath>

namespace nimbrel {

char UpperChar(char c) {
    switch (static_cast<unsigned char>(c)) {
    case 154: // š
        return static_cast<char>(138);
    case 158: // ž
        return static_cast<char>(142);
    case 232: // č
        return static_cast<char>(200);
    default:
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
}

std::string UpperText(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), UpperChar);
    return result;
}

std::string NumToText(std::int32_t value, int width) {
    constexpr int maxWidth = 255;
    std::string digits = std::to_string(value);
    const auto field = static_cast<std::size_t>(std::clamp(width, 0, maxWidth));
    if (digits.size() < field)
        digits.insert(0, field - digits.size(), ' ');
    return digits;
}

long double SignedPower(long double base, long double exponent) {
    if (base == 0)
        return 0;
    // The parity of the whole part decides the sign; a whole part beyond 32 bits (or no
    // number at all) is clamped rather than left to an undefined conversion.
    const long double whole = std::isnan(exponent) ? 0.0L : std::trunc(exponent);
    const auto wholePart =
        static_cast<std::int64_t>(std::clamp(whole, -2147483648.0L, 2147483647.0L));
    const long double magnitude = std::exp(exponent * std::log(std::fabs(base)));
    return wholePart % 2 == 0 ? magnitude : SignOf(base) * magnitude;
}

long double SignOf(long double value) {
    if (value < 0)
        return -1;
    return value > 0 ? 1 : 0;
}

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

void MapNationalChar(char& c) {
    // Yugoslav ISO 646 positions, then DOS Latin-2 (852) positions, into code page 1250.
    static constexpr struct {
        unsigned char typed;
        unsigned char mapped;
    } table[] = {
        {64, 142},  {91, 138},  {94, 200},  {96, 158},  {123, 154}, {126, 232},
        {159, 232}, {166, 142}, {167, 158}, {172, 200}, {230, 138}, {231, 154},
    };
    const auto code = static_cast<unsigned char>(c);
    for (const auto& entry : table) {
        if (entry.typed == code) {
            c = static_cast<char>(entry.mapped);
            return;
        }
    }
}

std::string ChildPath(std::string_view parent, std::string_view name) {
    std::string path(parent);
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    path += name;
    return path;
}

} // namespace nimbrel
