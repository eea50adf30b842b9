#pragma once
// A toolkit's frontend: what the dialog needs from Qt or from Win32.
//
// How a frontend plugs in
// -----------------------
// The dialog (app/) and the controls (controls/*.h) are toolkit-free. Each control holds
// its state and its event rules and shows itself through a peer interface declared beside
// it (TTrackBarPeer in track_bar.h, ...). A frontend lives in controls/<toolkit>/ and
//  1. implements TToolkit below, once per program, and calls InstallToolkit with it before
//     the dialog is made (the program's entry point does this);
//  2. in BuildWindows, walks the layout rows in order (parents come before their
//     children), creates one window per row of the row's kind at its Bounds (96-dpi
//     pixels, scaled for the screen), finds the control by form.FindControl(row.Name),
//     and attaches the window as its peer (control.AttachPeer): the control then pushes
//     its caption, enabled state and contents into the peer. The tab order is TabChain();
//     the access keys are the "&" of the captions; a label's LabelledBy names the control
//     for screen readers. The returned TFormPeer owns every window;
//  3. reports what the user does through the controls' User* calls (UserClick,
//     UserMove, UserSetChecked, UserCheck, UserSelect, UserSelectPage, UserEdit,
//     UserKeyDown/UserKeyPress and FocusEnter/FocusExit of the entry fields, UserOpen,
//     UserPick) and the window's own events through TForm::Shown, FocusMoved and
//     HelpRequested; each such call runs under RunReported (error_report.h) so that no
//     exception crosses a toolkit frame;
//  4. never raises a control's event itself: the rules (a track bar is silent for a
//     position set by code, a check box clicks on every change, ...) are in the controls.
// The Qt frontend in controls/qt/ is the worked example.
#include "controls/form.h"
#include "controls/layout.h"
#include "controls/message_box.h"
#include "platform/help.h"
#include "sysutil/screen_cursor.h"

#include <functional>
#include <memory>
#include <string>

namespace nimbrel {

class TToolkit {
public:
    virtual ~TToolkit() = default;

    // Creates the windows of the form's layout and attaches them to its controls.
    virtual std::unique_ptr<TFormPeer> BuildWindows(TForm& form, TLayout layout) = 0;
    // Runs the message loop until the form's window is closed.
    virtual void RunMessageLoop(TForm& form) = 0;
    // One pass of the message pump: the pending messages run, then it returns. Nothing may
    // destroy the dialog meanwhile.
    virtual void ProcessMessages() = 0;
    // Modal, one OK button; the caption, the text (a carriage return breaks the line) and
    // the icon as asked.
    virtual void ShowMessageBox(const TMessageBoxRequest& request) = 0;
    // The mouse cursor over the whole application (hourglass while busy).
    virtual void ShowScreenCursor(TCursor cursor) = 0;
    // A help request that no help viewer shows (the platform has none, or it cannot show
    // the topic): HELP_SETPOPUP_POS places the next pop-up, HELP_CONTEXTPOPUP shows it
    // there with the text that the help texts give for it.
    void PresentHelp(const platform::HelpRequest& request);
    // What such a pop-up says for a help file and context number (the dialog knows its
    // topics); without them, the file and the number.
    using THelpTexts = std::function<std::string(const std::string& helpFile, int context)>;
    void SetHelpTexts(THelpTexts texts) { helpTexts_ = std::move(texts); }
    std::string HelpText(const std::string& helpFile, int context) const;
    // The primary screen's size in pixels.
    virtual TSize ScreenSize() const = 0;

protected:
    // Shows a help pop-up's text (a carriage return breaks the line) with its top-left
    // corner at `topLeft` in screen pixels, moved as far as needed to lie on the screen.
    virtual void ShowHelpPopup(TPoint topLeft, const std::string& text) = 0;

private:
    THelpTexts helpTexts_;
    TPoint helpPosition_;
};

// Makes `toolkit` the program's one toolkit: the message pump, the screen cursor, the
// message boxes and the help presenter go to it from now on. nullptr uninstalls.
void InstallToolkit(TToolkit* toolkit);
// The installed toolkit; throws std::logic_error when none is.
TToolkit& Toolkit();

} // namespace nimbrel
