#pragma once
// The Win32 frontend: the dialog's windows made with CreateWindowEx and the common
// controls from the layout tables, its message loop with the dialog keys, MessageBox,
// the wait cursor, and the screen.
#include "controls/toolkit.h"

namespace nimbrel::win32 {

class TWin32Toolkit : public TToolkit {
public:
    // Loads the common controls and makes the process DPI-aware.
    TWin32Toolkit();

    std::unique_ptr<TFormPeer> BuildWindows(TForm& form, TLayout layout) override;
    void RunMessageLoop(TForm& form) override;
    void ProcessMessages() override;
    void ShowMessageBox(const TMessageBoxRequest& request) override;
    void ShowScreenCursor(TCursor cursor) override;
    // The platform's own WinHelp shows the pop-ups: nothing to present here.
    void PresentHelp(const platform::HelpRequest& request) override {}
    TSize ScreenSize() const override;
};

} // namespace nimbrel::win32
