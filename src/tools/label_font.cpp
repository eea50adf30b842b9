#include "tools/label_font.h"

#include "tools/tool_output.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <filesystem>
#include <unordered_map>

namespace nimbrel::tool {
namespace {

// Where Debian's fonts-dejavu-core puts the face, and where other systems keep it.
constexpr const char* FontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/local/share/fonts/DejaVuSans.ttf",
};

constexpr char32_t Ellipsis = U'\u2026';

// A FreeType size for a line height: the face's line spacing is about 1.17 em.
int EmSize(int lineHeight) {
    return std::max(1, lineHeight * 100 / 117);
}

void BlendPixel(TBitmap& bitmap, int x, int y, Rgb colour, unsigned coverage) {
    if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height() || coverage == 0)
        return;
    std::uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;
    const std::uint8_t target[3] = {colour.blue, colour.green, colour.red};
    for (int c = 0; c < 3; ++c)
        pixel[c] = static_cast<std::uint8_t>(
            (target[c] * coverage + pixel[c] * (255 - coverage) + 127) / 255);
}

} // namespace

class LabelFont::Face {
public:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int size = 0;
    std::unordered_map<char32_t, int> advances;

    ~Face() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }

    void SetSize(int lineHeight) {
        if (lineHeight != size && FT_Set_Pixel_Sizes(face, 0, EmSize(lineHeight)) == 0) {
            size = lineHeight;
            advances.clear();
        }
    }

    // A character's own advance at the size set, in pixels (measuring a text to fit it
    // asks for the same few characters many times).
    int GlyphAdvance(char32_t c) {
        if (const auto known = advances.find(c); known != advances.end())
            return known->second;
        const int advance = FT_Load_Char(face, c, FT_LOAD_DEFAULT) == 0
                                ? static_cast<int>(face->glyph->advance.x >> 6)
                                : 0;
        advances.emplace(c, advance);
        return advance;
    }

    // The kerning between `previous` and `c`, in pixels; `previous` becomes c's glyph.
    int Kerning(char32_t c, FT_UInt& previous) {
        const FT_UInt glyph = FT_Get_Char_Index(face, c);
        int advance = 0;
        if (previous != 0 && glyph != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kerning{};
            if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kerning) == 0)
                advance += static_cast<int>(kerning.x >> 6);
        }
        previous = glyph;
        return advance;
    }
};

std::unique_ptr<LabelFont> LabelFont::Open() {
    for (const char* file : FontFiles) {
        std::error_code error;
        if (std::filesystem::is_regular_file(file, error))
            return std::make_unique<LabelFont>(file);
    }
    throw ToolError(std::string("the contact sheet is lettered in DejaVu Sans, which is not "
                                "installed (Debian package fonts-dejavu-core; looked for ") +
                    FontFiles[0] + ")");
}

LabelFont::LabelFont(const std::string& file) : face_(std::make_unique<Face>()) {
    if (FT_Init_FreeType(&face_->library) != 0 ||
        FT_New_Face(face_->library, file.c_str(), 0, &face_->face) != 0)
        throw ToolError(file + ": cannot be read as a font");
}

LabelFont::~LabelFont() = default;

int LabelFont::Width(std::u32string_view text, int size) const {
    face_->SetSize(size);
    FT_UInt previous = 0;
    long width = 0;
    for (const char32_t c : text)
        width += face_->Kerning(c, previous) + face_->GlyphAdvance(c);
    return static_cast<int>(width);
}

std::u32string LabelFont::Fitted(std::u32string_view text, int size, int width, Cut cut) const {
    if (Width(text, size) <= width)
        return std::u32string(text);
    // A middle cut keeps a third of what is kept from the end (a name's extension).
    for (std::size_t kept = text.size(); kept-- > 0;) {
        const std::size_t tail = cut == Cut::Middle ? kept / 3 : 0;
        std::u32string shortened(text.substr(0, kept - tail));
        shortened += Ellipsis;
        shortened += text.substr(text.size() - tail);
        if (Width(shortened, size) <= width)
            return shortened;
    }
    return {};
}

void LabelFont::Draw(TBitmap& bitmap, int x, int y, std::u32string_view text, Rgb colour,
                     int size) const {
    face_->SetSize(size);
    FT_Face face = face_->face;
    // The baseline sits at the face's ascender below the line's top.
    const int baseline = y + static_cast<int>(face->size->metrics.ascender >> 6);
    FT_UInt previous = 0;
    int pen = x;
    for (const char32_t c : text) {
        pen += face_->Kerning(c, previous);
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
            continue;
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& image = glyph->bitmap;
        for (unsigned row = 0; row < image.rows; ++row) {
            const unsigned char* coverage = image.buffer + static_cast<long>(row) * image.pitch;
            for (unsigned column = 0; column < image.width; ++column)
                BlendPixel(bitmap, pen + glyph->bitmap_left + static_cast<int>(column),
                           baseline - glyph->bitmap_top + static_cast<int>(row), colour,
                           coverage[column]);
        }
        pen += static_cast<int>(glyph->advance.x >> 6);
    }
}

} // namespace nimbrel::tool
