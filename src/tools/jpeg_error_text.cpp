#include "tools/jpeg_error_text.h"

#include <cctype>
#include <cstdio>

#include <jpeglib.h>

namespace nimbrel::tool {

std::string JpegErrorMeaning(int code) {
    jpeg_error_mgr manager{};
    jpeg_std_error(&manager);
    if (code <= 0 || code > manager.last_jpeg_message || !manager.jpeg_message_table[code])
        return std::string();
    std::string text = manager.jpeg_message_table[code];
    // "Not a JPEG file: starts with 0x%02x 0x%02x": the parameters are not known here.
    if (const std::size_t parameter = text.find('%'); parameter != std::string::npos) {
        const std::size_t colon = text.rfind(':', parameter);
        text.erase(colon != std::string::npos ? colon : parameter);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == ',' || text.back() == '.'))
        text.pop_back();
    // "Bogus marker length" reads on after a colon as "bogus marker length"; "JPEG ..." stays.
    if (text.size() > 1 && std::isupper(static_cast<unsigned char>(text[0])) &&
        !std::isupper(static_cast<unsigned char>(text[1])))
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

} // namespace nimbrel::tool
