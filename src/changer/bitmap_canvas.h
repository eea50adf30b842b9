#pragma once
// The canvas the wallpaper is drawn through: the renderer's, shared with the screen saver.
#include "render/bitmap_canvas.h"

namespace nimbrel::changer {
using render::BitmapCanvas;
} // namespace nimbrel::changer
