#pragma once
// Drives the dialog as a user does, finding each control by its name: the test bodies say
// what to click, type and read, and each frontend's driver does it with real input events
// on its own windows. Keys are Windows' virtual key codes (controls/virtual_keys.h; a
// letter or digit is its upper-case character).
#include "controls/control.h"
#include "controls/virtual_keys.h"

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::test {

struct TColour {
    int red = 0;
    int green = 0;
    int blue = 0;
};

class TDialogDriver {
public:
    virtual ~TDialogDriver() = default;

    // Waits until the dialog's window is shown and active; false when it never is.
    virtual bool WaitActive() = 0;
    // Lets pending window messages run.
    virtual void Settle() = 0;
    // Paints the control now.
    virtual void Repaint(std::string_view control) = 0;

    // A left click in the middle of the control.
    virtual void Click(std::string_view control) = 0;
    // A left click on a line of a list.
    virtual void ClickLine(std::string_view control, int line) = 0;
    // A right click on a line of a list.
    virtual void RightClickLine(std::string_view control, int line) = 0;
    // A left click on a line of a list with Ctrl held.
    virtual void CtrlClickLine(std::string_view control, int line) = 0;
    // The left button pressed on one line of a list, moved to another and released there.
    virtual void DragAcrossLines(std::string_view control, int from, int to) = 0;
    // A left click on a tab of a page control.
    virtual void ClickTab(std::string_view control, int tab) = 0;
    // The caption's help button, then a click on the control (at `at` inside it).
    virtual void AskHelp(std::string_view control, TPoint at) = 0;
    // Gives the control the focus as a click would.
    virtual void Focus(std::string_view control) = 0;
    // A key pressed and released while the control has the focus.
    virtual void Key(std::string_view control, int virtualKey, TShiftState shift = 0) = 0;
    // Characters typed into the control (code page 1250).
    virtual void Type(std::string_view control, std::string_view text) = 0;

    // What the window shows.
    virtual bool Visible() const = 0;
    virtual bool Enabled(std::string_view control) const = 0;
    virtual bool HasFocus(std::string_view control) const = 0;
    // A label's caption, an edit's text, a drop-down list's selected item.
    virtual std::string Text(std::string_view control) const = 0;
    // A list's lines and the selected one (-1: none).
    virtual std::vector<std::string> Lines(std::string_view control) const = 0;
    virtual int SelectedLine(std::string_view control) const = 0;
    // A check box's or radio button's mark.
    virtual bool Checked(std::string_view control) const = 0;
    // A track bar's position.
    virtual int Position(std::string_view control) const = 0;
    // The text of the context help pop-up on the screen (a carriage return between lines),
    // empty while none is shown.
    virtual std::string HelpPopupText() const = 0;
    // The colour painted in the middle of the control.
    virtual TColour PaintedCentre(std::string_view control) = 0;
    // A picture of the whole window, saved as PNG.
    virtual bool SavePicture(const std::string& file) = 0;
};

} // namespace nimbrel::test
