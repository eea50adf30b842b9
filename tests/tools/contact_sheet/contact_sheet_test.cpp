// The contact sheet's lettering: a scalable font whose labels show accents, fit the cell
// and never cut a picture's size.
#include "tools/contact_sheet.h"
#include "tools/label_font.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbrel::tool {
namespace {

using wallpaper::FileReport;
using wallpaper::Verdict;

std::unique_ptr<TBitmap> Blank(int width, int height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(TPixelFormat::pf24bit);
    bitmap->SetSize(width, height);
    for (int row = 0; row < height; ++row)
        std::fill_n(bitmap->ScanLine(row), 3 * width, std::uint8_t{0});
    return bitmap;
}

// The pixels of a rectangle, row by row.
std::string Pixels(const TBitmap& bitmap, int x, int y, int width, int height) {
    std::string pixels;
    for (int row = y; row < y + height; ++row)
        pixels.append(reinterpret_cast<const char*>(bitmap.ScanLine(row)) + 3 * x, 3 * width);
    return pixels;
}

// A label drawn alone, with room around it to see what spills.
std::unique_ptr<TBitmap> Label(const LabelFont& font, const FileReport& report) {
    auto bitmap = Blank(CellWidth + 40, 2 * LabelSize + 10);
    DrawLabel(*bitmap, font, 0, 0, report);
    return bitmap;
}

bool Empty(const std::string& pixels) {
    return pixels.find_first_not_of('\0') == std::string::npos;
}

TEST(ContactSheet, LongNamesAreCutInTheMiddleKeepingTheirExtension) {
    const auto font = LabelFont::Open();
    const std::u32string name = U"Žluťoučký kůň úpěl ďábelské ódy, podzim 2019, panorama.JPG";
    const std::u32string fitted = font->Fitted(name, LabelSize, CellWidth, LabelFont::Cut::Middle);
    EXPECT_LE(font->Width(fitted, LabelSize), CellWidth);
    EXPECT_LT(fitted.size(), name.size());
    EXPECT_EQ(fitted.substr(0, 4), U"Žluť");
    EXPECT_TRUE(fitted.ends_with(U".JPG"));
    EXPECT_NE(fitted.find(U'\u2026'), std::u32string::npos);
    EXPECT_EQ(font->Fitted(U"A.JPG", LabelSize, CellWidth, LabelFont::Cut::Middle), U"A.JPG");
    // Wider text is wider: the font is proportional and scales with its size.
    EXPECT_LT(font->Width(U"iii", LabelSize), font->Width(U"MMM", LabelSize));
    EXPECT_LT(font->Width(U"MMM", LabelSize), font->Width(U"MMM", 2 * LabelSize));

    // Nothing of a label is drawn outside its cell.
    FileReport report;
    report.name =
        "\x8Eluto\x9Fou\x9Fk\xFD k\xF9\xF2 \xFAp\xECl \xEF\xE1\x62\x65lsk\xE9 \xF3\x64y.JPG";
    report.verdict = Verdict::ReadyNotRequestable;
    report.width = 65535;
    report.height = 65535;
    const auto label = Label(*font, report);
    EXPECT_FALSE(Empty(Pixels(*label, 0, 0, CellWidth, 2 * LabelSize)));
    EXPECT_TRUE(Empty(Pixels(*label, CellWidth, 0, 40, label->Height())));
}

TEST(ContactSheet, AccentsAreDrawnAsTheirLetters) {
    const auto font = LabelFont::Open();
    FileReport plain, accented;
    plain.name = "ZABA.JPG";
    accented.name = "\x8E"
                    "ABA.JPG"; // code page 1250: Ž
    const auto plainLabel = Label(*font, plain);
    const auto accentedLabel = Label(*font, accented);
    EXPECT_NE(Pixels(*plainLabel, 0, 0, CellWidth, LabelSize),
              Pixels(*accentedLabel, 0, 0, CellWidth, LabelSize));
}

TEST(ContactSheet, APicturesSizeIsNeverCut) {
    const auto font = LabelFont::Open();
    // The size, then the longest verdict: the size is drawn as it is alone, whatever the
    // name and the verdict beside it.
    FileReport alone, crowded;
    alone.name = "A.JPG";
    alone.verdict = Verdict::Ready;
    alone.width = crowded.width = 65535;
    alone.height = crowded.height = 12345;
    crowded.name = std::string(200, 'W') + ".JPG";
    crowded.verdict = Verdict::ReadyNotRequestable;
    const int sizeWidth = font->Width(U"65535x12345", LabelSize);
    ASSERT_LT(sizeWidth, CellWidth);
    const auto aloneLabel = Label(*font, alone);
    const auto crowdedLabel = Label(*font, crowded);
    EXPECT_EQ(Pixels(*aloneLabel, 0, LabelSize, sizeWidth, LabelSize),
              Pixels(*crowdedLabel, 0, LabelSize, sizeWidth, LabelSize));
    EXPECT_TRUE(Empty(Pixels(*crowdedLabel, CellWidth, 0, 40, crowdedLabel->Height())));
}

} // namespace
} // namespace nimbrel::tool
