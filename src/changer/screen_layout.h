#pragma once
// The screen the wallpaper covers: the renderer's, shared with the screen saver.
#include "render/screen_layout.h"

namespace nimbrel::changer {
using render::MonitorRect;
using render::ScreenLayout;
} // namespace nimbrel::changer
