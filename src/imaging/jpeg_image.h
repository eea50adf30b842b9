#pragma once
// TJPEGImage: a picture that holds the bytes of a JPEG file and decodes them (once, on first
// use) into a bitmap that every draw stretches onto the canvas. It can also compress a
// bitmap into JPEG bytes. Every failure the JPEG library reports is an EJPEG
// "JPEG error #<the library's message code>".
#include "imaging/bitmap.h"
#include "imaging/graphic.h"
#include "imaging/graphic_errors.h"
#include "imaging/shared_image.h"
#include "imaging/stream.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace nimbrel {

class EJPEG : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

enum class TOutputDepth : std::uint8_t { Depth24 = 0, Depth8 = 1 };
enum class TSpeedMode : std::uint8_t { FavourQuality = 0, FavourSpeed = 1 };
// Decoding scale 1/2^value.
enum class TOutputScale : std::uint8_t {
    ScaleFull = 0,
    ScaleHalf = 1,
    ScaleQuarter = 2,
    ScaleEighth = 3
};

// The settings every new picture starts with, in their stored order.
struct TJPEGDefaults {
    std::uint8_t Quality = 90; // 1..100
    bool GrayscaleOutput = false;
    TSpeedMode SpeedMode = TSpeedMode::FavourQuality;
    TOutputDepth OutputDepth = TOutputDepth::Depth24;
    bool ShowProgressively = false;
    bool Progressive = false;
    TOutputScale OutputScale = TOutputScale::ScaleFull;
    bool BlockSmoothing = true;
};
static_assert(sizeof(TJPEGDefaults) == 8);

// The process-wide defaults, copied into each picture at its creation.
TJPEGDefaults& JpegPictureDefaults();
// OutputDepth of the defaults from the screen: Depth8 for 8 colour bits or fewer, else Depth24.
void SetDefaultDepth();

// The compressed bytes and header facts, shared by pictures assigned from one another and
// never changed once filled.
class TJPEGData : public TSharedImage {
public:
    std::unique_ptr<TMemoryStream> Data; // absent until loaded or encoded
    std::int32_t Height = 0;
    std::int32_t Width = 0;
    bool Grayscale = false;

protected:
    void FreeHandle() override {}
};

struct JpegContext;

class TJPEGImage : public TGraphic {
public:
    static constexpr const char* StaticClassName = "TJPEGImage";
    TJPEGImage();
    ~TJPEGImage() override;

    const char* ClassName() const override { return StaticClassName; }

    // To a TBitmap: the bitmap takes a copy of the decoded bitmap.
    void AssignTo(TGraphic& dest) const override;
    // From a TJPEGImage: share its data (and copy its decoded bitmap); from a TBitmap: hold
    // a copy of it, compressed when the picture is saved.
    void Assign(const TGraphic& source) override;

    void Draw(TCanvas& canvas, const TRect& rect) override;
    // The very same data holder, never a byte comparison.
    bool Equals(const TGraphic& other) const override;
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    // Refused: EInvalidGraphicOperation "Cannot change the size of a JPEG image".
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    TPaletteHandle Palette() const override;
    void SetPalette(TPaletteHandle palette) override;

    // A 32-bit byte count, then that many JPEG bytes.
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) override;
    // Reads from the position to the end; only the header is parsed here.
    void LoadFromStream(TStream& stream) override;
    // Writes the JPEG bytes, compressing the bitmap first when there are none.
    void SaveToStream(TStream& stream) override;
    void LoadFromClipboardFormat(const TClipboardPicture& data) override;
    void SaveToClipboardFormat(TClipboardPicture& data) override;

    // The decoded bitmap at the picture's OutputScale; decodes on the first call only (or
    // again when the cache holds a reduced decode made for drawing). A progress listener
    // raising EAbort stops the decode quietly, leaving the rows decoded so far.
    TBitmap& DecodeBitmap();
    // The scale a draw into `rect` decodes at: the smallest picture that still covers the
    // rectangle, never finer than OutputScale.
    TOutputScale DrawScale(const TRect& rect) const;
    // Only `region` of the picture (its own pixels, at full size) decoded, into a new 24-bit
    // bitmap, leaving the cache alone: the rows above it are skipped, those below never
    // read, and only the block columns that hold it decoded, so that a huge picture shown
    // in part costs the part. The region grows to the block columns' edges; `region` says
    // what the bitmap holds. Null when the picture cannot be decoded so (no JPEG data, or an
    // 8-bit or grey output): the caller draws it whole.
    std::unique_ptr<TBitmap> DecodeRegion(TRect& region);
    // Whether the last decode ran out of data before the end of the image, and so showed
    // the rest as the library fills missing data (a truncated file decodes without error).
    bool DataEndedEarly() const { return dataEndedEarly_; }

    std::uint8_t Quality() const { return settings_.Quality; }
    bool GrayscaleOutput() const { return settings_.GrayscaleOutput; }
    TSpeedMode SpeedMode() const { return settings_.SpeedMode; }
    TOutputDepth OutputDepth() const { return settings_.OutputDepth; }
    bool ShowProgressively() const { return settings_.ShowProgressively; }
    // Whether the loaded file has several scans.
    bool Progressive() const { return settings_.Progressive; }
    TOutputScale OutputScale() const { return settings_.OutputScale; }
    // A reduced scale decodes a smaller bitmap from the same data (1/2, 1/4 or 1/8 of each
    // side, rounded up); a decoded bitmap of another scale is dropped.
    void SetOutputScale(TOutputScale scale);
    bool BlockSmoothing() const { return settings_.BlockSmoothing; }
    // Whether the file is grayscale, from its header.
    bool Grayscale() const { return data_->Grayscale; }

    // Loading with a known byte count; fewer bytes in the stream raise EReadError.
    void ReadJpegStream(std::uint64_t count, TStream& stream);

    // Told, during the last pass of a decode into the cache, how many rows of `bitmap` (at
    // their final place, from the top) are final, after each batch the library hands over:
    // a caller may use the top of a large picture while the rest decodes. What it raises
    // ends the decode, as a failed one.
    using TRowsDecoded = std::function<void(const TBitmap& bitmap, int rows)>;
    TRowsDecoded OnRowsDecoded;

private:
    void NewData();
    // Compresses the held bitmap into new JPEG bytes (saving a picture that has none).
    void EncodeBitmap();
    // The cache decoded at `scale`: the cache itself when it was decoded at that scale (or
    // holds no JPEG data to decode), else a new decode replacing it.
    TBitmap& DecodeAt(TOutputScale scale);
    // Whether the cache stands for the picture at its OutputScale.
    bool CacheIsFullUse() const;
    void OpenDecompress(JpegContext& context, TOutputScale scale);
    void DecodeInto(JpegContext& context, bool& buildPalette);
    void DecodeRows(JpegContext& context, bool& buildPalette);
    void FinishNotice(bool succeeded, bool redrawNow);
    void CompressInto(JpegContext& context);

    TSharedRef<TJPEGData> data_;
    std::unique_ptr<TBitmap> bitmap_;
    // The scale the cache was decoded at: a draw into a small rectangle decodes at a reduced
    // scale without changing what the picture reports.
    TOutputScale cacheScale_ = TOutputScale::ScaleFull;
    mutable TPaletteHandle palette_;
    TJPEGDefaults settings_;
    bool dataEndedEarly_ = false;
};

} // namespace nimbrel
