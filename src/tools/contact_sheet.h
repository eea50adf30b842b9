#pragma once
// A contact sheet of a folder: a grid of thumbnails, each labelled with its file's name and
// framed in its verdict's colour; a damaged file is a marked empty cell with its reason.
// The lettering is a scalable font, so that the sheet stays legible when scaled to a screen.
// Written as a JPEG file by the program's own encoder.
#include "imaging/bitmap.h"
#include "tools/label_font.h"
#include "wallpaper_folder/file_report.h"

#include <memory>
#include <string>
#include <vector>

namespace nimbrel::tool {

inline constexpr int ThumbnailWidth = 160;
inline constexpr int ThumbnailHeight = 120;
inline constexpr int CellWidth = ThumbnailWidth + 6; // with the verdict's frame
inline constexpr int LabelSize = 14;                 // a label line's height in pixels

struct SheetCell {
    wallpaper::FileReport report;
    std::unique_ptr<TBitmap> thumbnail; // 24 bits, within the thumbnail box; none if damaged
};

// The picture shrunk to fit a box, keeping its proportions (each thumbnail pixel the mean
// of the pixels it covers); a smaller picture keeps its size. Always 24 bits.
std::unique_ptr<TBitmap> MakeThumbnail(const TBitmap& picture, int boxWidth, int boxHeight);

// A cell's label, CellWidth wide, at (x, y) of a 24-bit bitmap: the name on the first line
// (cut in the middle when too long); on the second the picture's size, always whole, then
// the verdict in its colour, cut at its end if need be.
void DrawLabel(TBitmap& bitmap, const LabelFont& font, int x, int y,
               const wallpaper::FileReport& report);

// The sheet: the folder (code page 1250) and the summary above the grid.
std::unique_ptr<TBitmap> DrawContactSheet(const LabelFont& font, const std::string& folder,
                                          const std::string& summary,
                                          const std::vector<SheetCell>& cells);

// The sheet drawn and encoded as a JPEG file's bytes.
std::string ContactSheetJpeg(const LabelFont& font, const std::string& folder,
                             const std::string& summary, const std::vector<SheetCell>& cells);

} // namespace nimbrel::tool
