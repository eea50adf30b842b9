#pragma once
// The dialog driver over the Win32 frontend: window messages on the windows of the
// controls, as a user's mouse and keyboard make them, through the frontend's own message
// loop (so the dialog keys go through IsDialogMessage as a user's would).
#include "dialog_driver.h"

#include "controls/form.h"

#include <windows.h>

namespace nimbrel::test {

class TWin32DialogDriver : public TDialogDriver {
public:
    explicit TWin32DialogDriver(TForm& form) : form_(form) {}

    bool WaitActive() override;
    void Settle() override;
    void Repaint(std::string_view control) override;
    void Click(std::string_view control) override;
    void ClickLine(std::string_view control, int line) override;
    void RightClickLine(std::string_view control, int line) override;
    void CtrlClickLine(std::string_view control, int line) override;
    void DragAcrossLines(std::string_view control, int from, int to) override;
    void ClickTab(std::string_view control, int tab) override;
    void AskHelp(std::string_view control, TPoint at) override;
    void Focus(std::string_view control) override;
    void Key(std::string_view control, int virtualKey, TShiftState shift) override;
    void Type(std::string_view control, std::string_view text) override;
    bool Visible() const override;
    bool Enabled(std::string_view control) const override;
    bool HasFocus(std::string_view control) const override;
    std::string Text(std::string_view control) const override;
    std::vector<std::string> Lines(std::string_view control) const override;
    int SelectedLine(std::string_view control) const override;
    bool Checked(std::string_view control) const override;
    int Position(std::string_view control) const override;
    std::string HelpPopupText() const override;
    TColour PaintedCentre(std::string_view control) override;
    bool SavePicture(const std::string& file) override;

    // The window of a control; throws when there is none.
    HWND Window(std::string_view control) const;

private:
    HWND FormWindow() const;
    void ClickAt(HWND window, POINT at);
    POINT LineCentre(HWND list, std::string_view control, int line) const;
    bool Enabled(HWND window) const;

    TForm& form_;
};

} // namespace nimbrel::test
