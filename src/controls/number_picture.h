#pragma once
// A number shown through a numeric picture: "0" a digit place that always prints, "#" one
// that prints only a significant digit, the first "." the decimal separator, any "," asks
// for thousands grouping. Rounding is half away from zero on the decimal digits. Kept free
// of Qt so that it can be used and tested on its own.
#include <string>
#include <string_view>

namespace nimbrel {

std::string RenderPicture(long double value, std::string_view picture, char decimalSeparator,
                          char thousandSeparator);
// With the process-wide separators.
std::string RenderPicture(long double value, std::string_view picture);

} // namespace nimbrel
