// Decoding: from the picture's settings to library parameters, and from the library's rows
// straight into the rows of the bitmap cache.
#include "imaging/jpeg_glue.h"

#include <algorithm>

#include <jerror.h>

namespace nimbrel {
namespace {

// Rows handed to the library per call: it produces up to rec_outbuf_height at a time.
constexpr int RowsPerCall = 16;

void UseFastSettings(jpeg_decompress_struct& d) {
    d.dct_method = JDCT_IFAST;
    d.two_pass_quantize = FALSE;
    d.dither_mode = JDITHER_ORDERED;
}

// Reads the remaining rows of the output pass into the bitmap, from row 0 on.
void ReadRows(JpegContext& context, TBitmap& bitmap) {
    jpeg_decompress_struct& d = context.d;
    if (d.output_height == 0 || bitmap.Height() < static_cast<int>(d.output_height))
        return;
    // A pixel that would not fit the bitmap's row is refused, never written past it.
    if (static_cast<std::size_t>(d.output_components) * d.output_width > bitmap.RowBytes())
        RaiseJpegCode(JERR_CONVERSION_NOTIMPL);
    std::uint8_t* const top = bitmap.ScanLine(0);
    const std::ptrdiff_t step = bitmap.RowStep();
    Guarded(context, [&] {
        std::uint8_t* row = top;
        JSAMPROW rows[RowsPerCall];
        while (d.output_scanline < d.output_height) {
            const int count =
                std::min<int>(RowsPerCall, static_cast<int>(d.output_height - d.output_scanline));
            for (int i = 0; i < count; ++i)
                rows[i] = row + i * step;
            const JDIMENSION read = jpeg_read_scanlines(&d, rows, static_cast<JDIMENSION>(count));
            row += step * static_cast<std::ptrdiff_t>(read);
        }
    });
}

} // namespace

void TJPEGImage::OpenDecompress(JpegContext& context, TOutputScale scale) {
    context.CreateDecompress(this);
    TMemoryStream& bytes = *data_->Data;
    bytes.SetPosition(0);
    jpeg_decompress_struct& d = context.d;
    const TJPEGDefaults& s = settings_;
    Guarded(context, [&] {
        InstallSource(&d, bytes);
        jpeg_read_header(&d, TRUE);
    });
    // Checked again here: the data may have come from another picture, or the budget changed.
    CheckPixelBudget(d);
    Guarded(context, [&] {
        // Four-component (CMYK, YCCK) and other colour spaces have no place in the bitmap.
        if (d.out_color_space != JCS_GRAYSCALE && d.out_color_space != JCS_RGB)
            ERREXIT(&d, JERR_CONVERSION_NOTIMPL);
        d.scale_num = 1;
        d.scale_denom = 1u << static_cast<unsigned>(scale);
        d.do_block_smoothing = s.BlockSmoothing ? TRUE : FALSE;
        if (s.GrayscaleOutput)
            d.out_color_space = JCS_GRAYSCALE;
        else if (d.out_color_space == JCS_RGB)
            d.out_color_space = JCS_EXT_BGR; // the bitmap's byte order, no reordering later
        if (s.OutputDepth == TOutputDepth::Depth8 || d.out_color_space == JCS_GRAYSCALE) {
            d.quantize_colors = TRUE;
            d.desired_number_of_colors = 236;
        }
        if (s.SpeedMode == TSpeedMode::FavourSpeed)
            UseFastSettings(d);
        context.finalDctMethod = d.dct_method;
        context.finalTwoPassQuantize = d.two_pass_quantize;
        context.finalDitherMode = d.dither_mode;
        if (s.ShowProgressively && jpeg_has_multiple_scans(&d)) {
            d.enable_2pass_quant = d.two_pass_quantize;
            UseFastSettings(d);
            d.buffered_image = TRUE;
        }
    });
}

TBitmap& TJPEGImage::DecodeBitmap() {
    return DecodeAt(settings_.OutputScale);
}

TBitmap& TJPEGImage::DecodeAt(TOutputScale scale) {
    if (bitmap_ && (cacheScale_ == scale || !data_->Data))
        return *bitmap_;
    bitmap_ = std::make_unique<TBitmap>();
    cacheScale_ = scale;
    TBitmap& result = *bitmap_;
    bool buildPalette = true;
    if (!data_->Data)
        return result; // nothing loaded: an empty bitmap
    JpegContext context;
    OpenDecompress(context, scale);
    try {
        DecodeInto(context, buildPalette);
    } catch (const EAbort&) {
        // A listener stopped the decode: keep what was decoded.
    }
    dataEndedEarly_ = SourceEndedEarly(&context.d);
    return result;
}

void TJPEGImage::DecodeInto(JpegContext& context, bool& buildPalette) {
    TBitmap& cache = *bitmap_;
    cache.SetEmpty();
    cache.SetPixelFormat(settings_.OutputDepth == TOutputDepth::Depth8 ||
                                 context.d.out_color_space == JCS_GRAYSCALE
                             ? TPixelFormat::pf8bit
                             : TPixelFormat::pf24bit);
    Progress(TProgressStage::psStarting, 0, false, TRect{}, std::string());
    try {
        DecodeRows(context, buildPalette);
    } catch (...) {
        FinishNotice(false, PaletteModified());
        throw;
    }
    FinishNotice(true, PaletteModified());
}

void TJPEGImage::FinishNotice(bool succeeded, bool redrawNow) {
    Progress(TProgressStage::psEnding, succeeded ? 100 : 0, redrawNow, TRect{}, std::string());
    if (PaletteModified())
        Changed();
}

void TJPEGImage::DecodeRows(JpegContext& context, bool& buildPalette) {
    TBitmap& cache = *bitmap_;
    jpeg_decompress_struct& d = context.d;
    if (palette_) {
        if (settings_.OutputDepth == TOutputDepth::Depth8) {
            const TPaletteHandle palette = palette_;
            Guarded(context, [&] { BuildLibraryColorMap(&d, *palette); });
            cache.SetPalette(CopyPalette(palette));
            buildPalette = false;
        } else {
            palette_.reset();
        }
    }
    Guarded(context, [&] { jpeg_start_decompress(&d); });
    cache.SetEmpty();
    cache.SetSize(static_cast<int>(d.output_width), static_cast<int>(d.output_height));

    auto takeLibraryPalette = [&] {
        cache.SetPalette(PaletteFromColorMap(&d));
        SetPaletteModified(true);
    };
    const bool buffered = d.buffered_image != FALSE;
    if (buffered) {
        for (;;) {
            int status = 0;
            Guarded(context, [&] { status = jpeg_consume_input(&d); });
            if (status == JPEG_REACHED_EOI)
                break;
            Guarded(context, [&] { jpeg_start_output(&d, d.input_scan_number); });
            if (context.progress.library.completed_passes == 0 && d.colormap != nullptr &&
                cache.PixelFormat() == TPixelFormat::pf8bit && buildPalette)
                takeLibraryPalette();
            ReadRows(context, cache);
            Guarded(context, [&] { jpeg_finish_output(&d); });
        }
        d.dct_method = context.finalDctMethod;
        d.dither_mode = context.finalDitherMode;
        if (context.finalTwoPassQuantize) {
            d.two_pass_quantize = TRUE;
            d.colormap = nullptr; // the library builds a new one for the last pass
        }
        Guarded(context, [&] { jpeg_start_output(&d, d.input_scan_number); });
    }
    if ((!buffered || context.finalTwoPassQuantize) && d.colormap != nullptr && buildPalette)
        takeLibraryPalette();
    ReadRows(context, cache);
    if (buffered)
        Guarded(context, [&] { jpeg_finish_output(&d); });
    Guarded(context, [&] { jpeg_finish_decompress(&d); });
}

} // namespace nimbrel
