#include "controls/qt/canvas.h"

#include "imaging/bitmap.h"

#include <QImage>
#include <QPainter>

namespace nimbrel::qt {

QImage ImageOfBitmap(const TBitmap& bitmap) {
    if (bitmap.Empty()) {
        return {};
    }
    // The image only reads the pixels; the writable form keeps setColorTable from copying them.
    auto* pixels = const_cast<uchar*>(bitmap.ScanLine(0));
    if (bitmap.PixelFormat() == TPixelFormat::pf24bit) {
        return QImage(pixels, bitmap.Width(), bitmap.Height(),
                      static_cast<qsizetype>(bitmap.RowStep()), QImage::Format_BGR888);
    }
    QImage image(pixels, bitmap.Width(), bitmap.Height(), static_cast<qsizetype>(bitmap.RowStep()),
                 QImage::Format_Indexed8);
    // An index past the palette's end shows black.
    QList<QRgb> colours(256, qRgb(0, 0, 0));
    if (const TPaletteHandle palette = bitmap.Palette()) {
        for (std::size_t i = 0; i < palette->Entries.size() && i < 256; ++i) {
            const TPaletteEntry& entry = palette->Entries[i];
            colours[static_cast<qsizetype>(i)] = qRgb(entry.Red, entry.Green, entry.Blue);
        }
    }
    image.setColorTable(colours);
    return image;
}

void TQtCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
    const QImage image = ImageOfBitmap(bitmap);
    if (image.isNull()) {
        return;
    }
    // Nearest-pixel stretching, as the platform's stretch drawing does by default.
    painter_.drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), image);
}

} // namespace nimbrel::qt
