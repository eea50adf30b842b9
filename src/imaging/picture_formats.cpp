#include "imaging/picture_formats.h"

#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "imaging/picture.h"

namespace nimbrel {

void RegisterPictureFormats() {
    UnregisterPictureFormats(); // a second call does not register twice
    SetDefaultDepth();
    TPicture::RegisterFileFormat("bmp", "Bitmaps", GraphicClassOf<TBitmap>());
    TPicture::RegisterFileFormat("jpg", "JPEG Image File", GraphicClassOf<TJPEGImage>());
    TPicture::RegisterFileFormat("jpeg", "JPEG Image File", GraphicClassOf<TJPEGImage>());
}

void UnregisterPictureFormats() {
    TPicture::UnregisterGraphicClass(GraphicClassOf<TJPEGImage>());
    TPicture::UnregisterGraphicClass(GraphicClassOf<TBitmap>());
}

} // namespace nimbrel
