// The contact sheet's lettering in a build without FreeType (the Windows cross build):
// asking for the font says so, and nothing is drawn.
#include "tools/label_font.h"

#include "tools/tool_output.h"

#include <algorithm>

namespace nimbrel::tool {

class LabelFont::Face {};

std::unique_ptr<LabelFont> LabelFont::Open() {
    throw ToolError("this build of nimbrel-tool draws no contact sheet (it has no FreeType)");
}

LabelFont::LabelFont(const std::string&) {
    throw ToolError("this build of nimbrel-tool draws no contact sheet (it has no FreeType)");
}
LabelFont::~LabelFont() = default;
int LabelFont::Width(std::u32string_view, int) const {
    return 0;
}
std::u32string LabelFont::Fitted(std::u32string_view text, int, int, Cut) const {
    return std::u32string(text);
}
void LabelFont::Draw(TBitmap&, int, int, std::u32string_view, Rgb, int) const {}

} // namespace nimbrel::tool
