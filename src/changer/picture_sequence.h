#pragma once
// Which picture comes next: the renderer's sequence, shared with the screen saver.
#include "render/picture_sequence.h"

namespace nimbrel::changer {
using render::ListPictures;
using render::Lists;
using render::RotationAfter;
} // namespace nimbrel::changer
