#pragma once
// The product's icon: a landscape picture in a frame, drawn when first shown.
#include <QIcon>
#include <QImage>

namespace nimbrel::qt {

QIcon ProductIcon();
// One square picture of the icon, also for the installed icon files.
QImage DrawProductIcon(int size);

} // namespace nimbrel::qt
