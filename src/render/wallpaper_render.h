#pragma once
// One wallpaper picture of the whole screen, 24 bits: each monitor gets the picture sized
// by the settings ("FitToScreen" stretched over it, "Original" 1:1 and "Resize" to the
// stored size, both placed by the stored position on black and cut at its edges).
#include "imaging/bitmap.h"
#include "imaging/canvas.h"
#include "render/picture_sizing.h"
#include "render/screen_layout.h"
#include "sysutil/exception.h"

#include <memory>
#include <string_view>

namespace nimbrel::render {

// A picture that cannot be shown; the message says why.
class EPictureNotShown : public Exception {
public:
    using Exception::Exception;
};

// Where a picture of `width` x `height` lies on `monitor`.
TRect PlacePicture(int width, int height, const MonitorRect& monitor,
                   const WallpaperSizing& sizing);

// Loads the picture file (a JPEG or a bitmap, by its extension) and renders it. A JPEG is
// decoded at the smallest reduced scale that still covers its rectangle. Raises
// EPictureNotShown for a file that cannot be read, is damaged or ends early.
std::unique_ptr<TBitmap> RenderWallpaper(std::string_view path, const ScreenLayout& screen,
                                         const WallpaperSizing& sizing);

} // namespace nimbrel::render
