#pragma once
// Builds the dialog's windows from its layout rows and attaches them to its controls; the
// windows of a page's controls are made when the page is first shown.
#include "controls/form.h"
#include "controls/layout.h"

#include <memory>

namespace nimbrel::win32 {

class TFormWindow;

std::unique_ptr<TFormWindow> BuildFormWindow(TForm& form, TLayout layout);

} // namespace nimbrel::win32
