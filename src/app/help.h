#pragma once
// Context help numbers of the dialog's controls. A control without a number (0) takes
// its parent's, and so on outward up to the window.
class QWidget;

namespace nimbrel {

void SetHelpContext(QWidget* control, int context);
int HelpContext(const QWidget* control);
// The control whose number applies to `control`: itself or its nearest parent with a
// number, up to and including its window; nullptr when none has one.
QWidget* HelpContextHolder(QWidget* control);

} // namespace nimbrel
