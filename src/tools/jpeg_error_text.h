#pragma once
// What the JPEG library's message codes mean, for a person reading "JPEG error #N".
#include <string>

namespace nimbrel::tool {

// The linked library's own text for `code` without its parameters and with a small first
// letter ("not a JPEG file"); empty for a code the library does not know.
std::string JpegErrorMeaning(int code);

} // namespace nimbrel::tool
