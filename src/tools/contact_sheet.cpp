#include "tools/contact_sheet.h"

#include "imaging/jpeg_image.h"
#include "platform/codepage1250.h"
#include "tools/bitmap_font.h"
#include "tools/tool_output.h"

#include <algorithm>
#include <cstdlib>

namespace nimbrel::tool {
namespace {

using report::Verdict;

constexpr int Margin = 12;
constexpr int Frame = 3;                              // the verdict's frame around a thumbnail
constexpr int CellWidth = ThumbnailWidth + 2 * Frame; // 166
constexpr int LabelLines = 2;
constexpr int LineHeight = GlyphHeight + 3;
constexpr int CellHeight = ThumbnailHeight + 2 * Frame + 4 + LabelLines * LineHeight;
constexpr int Gap = 10;
constexpr int TitleScale = 2;
constexpr int HeaderHeight = GlyphHeight * TitleScale + 8 + LineHeight + 10;
constexpr int LargestSheetSide = 65000; // what a JPEG file can hold, with room

constexpr Rgb Background{32, 32, 34};
constexpr Rgb BoxBackground{56, 56, 60};
constexpr Rgb TextColour{230, 230, 230};
constexpr Rgb DimText{160, 160, 165};
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

// What the second label line says.
std::string VerdictLabel(const report::FileReport& report) {
    switch (report.verdict) {
    case Verdict::Ready:
        return "ready";
    case Verdict::ReadyNotRequestable:
        return "ready, not requestable";
    case Verdict::Convertible:
        return "NWP, to convert";
    case Verdict::Damaged:
        return std::string(report::DamageWords(report.damage));
    case Verdict::NameNotHeld:
        return "name to rename";
    }
    return {};
}

// Cuts text to `width` pixels, marking the cut with '~'.
std::string Fitted(std::string text, int width) {
    const auto most = static_cast<std::size_t>((width + 1) / GlyphAdvance);
    if (text.size() > most && most > 0) {
        text.resize(most - 1);
        text += '~';
    }
    return text;
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

void DrawCell(TBitmap& sheet, int x, int y, const SheetCell& cell) {
    const Rgb mark = VerdictColour(cell.report.verdict);
    FillRect(sheet, x, y, CellWidth, ThumbnailHeight + 2 * Frame, mark);
    const int boxX = x + Frame, boxY = y + Frame;
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
    const int labelY = y + ThumbnailHeight + 2 * Frame + 4;
    DrawText(sheet, x, labelY, Fitted(cell.report.name, CellWidth), TextColour);
    std::string second = VerdictLabel(cell.report);
    if (!damaged && cell.report.width > 0)
        second +=
            "  " + std::to_string(cell.report.width) + "x" + std::to_string(cell.report.height);
    DrawText(sheet, x, labelY + LineHeight, Fitted(second, CellWidth), mark);
}

void DrawLegend(TBitmap& sheet, int x, int y) {
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
    for (const auto& item : items) {
        FillRect(sheet, x, y, GlyphHeight, GlyphHeight, VerdictColour(item.verdict));
        DrawText(sheet, x + GlyphHeight + 5, y, item.words, DimText);
        x += GlyphHeight + 5 + TextWidth(item.words) + 20;
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

std::unique_ptr<TBitmap> MakeThumbnail(const TBitmap& picture, int boxWidth, int boxHeight) {
    const int width = picture.Width(), height = picture.Height();
    auto thumb = std::make_unique<TBitmap>();
    thumb->SetPixelFormat(TPixelFormat::pf24bit);
    if (width == 0 || height == 0)
        return thumb;
    // The largest size within the box with the picture's proportions.
    int w = width, h = height;
    if (w > boxWidth || h > boxHeight) {
        if (static_cast<long long>(width) * boxHeight > static_cast<long long>(height) * boxWidth) {
            w = boxWidth;
            h = std::max(1, static_cast<int>(static_cast<long long>(height) * boxWidth / width));
        } else {
            h = boxHeight;
            w = std::max(1, static_cast<int>(static_cast<long long>(width) * boxHeight / height));
        }
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

std::unique_ptr<TBitmap> DrawContactSheet(const std::string& title,
                                          const std::vector<SheetCell>& cells) {
    const int columns = ColumnsFor(cells.size());
    const int rows = static_cast<int>((cells.size() + columns - 1) / columns);
    auto sheet = std::make_unique<TBitmap>();
    sheet->SetPixelFormat(TPixelFormat::pf24bit);
    const int width = 2 * Margin + columns * CellWidth + (columns - 1) * Gap;
    const int height = 2 * Margin + HeaderHeight + std::max(rows, 1) * (CellHeight + Gap) - Gap;
    sheet->SetSize(std::max(width, 2 * Margin + TextWidth(title, TitleScale)), height);
    FillRect(*sheet, 0, 0, sheet->Width(), sheet->Height(), Background);
    DrawText(*sheet, Margin, Margin, title, TextColour, TitleScale);
    DrawLegend(*sheet, Margin, Margin + GlyphHeight * TitleScale + 8);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int column = static_cast<int>(i % columns);
        const int row = static_cast<int>(i / columns);
        DrawCell(*sheet, Margin + column * (CellWidth + Gap),
                 Margin + HeaderHeight + row * (CellHeight + Gap), cells[i]);
    }
    return sheet;
}

std::string ContactSheetJpeg(const std::string& title, const std::vector<SheetCell>& cells) {
    const std::unique_ptr<TBitmap> sheet = DrawContactSheet(title, cells);
    TJPEGImage jpeg;
    jpeg.Assign(*sheet);
    TMemoryStream bytes;
    jpeg.SaveToStream(bytes);
    return {reinterpret_cast<const char*>(bytes.Memory()), static_cast<std::size_t>(bytes.Size())};
}

} // namespace nimbrel::tool
