#pragma once
// The contact sheet's lettering: a scalable font (DejaVu Sans, Debian's fonts-dejavu-core)
// drawn through FreeType, anti-aliased, straight into a 24-bit bitmap. Text is Unicode,
// so a name of code page 1250 shows its accented letters as they are.
#include "imaging/bitmap.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace nimbrel::tool {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
};

class LabelFont {
public:
    // The sheet's font from where its package puts it; raises ToolError naming the package
    // when it is not there (or this build has no FreeType).
    static std::unique_ptr<LabelFont> Open();

    // Raises ToolError when the file cannot be read as a font.
    explicit LabelFont(const std::string& file);
    ~LabelFont();
    LabelFont(const LabelFont&) = delete;
    LabelFont& operator=(const LabelFont&) = delete;

    // A size is the height of a line in pixels, from its top to the next line's.
    int Width(std::u32string_view text, int size) const;
    // How a text too wide is cut: in the middle (a name keeps its start and its extension)
    // or at its end; an ellipsis stands for what was cut.
    enum class Cut { Middle, End };
    // `text` as it is when it fits in `width`, else cut to fit.
    std::u32string Fitted(std::u32string_view text, int size, int width, Cut cut) const;
    // Draws `text` with the top of its line at (x, y); what falls outside the bitmap is cut.
    void Draw(TBitmap& bitmap, int x, int y, std::u32string_view text, Rgb colour, int size) const;

    class Face; // FreeType's library and face, released together

private:
    std::unique_ptr<Face> face_;
};

} // namespace nimbrel::tool
