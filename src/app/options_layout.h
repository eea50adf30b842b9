#pragma once
// The options dialog's layout: one table per page (the shell in options_layout.cpp, each
// page in wallpaper_layout.cpp, screen_saver_layout.cpp, stretching_layout.cpp and
// nwp_layout.cpp), joined in the order the frontends build them (every parent before its
// controls, the pages in tab order).
#include "controls/layout.h"

#include <span>

namespace nimbrel {

std::span<const TLayoutRow> ShellLayout();
std::span<const TLayoutRow> WallpaperPageLayout();
std::span<const TLayoutRow> ScreenSaverPageLayout();
std::span<const TLayoutRow> StretchingPageLayout();
std::span<const TLayoutRow> NWPPageLayout();

// All of them, the shell first.
TLayout OptionsFormLayout();

// The client area of the dialog.
inline constexpr int ClientWidth = 440;
inline constexpr int ClientHeight = 262;

} // namespace nimbrel
