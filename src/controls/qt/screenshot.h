#pragma once
// For runs without a user. With NIMBREL_SCREENSHOT set to a file name the program saves a
// picture of its window there once the window has been shown, and ends (the demonstration
// under a virtual display). With NIMBREL_QUIT_WHEN_SHOWN set it ends as soon as the window
// has been shown and painted, its preview included (the start-up benchmark).
class QWidget;

namespace nimbrel::qt {

void QuitWhenShownIfAsked(QWidget& window);

} // namespace nimbrel::qt
