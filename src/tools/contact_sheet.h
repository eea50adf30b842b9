#pragma once
// A contact sheet of a folder: a grid of thumbnails, each labelled with its file's name and
// framed in its verdict's colour; a damaged file is a marked empty cell with its reason.
// Written as a JPEG file by the program's own encoder.
#include "imaging/bitmap.h"
#include "tools/folder_report/file_report.h"

#include <memory>
#include <string>
#include <vector>

namespace nimbrel::tool {

inline constexpr int ThumbnailWidth = 160;
inline constexpr int ThumbnailHeight = 120;

struct SheetCell {
    report::FileReport report;
    std::unique_ptr<TBitmap> thumbnail; // 24 bits, within the thumbnail box; none if damaged
};

// The picture shrunk to fit a box, keeping its proportions (each thumbnail pixel the mean
// of the pixels it covers); a smaller picture keeps its size. Always 24 bits.
std::unique_ptr<TBitmap> MakeThumbnail(const TBitmap& picture, int boxWidth, int boxHeight);

// The sheet, with `title` (code page 1250) above the grid.
std::unique_ptr<TBitmap> DrawContactSheet(const std::string& title,
                                          const std::vector<SheetCell>& cells);

// The sheet drawn and encoded as a JPEG file's bytes.
std::string ContactSheetJpeg(const std::string& title, const std::vector<SheetCell>& cells);

} // namespace nimbrel::tool
