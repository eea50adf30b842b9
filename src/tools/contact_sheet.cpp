#include "tools/contact_sheet.h"

#include "imaging/jpeg_image.h"
#include "imaging/picture_fit.h"
#include "platform/codepage1250.h"
#include "tools/tool_output.h"

#include <algorithm>
#include <cstdlib>

namespace nimbrel::tool {
namespace {

using wallpaper::Verdict;
using Cut = LabelFont::Cut;

constexpr int Margin = 12;
constexpr int Frame = 3; // the verdict's frame around a thumbnail
static_assert(CellWidth == ThumbnailWidth + 2 * Frame);
constexpr int TitleSize = 22;
constexpr int LabelLines = 2;
constexpr int CellHeight = ThumbnailHeight + 2 * Frame + 4 + LabelLines * LabelSize;
constexpr int Gap = 12;
constexpr int HeaderHeight = TitleSize + 6 + LabelSize + 12;
constexpr int LargestSheetSide = 65000; // what a JPEG file can hold, with room

constexpr Rgb Background{32, 32, 34};
constexpr Rgb BoxBackground{56, 56, 60};
constexpr Rgb TextColour{230, 230, 230};
constexpr Rgb DimText{170, 170, 175};
constexpr Rgb DamagedBox{72, 24, 24};

Rgb VerdictColour(Verdict verdict) {
    switch (verdict) {
    case Verdict::Ready:
        return {60, 185, 80};
    case Verdict::ReadyNotRequestable:
        return {70, 140, 230};
    case Verdict::Convertible:
        return {245, 155, 30};
    case Verdict::Damaged:
        return {225, 45, 45};
    case Verdict::NameNotHeld:
        return {200, 90, 200};
    }
    return TextColour;
}

// What the second label line says after the picture's size.
std::string VerdictLabel(const wallpaper::FileReport& report) {
    switch (report.verdict) {
    case Verdict::Ready:
        return "ready";
    case Verdict::ReadyNotRequestable:
        return "ready, not requestable";
    case Verdict::Convertible:
        return "NWP, to convert";
    case Verdict::Damaged:
        return std::string(wallpaper::DamageWords(report.damage));
    case Verdict::NameNotHeld:
        return "name to rename";
    }
    return {};
}

// Cut at the bitmap's edges.
void FillRect(TBitmap& bitmap, int x, int y, int width, int height, Rgb colour) {
    const int left = std::max(0, x), right = std::min(bitmap.Width(), x + width);
    const int top = std::max(0, y), bottom = std::min(bitmap.Height(), y + height);
    for (int row = top; row < bottom; ++row) {
        std::uint8_t* pixel = bitmap.ScanLine(row) + 3 * left;
        for (int column = left; column < right; ++column, pixel += 3) {
            pixel[0] = colour.blue;
            pixel[1] = colour.green;
            pixel[2] = colour.red;
        }
    }
}

// Code page 1250 text as Unicode, for the font.
std::u32string UnicodeText(std::string_view cp1250) {
    std::u32string text;
    for (const char c : cp1250)
        text.push_back(platform::UnicodeFromCp1250(static_cast<unsigned char>(c)));
    return text;
}

std::u32string Ascii(const std::string& text) {
    return {text.begin(), text.end()};
}

// A thick straight line (the damaged cell's cross).
void DrawLine(TBitmap& bitmap, int x0, int y0, int x1, int y1, Rgb colour) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
        const int x = x0 + (x1 - x0) * i / std::max(steps, 1);
        const int y = y0 + (y1 - y0) * i / std::max(steps, 1);
        FillRect(bitmap, x - 1, y - 1, 3, 3, colour);
    }
}

void DrawThumbnail(TBitmap& sheet, int boxX, int boxY, const SheetCell& cell, Rgb mark) {
    const bool damaged = cell.report.verdict == Verdict::Damaged;
    FillRect(sheet, boxX, boxY, ThumbnailWidth, ThumbnailHeight,
             damaged ? DamagedBox : BoxBackground);
    if (damaged) {
        DrawLine(sheet, boxX + 8, boxY + 8, boxX + ThumbnailWidth - 9, boxY + ThumbnailHeight - 9,
                 mark);
        DrawLine(sheet, boxX + ThumbnailWidth - 9, boxY + 8, boxX + 8, boxY + ThumbnailHeight - 9,
                 mark);
    } else if (cell.thumbnail) {
        const TBitmap& thumb = *cell.thumbnail;
        const int left = boxX + (ThumbnailWidth - thumb.Width()) / 2;
        const int top = boxY + (ThumbnailHeight - thumb.Height()) / 2;
        for (int row = 0; row < thumb.Height(); ++row)
            std::copy_n(thumb.ScanLine(row), 3 * thumb.Width(),
                        sheet.ScanLine(top + row) + 3 * left);
    }
}

void DrawLabelIn(TBitmap& sheet, const LabelFont& font, int x, int y,
                 const wallpaper::FileReport& report, Rgb mark) {
    font.Draw(sheet, x, y, font.Fitted(UnicodeText(report.name), LabelSize, CellWidth, Cut::Middle),
              TextColour, LabelSize);
    int left = x;
    if (report.verdict != Verdict::Damaged && report.width > 0) {
        const std::u32string size =
            Ascii(std::to_string(report.width) + "x" + std::to_string(report.height));
        font.Draw(sheet, left, y + LabelSize, size, TextColour, LabelSize);
        left += font.Width(size, LabelSize) + LabelSize / 2;
    }
    const int room = x + CellWidth - left;
    font.Draw(sheet, left, y + LabelSize,
              font.Fitted(Ascii(VerdictLabel(report)), LabelSize, room, Cut::End), mark, LabelSize);
}

void DrawCell(TBitmap& sheet, const LabelFont& font, int x, int y, const SheetCell& cell) {
    const Rgb mark = VerdictColour(cell.report.verdict);
    FillRect(sheet, x, y, CellWidth, ThumbnailHeight + 2 * Frame, mark);
    DrawThumbnail(sheet, x + Frame, y + Frame, cell, mark);
    DrawLabelIn(sheet, font, x, y + ThumbnailHeight + 2 * Frame + 4, cell.report, mark);
}

// The summary, then a square of each verdict's colour with its words.
void DrawSummaryLine(TBitmap& sheet, const LabelFont& font, int x, int y,
                     const std::string& summary) {
    const std::u32string text = Ascii(summary);
    font.Draw(sheet, x, y, text, TextColour, LabelSize);
    x += font.Width(text, LabelSize) + 3 * LabelSize;
    const struct {
        Verdict verdict;
        const char* words;
    } items[] = {
        {Verdict::Ready, "ready"},
        {Verdict::ReadyNotRequestable, "ready, not requestable"},
        {Verdict::Convertible, "legacy NWP, to convert"},
        {Verdict::Damaged, "damaged"},
        {Verdict::NameNotHeld, "name to rename"},
    };
    const int square = LabelSize * 3 / 4;
    for (const auto& item : items) {
        FillRect(sheet, x, y + (LabelSize - square) / 2, square, square,
                 VerdictColour(item.verdict));
        x += square + LabelSize / 3;
        const std::u32string words = Ascii(item.words);
        font.Draw(sheet, x, y, words, DimText, LabelSize);
        x += font.Width(words, LabelSize) + 2 * LabelSize;
    }
}

// Enough columns that the sheet stays within what a JPEG file can hold.
int ColumnsFor(std::size_t count) {
    int columns = 8;
    while (static_cast<std::size_t>(HeaderHeight + 2 * Margin) +
               (count + columns - 1) / columns * (CellHeight + Gap) >
           static_cast<std::size_t>(LargestSheetSide))
        ++columns;
    if (Margin * 2 + columns * (CellWidth + Gap) > LargestSheetSide)
        throw ToolError("too many files for one contact sheet");
    return columns;
}

} // namespace

void DrawLabel(TBitmap& bitmap, const LabelFont& font, int x, int y,
               const wallpaper::FileReport& report) {
    DrawLabelIn(bitmap, font, x, y, report, VerdictColour(report.verdict));
}

std::unique_ptr<TBitmap> MakeThumbnail(const TBitmap& picture, int boxWidth, int boxHeight) {
    const int width = picture.Width(), height = picture.Height();
    auto thumb = std::make_unique<TBitmap>();
    thumb->SetPixelFormat(TPixelFormat::pf24bit);
    if (width == 0 || height == 0)
        return thumb;
    // A picture larger than the box shrinks to fit it, its proportions kept; a smaller one
    // keeps its size.
    int w = width, h = height;
    if (w > boxWidth || h > boxHeight) {
        const TFitSize fit = FitInBox(width, height, boxWidth, boxHeight);
        w = std::max(1, fit.Width);
        h = std::max(1, fit.Height);
    }
    thumb->SetSize(w, h);
    const TPaletteHandle palette = picture.Palette();
    const bool indexed = picture.PixelFormat() == TPixelFormat::pf8bit;
    for (int ty = 0; ty < h; ++ty) {
        const int y0 = static_cast<int>(static_cast<long long>(ty) * height / h);
        const int y1 =
            std::max(y0 + 1, static_cast<int>(static_cast<long long>(ty + 1) * height / h));
        std::uint8_t* out = thumb->ScanLine(ty);
        for (int tx = 0; tx < w; ++tx) {
            const int x0 = static_cast<int>(static_cast<long long>(tx) * width / w);
            const int x1 =
                std::max(x0 + 1, static_cast<int>(static_cast<long long>(tx + 1) * width / w));
            unsigned long sum[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y) {
                const std::uint8_t* row = picture.ScanLine(y);
                for (int x = x0; x < x1; ++x) {
                    if (indexed) {
                        const std::uint8_t index = row[x];
                        if (palette && index < palette->Entries.size()) {
                            const TPaletteEntry& e = palette->Entries[index];
                            sum[0] += e.Blue;
                            sum[1] += e.Green;
                            sum[2] += e.Red;
                        }
                    } else {
                        sum[0] += row[3 * x];
                        sum[1] += row[3 * x + 1];
                        sum[2] += row[3 * x + 2];
                    }
                }
            }
            const unsigned long n =
                static_cast<unsigned long>(y1 - y0) * static_cast<unsigned long>(x1 - x0);
            for (int c = 0; c < 3; ++c)
                out[3 * tx + c] = static_cast<std::uint8_t>(sum[c] / n);
        }
    }
    return thumb;
}

std::unique_ptr<TBitmap> DrawContactSheet(const LabelFont& font, const std::string& folder,
                                          const std::string& summary,
                                          const std::vector<SheetCell>& cells) {
    const int columns = ColumnsFor(cells.size());
    const int rows = static_cast<int>((cells.size() + columns - 1) / columns);
    auto sheet = std::make_unique<TBitmap>();
    sheet->SetPixelFormat(TPixelFormat::pf24bit);
    const int width = 2 * Margin + columns * CellWidth + (columns - 1) * Gap;
    const int height = 2 * Margin + HeaderHeight + std::max(rows, 1) * (CellHeight + Gap) - Gap;
    sheet->SetSize(width, height);
    FillRect(*sheet, 0, 0, width, height, Background);
    font.Draw(*sheet, Margin, Margin,
              font.Fitted(UnicodeText(folder), TitleSize, width - 2 * Margin, Cut::Middle),
              TextColour, TitleSize);
    DrawSummaryLine(*sheet, font, Margin, Margin + TitleSize + 6, summary);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int column = static_cast<int>(i % columns);
        const int row = static_cast<int>(i / columns);
        DrawCell(*sheet, font, Margin + column * (CellWidth + Gap),
                 Margin + HeaderHeight + row * (CellHeight + Gap), cells[i]);
    }
    return sheet;
}

std::string ContactSheetJpeg(const LabelFont& font, const std::string& folder,
                             const std::string& summary, const std::vector<SheetCell>& cells) {
    const std::unique_ptr<TBitmap> sheet = DrawContactSheet(font, folder, summary, cells);
    TJPEGImage jpeg;
    jpeg.Assign(*sheet);
    TMemoryStream bytes;
    jpeg.SaveToStream(bytes);
    return {reinterpret_cast<const char*>(bytes.Memory()), static_cast<std::size_t>(bytes.Size())};
}

} // namespace nimbrel::tool
