// Encoding: the bitmap cache into new JPEG bytes.
#include "imaging/jpeg_glue.h"

#include <algorithm>

namespace nimbrel {
namespace {
constexpr int RowsPerCall = 16;
}

void TJPEGImage::EncodeBitmap() {
    JpegContext context;
    context.CreateCompress(this);
    try {
        CompressInto(context);
    } catch (const EAbort&) {
        NewData(); // no partial JPEG stays
    } catch (...) {
        // Neither may a failed one: saving would write it as if it were whole.
        NewData();
        throw;
    }
}

void TJPEGImage::CompressInto(JpegContext& context) {
    if (data_->Data)
        NewData(); // shared data is never overwritten
    data_->Data = std::make_unique<TMemoryStream>();
    jpeg_compress_struct& c = context.c;
    TMemoryStream& bytes = *data_->Data;
    Guarded(context, [&] { InstallDestination(&c, bytes); });
    if (!bitmap_ || bitmap_->Width() == 0 || bitmap_->Height() == 0)
        return;

    c.image_width = static_cast<JDIMENSION>(bitmap_->Width());
    c.image_height = static_cast<JDIMENSION>(bitmap_->Height());
    data_->Width = bitmap_->Width();
    data_->Height = bitmap_->Height();
    c.input_components = 3;
    c.in_color_space = JCS_EXT_BGR; // the bitmap's byte order

    TBitmap rows;
    rows.Assign(*bitmap_);
    rows.SetPixelFormat(TPixelFormat::pf24bit);

    const TJPEGDefaults& s = settings_;
    if (s.GrayscaleOutput)
        data_->Grayscale = true;
    Guarded(context, [&] {
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, s.Quality, TRUE);
        if (s.GrayscaleOutput)
            jpeg_set_colorspace(&c, JCS_GRAYSCALE);
        if (s.Progressive)
            jpeg_simple_progression(&c);
    });

    std::uint8_t* const top = rows.ScanLine(0);
    const std::ptrdiff_t step = rows.RowStep();
    Progress(TProgressStage::psStarting, 0, false, TRect{}, std::string());
    try {
        Guarded(context, [&] {
            jpeg_start_compress(&c, TRUE);
            std::uint8_t* row = top;
            JSAMPROW batch[RowsPerCall];
            while (c.next_scanline < c.image_height) {
                const int count =
                    std::min<int>(RowsPerCall, static_cast<int>(c.image_height - c.next_scanline));
                for (int i = 0; i < count; ++i)
                    batch[i] = row + i * step;
                const JDIMENSION written =
                    jpeg_write_scanlines(&c, batch, static_cast<JDIMENSION>(count));
                row += step * static_cast<std::ptrdiff_t>(written);
            }
            jpeg_finish_compress(&c);
        });
    } catch (...) {
        Progress(TProgressStage::psEnding, 0, false, TRect{}, std::string());
        throw;
    }
    Progress(TProgressStage::psEnding, 100, false, TRect{}, std::string());
}

} // namespace nimbrel
