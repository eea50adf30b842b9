// Decoding: from the picture's settings to library parameters, and from the library's rows
// straight into the rows of the bitmap cache.
#include "imaging/jpeg_glue.h"

#include <algorithm>
#include <vector>

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

// Whether the file holds four inks (CMYK, or YCCK, which the library turns into CMYK).
bool HoldsInks(const jpeg_decompress_struct& d) {
    return d.jpeg_color_space == JCS_CMYK || d.jpeg_color_space == JCS_YCCK;
}

// One row of ink pixels as blue, green, red. Each colour is what its ink and the black
// leave of the white: (1 - ink) * (1 - black). Files with Adobe's marker (most files:
// every tool that follows Adobe writes them so) store the inks inverted, 255 for none.
void InksToBgr(const JSAMPLE* in, std::uint8_t* out, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        unsigned c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        out[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
}

// Reads the rows of the output pass up to `end` (the pass's end when 0) into the bitmap,
// from its row 0 on, telling `rowsDecoded` (when set) after each batch. Ink rows pass
// through a buffer of their own on their way to the bitmap's colours.
void ReadRows(JpegContext& context, TBitmap& bitmap, JDIMENSION end = 0,
              const TJPEGImage::TRowsDecoded& rowsDecoded = nullptr) {
    jpeg_decompress_struct& d = context.d;
    if (end == 0 || end > d.output_height)
        end = d.output_height;
    if (end <= d.output_scanline || bitmap.Height() < static_cast<int>(end - d.output_scanline))
        return;
    const bool inks = d.out_color_space == JCS_CMYK && d.output_components == 4;
    // A pixel that would not fit the bitmap's row is refused, never written past it.
    const std::size_t pixelBytes = inks ? 3 : static_cast<std::size_t>(d.output_components);
    if (pixelBytes * d.output_width > bitmap.RowBytes() ||
        (inks && bitmap.PixelFormat() != TPixelFormat::pf24bit))
        RaiseJpegCode(JERR_CONVERSION_NOTIMPL);
    std::vector<JSAMPLE> inkRows(inks ? std::size_t{RowsPerCall} * d.output_width * 4 : 0);
    JSAMPLE* const inkTop = inkRows.data();
    const bool inverted = d.saw_Adobe_marker != FALSE;
    std::uint8_t* const top = bitmap.ScanLine(0);
    const std::ptrdiff_t step = bitmap.RowStep();
    const JDIMENSION first = d.output_scanline;
    std::uint8_t* row = top;
    JSAMPROW rows[RowsPerCall];
    while (d.output_scanline < end) {
        const int count = std::min<int>(RowsPerCall, static_cast<int>(end - d.output_scanline));
        for (int i = 0; i < count; ++i)
            rows[i] = inks ? inkTop + std::size_t(i) * d.output_width * 4 : row + i * step;
        JDIMENSION read = 0;
        Guarded(context,
                [&] { read = jpeg_read_scanlines(&d, rows, static_cast<JDIMENSION>(count)); });
        if (inks) {
            for (JDIMENSION i = 0; i < read; ++i)
                InksToBgr(rows[i], row + static_cast<std::ptrdiff_t>(i) * step, d.output_width,
                          inverted);
        }
        row += step * static_cast<std::ptrdiff_t>(read);
        if (rowsDecoded)
            rowsDecoded(bitmap, static_cast<int>(d.output_scanline - first));
    }
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
        // Inks (CMYK, YCCK) come out as CMYK and become colours row by row, always in a
        // 24-bit bitmap; a colour space that is none of these has no place in the bitmap.
        const bool inks = HoldsInks(d);
        if (inks)
            d.out_color_space = JCS_CMYK;
        else if (d.out_color_space != JCS_GRAYSCALE && d.out_color_space != JCS_RGB)
            ERREXIT(&d, JERR_CONVERSION_NOTIMPL);
        d.scale_num = 1;
        d.scale_denom = 1u << static_cast<unsigned>(scale);
        d.do_block_smoothing = s.BlockSmoothing ? TRUE : FALSE;
        if (s.GrayscaleOutput && !inks)
            d.out_color_space = JCS_GRAYSCALE;
        else if (d.out_color_space == JCS_RGB)
            d.out_color_space = JCS_EXT_BGR; // the bitmap's byte order, no reordering later
        if (!inks &&
            (s.OutputDepth == TOutputDepth::Depth8 || d.out_color_space == JCS_GRAYSCALE)) {
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

std::unique_ptr<TBitmap> TJPEGImage::DecodeRegion(TRect& region) {
    if (!data_->Data)
        return nullptr;
    region.Left = std::clamp(region.Left, 0, data_->Width);
    region.Right = std::clamp(region.Right, region.Left, data_->Width);
    region.Top = std::clamp(region.Top, 0, data_->Height);
    region.Bottom = std::clamp(region.Bottom, region.Top, data_->Height);
    if (region.Width() == 0 || region.Height() == 0)
        return nullptr;
    JpegContext context;
    OpenDecompress(context, TOutputScale::ScaleFull);
    jpeg_decompress_struct& d = context.d;
    if (d.quantize_colors)
        return nullptr;
    // One pass straight to the last scan: no picture is shown while it loads.
    d.buffered_image = FALSE;
    JDIMENSION left = static_cast<JDIMENSION>(region.Left);
    JDIMENSION width = static_cast<JDIMENSION>(region.Width());
    Guarded(context, [&] {
        jpeg_start_decompress(&d);
        jpeg_crop_scanline(&d, &left, &width);
        if (region.Top > 0)
            jpeg_skip_scanlines(&d, static_cast<JDIMENSION>(region.Top));
    });
    auto part = std::make_unique<TBitmap>();
    part->SetPixelFormat(TPixelFormat::pf24bit);
    part->SetSize(static_cast<int>(d.output_width), region.Height());
    ReadRows(context, *part, static_cast<JDIMENSION>(region.Bottom));
    dataEndedEarly_ = SourceEndedEarly(&d);
    region.Left = static_cast<int>(left);
    region.Right = static_cast<int>(left + width);
    return part; // the rows below are never decoded: the context ends the decompression
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
    cache.SetPixelFormat(context.d.out_color_space != JCS_CMYK &&
                                 (settings_.OutputDepth == TOutputDepth::Depth8 ||
                                  context.d.out_color_space == JCS_GRAYSCALE)
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
    ReadRows(context, cache, 0, OnRowsDecoded);
    if (buffered)
        Guarded(context, [&] { jpeg_finish_output(&d); });
    Guarded(context, [&] { jpeg_finish_decompress(&d); });
}

} // namespace nimbrel
