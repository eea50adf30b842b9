#include "controls/number_picture.h"

#include "sysutil/format_settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace nimbrel {
namespace {

bool IsDigitPlace(char c) {
    return c == '0' || c == '#';
}

// What the rendering needs to know of a picture.
struct PictureLayout {
    int fractionPlaces = 0;  // digit places after the first "."
    int fractionMinimum = 0; // ...of which always printed: up to the last "0"
    int integerMinimum = 0;  // digit places before the "." from the first "0" on
    bool grouping = false;   // a "," anywhere
};

PictureLayout Analyse(std::string_view picture) {
    // Only the first section of a sectioned picture is used.
    picture = picture.substr(0, picture.find(';'));
    PictureLayout layout;
    const std::size_t point = picture.find('.');
    const std::string_view integerPart = picture.substr(0, point);
    const std::string_view fractionPart =
        point == std::string_view::npos ? std::string_view() : picture.substr(point + 1);

    bool zeroSeen = false;
    for (char c : integerPart) {
        zeroSeen = zeroSeen || c == '0';
        if (IsDigitPlace(c) && zeroSeen) {
            ++layout.integerMinimum;
        }
    }
    for (char c : fractionPart) {
        if (IsDigitPlace(c)) {
            ++layout.fractionPlaces;
            if (c == '0') {
                layout.fractionMinimum = layout.fractionPlaces;
            }
        }
    }
    layout.grouping = picture.find(',') != std::string_view::npos;
    return layout;
}

// The digits of round(magnitude * 10^fractionPlaces), half away from zero on the decimal
// digits (18 significant ones, all that the extended type holds), without leading zeros.
std::string ScaledDigits(long double magnitude, int fractionPlaces) {
    if (magnitude == 0) {
        return {};
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17Le", magnitude);
    std::string significant;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            significant.push_back(*p);
        }
    }
    // The first significant digit is worth 10^exponent; keep those worth 10^-fractionPlaces
    // or more.
    const long exponent = std::strtol(p + 1, nullptr, 10);
    const long keep = exponent + 1 + fractionPlaces;
    if (keep < 0) {
        return {};
    }
    std::string digits = significant.substr(0, static_cast<std::size_t>(keep));
    const bool roundUp = static_cast<std::size_t>(keep) < significant.size() &&
                         significant[static_cast<std::size_t>(keep)] >= '5';
    if (static_cast<std::size_t>(keep) > significant.size()) {
        digits.append(static_cast<std::size_t>(keep) - significant.size(), '0');
    }
    if (roundUp) {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
    }
    return digits;
}

std::string Grouped(const std::string& digits, char separator) {
    std::string result;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            result.push_back(separator);
        }
        result.push_back(digits[i]);
    }
    return result;
}

} // namespace

std::string RenderPicture(long double value, std::string_view picture, char decimalSeparator,
                          char thousandSeparator) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    const PictureLayout layout = Analyse(picture);
    const auto places = static_cast<std::size_t>(layout.fractionPlaces);

    std::string digits = ScaledDigits(std::fabs(value), layout.fractionPlaces);
    const bool nonZero = !digits.empty();
    if (digits.size() < places) {
        digits.insert(0, places - digits.size(), '0');
    }
    std::string integer = digits.substr(0, digits.size() - places);
    std::string fraction = digits.substr(digits.size() - places);

    if (integer.size() < static_cast<std::size_t>(layout.integerMinimum)) {
        integer.insert(0, layout.integerMinimum - integer.size(), '0');
    }
    while (fraction.size() > static_cast<std::size_t>(layout.fractionMinimum) &&
           fraction.back() == '0') {
        fraction.pop_back();
    }

    std::string text;
    // A negative number that shows as zero (and the negative zero) gets no sign.
    if (value < 0 && nonZero) {
        text.push_back('-');
    }
    text += layout.grouping ? Grouped(integer, thousandSeparator) : integer;
    if (!fraction.empty()) {
        text.push_back(decimalSeparator);
        text += fraction;
    }
    return text;
}

std::string RenderPicture(long double value, std::string_view picture) {
    const TFormatSettings& settings = FormatSettings();
    return RenderPicture(value, picture, settings.DecimalSeparator, settings.ThousandSeparator);
}

} // namespace nimbrel
