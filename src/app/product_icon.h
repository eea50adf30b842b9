#pragma once
// The product's icon: a landscape picture in a frame, drawn at start.
#include <QIcon>

namespace nimbrel {

QIcon ProductIcon();

} // namespace nimbrel
