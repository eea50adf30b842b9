#pragma once
// The Win32 frontend: the dialog's windows made with CreateWindowEx and the common
// controls from the layout tables, its message loop with the dialog keys, MessageBox,
// the wait cursor, and the screen.
#include "controls/toolkit.h"
#include "controls/win32/help_popup.h"

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
    TSize ScreenSize() const override;

protected:
    void ShowHelpPopup(TPoint topLeft, const std::string& text) override;

private:
    // A message from the queue, on its way to the dialog keys or its window.
    void Dispatch(MSG& message);

    THelpPopup helpPopup_;
};

} // namespace nimbrel::win32
