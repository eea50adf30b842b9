#include "platform/utf8.h"

namespace nimbrel::platform {
namespace {

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length a lead byte announces and the smallest code point of that length (to refuse
// overlong forms); 0 for a byte that cannot start a sequence.
struct Lead {
    int length;
    char32_t bits;
    char32_t minimum;
};

Lead LeadOf(unsigned char c) {
    if (c < 0x80)
        return {1, c, 0};
    if ((c & 0xE0) == 0xC0)
        return {2, char32_t(c & 0x1F), 0x80};
    if ((c & 0xF0) == 0xE0)
        return {3, char32_t(c & 0x0F), 0x800};
    if ((c & 0xF8) == 0xF0)
        return {4, char32_t(c & 0x07), 0x10000};
    return {0, 0, 0};
}

} // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    DecodeUtf8Into(text, out);
    return out;
}

void DecodeUtf8Into(std::string_view text, std::u32string& out) {
    out.clear();
    std::size_t i = 0;
    // Most names are ASCII: their bytes are their code points.
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    out.assign(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(i));
    while (i < text.size()) {
        const Lead lead = LeadOf(static_cast<unsigned char>(text[i]));
        if (lead.length == 0 || i + lead.length > text.size()) {
            out.push_back(ReplacementCharacter);
            ++i;
            continue;
        }
        char32_t c = lead.bits;
        bool ok = true;
        for (int k = 1; k < lead.length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (!IsContinuation(byte)) {
                ok = false;
                break;
            }
            c = (c << 6) | (byte & 0x3F);
        }
        if (!ok || c < lead.minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(ReplacementCharacter);
            ++i;
            continue;
        }
        out.push_back(c);
        i += lead.length;
    }
}

bool IsValidUtf8(std::string_view text) {
    for (char32_t c : DecodeUtf8(text))
        if (c == ReplacementCharacter)
            return false;
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text)
        AppendUtf8(out, c);
    return out;
}

} // namespace nimbrel::platform
