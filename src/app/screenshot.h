#pragma once
// For runs without a user (a display server started for a demonstration): with
// NIMBREL_SCREENSHOT set to a file name, the program saves a picture of its window there
// once it has been shown, and ends.
class QWidget;

namespace nimbrel {

void ScreenshotAndQuitIfAsked(QWidget& window);

} // namespace nimbrel
