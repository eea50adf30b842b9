#pragma once
// The picture formats of the program. Call RegisterPictureFormats() once at start-up, before
// any picture is created: it sets the JPEG pictures' default depth from the screen and
// registers "bmp" (TBitmap) and "jpg", "jpeg" ("JPEG Image File", TJPEGImage).
// UnregisterPictureFormats() removes them again (at shutdown, or between tests).
namespace nimbrel {

void RegisterPictureFormats();
void UnregisterPictureFormats();

} // namespace nimbrel
