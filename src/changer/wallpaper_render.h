#pragma once
// The wallpaper's render: the renderer's, shared with the screen saver.
#include "changer/changer_settings.h"
#include "changer/screen_layout.h"
#include "render/wallpaper_render.h"

namespace nimbrel::changer {
using render::EPictureNotShown;
using render::PlacePicture;
using render::RenderWallpaper;
} // namespace nimbrel::changer
