#include "imaging/jpeg_image.h"

#include "imaging/jpeg_glue.h"
#include "imaging/picture_fit.h"
#include "imaging/screen.h"

#include <cstring>

namespace nimbrel {

TJPEGDefaults& JpegPictureDefaults() {
    static TJPEGDefaults defaults;
    return defaults;
}

void SetDefaultDepth() {
    JpegPictureDefaults().OutputDepth =
        ScreenColorBits() <= 8 ? TOutputDepth::Depth8 : TOutputDepth::Depth24;
}

TJPEGImage::TJPEGImage() : data_(new TJPEGData), settings_(JpegPictureDefaults()) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::NewData() {
    data_ = TSharedRef<TJPEGData>(new TJPEGData);
}

void TJPEGImage::AssignTo(TGraphic& dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(&dest)) {
        // The decoded bitmap is a cache: filling it does not change the picture.
        bitmap->Assign(const_cast<TJPEGImage*>(this)->DecodeBitmap());
        return;
    }
    TGraphic::AssignTo(dest);
}

void TJPEGImage::Assign(const TGraphic& source) {
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
        if (jpeg == this)
            return;
        data_ = jpeg->data_;
        // A cache decoded from other data would show the wrong picture: take the source's
        // or none.
        bitmap_.reset();
        if (jpeg->bitmap_) {
            bitmap_ = std::make_unique<TBitmap>();
            bitmap_->Assign(*jpeg->bitmap_);
            cacheScale_ = jpeg->cacheScale_;
        }
        Changed();
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(*bitmap);
        NewData();
        bitmap_ = std::move(copy);
        cacheScale_ = settings_.OutputScale;
        Changed();
        return;
    }
    TGraphic::Assign(source);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
    // A cache at the drawing scale or finer serves; else decode only what the rectangle shows.
    const TOutputScale scale = DrawScale(rect);
    if (bitmap_ && (cacheScale_ <= scale || !data_->Data)) {
        bitmap_->Draw(canvas, rect);
        return;
    }
    DecodeAt(scale).Draw(canvas, rect);
}

bool TJPEGImage::Equals(const TGraphic& other) const {
    const auto* jpeg = dynamic_cast<const TJPEGImage*>(&other);
    return jpeg != nullptr && jpeg->data_ == data_;
}

bool TJPEGImage::Empty() const {
    return data_->Data == nullptr && (!bitmap_ || bitmap_->Empty());
}

TOutputScale TJPEGImage::DrawScale(const TRect& rect) const {
    const int width = rect.Width() < 0 ? -rect.Width() : rect.Width();
    const int height = rect.Height() < 0 ? -rect.Height() : rect.Height();
    return CoveringScale(data_->Width, data_->Height, width, height, settings_.OutputScale);
}

bool TJPEGImage::CacheIsFullUse() const {
    return bitmap_ && (cacheScale_ == settings_.OutputScale || !data_->Data);
}

int TJPEGImage::Width() const {
    if (CacheIsFullUse())
        return bitmap_->Width();
    return ScaledSize(data_->Width, settings_.OutputScale);
}

int TJPEGImage::Height() const {
    if (CacheIsFullUse())
        return bitmap_->Height();
    return ScaledSize(data_->Height, settings_.OutputScale);
}

void TJPEGImage::SetOutputScale(TOutputScale scale) {
    if (scale == settings_.OutputScale)
        return;
    settings_.OutputScale = scale;
    bitmap_.reset();
}

void TJPEGImage::SetWidth(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetHeight(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

TPaletteHandle TJPEGImage::Palette() const {
    if (bitmap_)
        return bitmap_->Palette();
    if (palette_)
        return palette_;
    if (settings_.OutputDepth == TOutputDepth::Depth8)
        return nullptr;
    if (ScreenColorBits() <= 8) {
        palette_ = CreateHalftonePalette();
        return palette_;
    }
    return nullptr;
}

void TJPEGImage::SetPalette(TPaletteHandle palette) {
    if (palette == palette_)
        return;
    const bool dropCache = bitmap_ && bitmap_->Palette() != palette;
    if (dropCache)
        bitmap_.reset();
    palette_ = std::move(palette);
    if (dropCache) {
        SetPaletteModified(true);
        Changed();
    }
}

void TJPEGImage::ReadData(TStream& stream) {
    std::uint8_t raw[4];
    stream.ReadBuffer(raw, sizeof raw);
    const auto count = static_cast<std::int32_t>(raw[0] | raw[1] << 8 | raw[2] << 16 |
                                                 static_cast<std::uint32_t>(raw[3]) << 24);
    if (count < 0)
        throw EReadError();
    ReadJpegStream(static_cast<std::uint64_t>(count), stream);
}

void TJPEGImage::WriteData(TStream& stream) {
    const std::uint64_t size = data_->Data ? data_->Data->Size() : 0;
    if (size > 0x7FFFFFFF)
        throw EWriteError();
    const auto count = static_cast<std::uint32_t>(size);
    const std::uint8_t raw[4] = {
        static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
        static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24)};
    stream.WriteBuffer(raw, sizeof raw);
    if (count > 0)
        stream.WriteBuffer(data_->Data->Memory(), count);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    ReadJpegStream(stream.Remaining(), stream);
}

void TJPEGImage::SaveToStream(TStream& stream) {
    if (!data_->Data)
        EncodeBitmap();
    if (!data_->Data)
        return; // an encode stopped by a listener leaves nothing to write
    const TMemoryStream& bytes = *data_->Data;
    stream.WriteBuffer(bytes.Memory(), static_cast<std::size_t>(bytes.Size()));
}

void TJPEGImage::LoadFromClipboardFormat(const TClipboardPicture& data) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromClipboardFormat(data);
    // The picture is now the bitmap; its JPEG bytes are made when it is saved.
    NewData();
    bitmap_ = std::move(bitmap);
    cacheScale_ = settings_.OutputScale;
    Changed();
}

void TJPEGImage::SaveToClipboardFormat(TClipboardPicture& data) {
    DecodeBitmap().SaveToClipboardFormat(data);
}

void TJPEGImage::ReadJpegStream(std::uint64_t count, TStream& stream) {
    NewData();
    // New data makes any decoded bitmap of the old data wrong.
    bitmap_.reset();
    data_->Data = std::make_unique<TMemoryStream>();
    if (count > stream.Remaining())
        throw EReadError();
    // Read straight into the bytes, which are not zeroed first: a stream that ends early
    // leaves the rest zero, as a zeroed buffer would have.
    const auto size = static_cast<std::size_t>(count);
    data_->Data->SetSizeForOverwrite(size);
    std::uint8_t* const memory = data_->Data->Memory();
    for (std::size_t done = 0; done < size;) {
        const std::size_t got = stream.Read(memory + done, size - done);
        if (got == 0) {
            std::memset(memory + done, 0, size - done);
            throw EReadError();
        }
        done += got;
    }
    if (count > 0) {
        JpegContext context;
        context.CreateDecompress(nullptr);
        TMemoryStream& bytes = *data_->Data;
        bytes.SetPosition(0);
        boolean multipleScans = FALSE;
        Guarded(context, [&] {
            InstallSource(&context.d, bytes);
            jpeg_read_header(&context.d, TRUE);
            multipleScans = jpeg_has_multiple_scans(&context.d);
        });
        CheckPixelBudget(context.d);
        data_->Width = static_cast<std::int32_t>(context.d.image_width);
        data_->Height = static_cast<std::int32_t>(context.d.image_height);
        data_->Grayscale = context.d.jpeg_color_space == JCS_GRAYSCALE;
        settings_.Progressive = multipleScans != FALSE;
    }
    SetPaletteModified(true);
    Changed();
}

} // namespace nimbrel
