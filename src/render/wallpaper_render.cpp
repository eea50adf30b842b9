#include "render/wallpaper_render.h"

#include "imaging/jpeg_image.h"
#include "imaging/picture.h"
#include "render/bitmap_canvas.h"

#include <algorithm>
#include <exception>

namespace nimbrel::render {
namespace {

// The left (or top) edge of a span of `size` placed in `room` starting at `start`.
int Along(int start, int room, int size, int where) { // where: -1 start, 0 centre, 1 end
    if (where < 0)
        return start;
    if (where > 0)
        return start + room - size;
    return start + (room - size) / 2;
}

struct Anchor {
    int across; // -1 left, 0 centre, 1 right
    int down;   // -1 top, 0 centre, 1 bottom
};

Anchor AnchorOf(Placement placement) {
    switch (placement) {
    case Placement::Center:
        return {0, 0};
    case Placement::LeftCenter:
        return {-1, 0};
    case Placement::RightCenter:
        return {1, 0};
    case Placement::TopCenter:
        return {0, -1};
    case Placement::BottomCenter:
        return {0, 1};
    case Placement::TopLeft:
        return {-1, -1};
    case Placement::TopRight:
        return {1, -1};
    case Placement::BottomLeft:
        return {-1, 1};
    case Placement::BottomRight:
        return {1, 1};
    }
    return {0, 0};
}

// A truncated JPEG decodes without an error, its missing part made up: not a wallpaper.
void RejectMadeUpPicture(const TGraphic& graphic) {
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&graphic);
        jpeg && jpeg->DataEndedEarly())
        throw EPictureNotShown("the picture's data ends early");
}

// A JPEG shown 1:1 and cut by its monitor decodes only the part shown: a huge picture in
// its original size costs the screen's pixels, not its own. Answers whether it drew.
bool DrawShownPartOnly(TGraphic& graphic, BitmapCanvas& canvas, const TRect& place,
                       const MonitorRect& monitor) {
    auto* jpeg = dynamic_cast<TJPEGImage*>(&graphic);
    if (!jpeg || place.Width() != graphic.Width() || place.Height() != graphic.Height())
        return false;
    TRect shown{std::max(place.Left, monitor.left) - place.Left,
                std::max(place.Top, monitor.top) - place.Top,
                std::min(place.Right, monitor.left + monitor.width) - place.Left,
                std::min(place.Bottom, monitor.top + monitor.height) - place.Top};
    if (shown.Width() <= 0 || shown.Height() <= 0)
        return true; // nothing of it on this monitor
    if (shown == TRect{0, 0, place.Width(), place.Height()})
        return false; // shown whole: the usual decode
    const std::unique_ptr<TBitmap> part = jpeg->DecodeRegion(shown);
    if (!part)
        return false;
    RejectMadeUpPicture(graphic);
    canvas.StretchDraw({place.Left + shown.Left, place.Top + shown.Top, place.Left + shown.Right,
                        place.Top + shown.Bottom},
                       *part);
    return true;
}

// A JPEG is resampled on a second processor while it decodes, rows following rows, so that
// little of the resampling is left once the decode ends.
void DrawWhileDecoding(TGraphic& graphic, BitmapCanvas& canvas, const TRect& place) {
    auto* jpeg = dynamic_cast<TJPEGImage*>(&graphic);
    if (!jpeg) {
        graphic.Draw(canvas, place);
        return;
    }
    jpeg->OnRowsDecoded = [&canvas, place](const TBitmap& bitmap, int rows) {
        canvas.RowsDecoded(place, bitmap, rows);
    };
    try {
        graphic.Draw(canvas, place);
    } catch (...) {
        jpeg->OnRowsDecoded = nullptr;
        throw;
    }
    jpeg->OnRowsDecoded = nullptr;
}

} // namespace

TRect PlacePicture(int width, int height, const MonitorRect& monitor,
                   const WallpaperSizing& sizing) {
    if (sizing.sizing == Sizing::FitToScreen)
        return {monitor.left, monitor.top, monitor.left + monitor.width,
                monitor.top + monitor.height};
    if (sizing.sizing == Sizing::Resize) {
        width = sizing.width;
        height = sizing.height;
    }
    const Anchor anchor = AnchorOf(sizing.placement);
    const int left = Along(monitor.left, monitor.width, width, anchor.across);
    const int top = Along(monitor.top, monitor.height, height, anchor.down);
    return {left, top, left + width, top + height};
}

std::unique_ptr<TBitmap> RenderWallpaper(std::string_view path, const ScreenLayout& screen,
                                         const WallpaperSizing& sizing) {
    auto wallpaper = std::make_unique<TBitmap>();
    wallpaper->SetPixelFormat(TPixelFormat::pf24bit);
    wallpaper->SetSize(screen.width, screen.height); // black
    try {
        TPicture picture;
        picture.LoadFromFile(path);
        TGraphic& graphic = *picture.Graphic();
        if (graphic.Empty())
            throw EPictureNotShown("the picture is empty");
        for (const MonitorRect& monitor : screen.Monitors()) {
            BitmapCanvas canvas(*wallpaper,
                                {monitor.left, monitor.top, monitor.left + monitor.width,
                                 monitor.top + monitor.height});
            const TRect place = PlacePicture(graphic.Width(), graphic.Height(), monitor, sizing);
            if (DrawShownPartOnly(graphic, canvas, place, monitor))
                continue;
            DrawWhileDecoding(graphic, canvas, place);
            RejectMadeUpPicture(graphic);
        }
    } catch (const EPictureNotShown&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw EPictureNotShown("not enough memory for the picture");
    } catch (const std::exception& error) {
        throw EPictureNotShown(error.what());
    }
    return wallpaper;
}

} // namespace nimbrel::render
