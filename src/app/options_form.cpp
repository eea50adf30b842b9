// The dialog's creation, show, closing, and what its window reports (focus, help).
#include "app/options_form.h"

#include "app/help_texts.h"
#include "app/options_layout.h"
#include "controls/error_report.h"
#include "controls/toolkit.h"
#include "platform/help.h"
#include "platform/system.h"

#include <cstdint>
#include <utility>

namespace nimbrel {
namespace {

// The first command-line argument, compared exactly, and the page it shows first.
TControl* PageForSwitch(const TOptionsForm& form, const std::string& argument) {
    if (argument == "/SETTINGS")
        return form.TabSheet1;
    if (argument == "/SCREENSAVER")
        return form.TabSheet2;
    if (argument == "/NWPSUPPORT")
        return form.TabSheet3;
    return nullptr;
}

} // namespace

TPoint DialogPlacement(TSize screen, TSize outerFrame) {
    return {screen.Width / 2 - outerFrame.Width / 2 + 100,
            screen.Height / 2 - outerFrame.Height / 2 + 50};
}

const TControl* HelpContextHolder(const TControl* control) {
    for (const TControl* c = control; c != nullptr; c = c->Parent()) {
        if (c->HelpContext() != 0)
            return c;
    }
    return nullptr;
}

TOptionsForm::TOptionsForm(TFormStart start, TToolkit& toolkit)
    : TForm("OptionsForm"), start_(std::move(start)), toolkit_(toolkit) {
    toolkit_.SetHelpTexts(
        [](const std::string& helpFile, int context) { return HelpPopupText(helpFile, context); });
    Drive->SetFolderList(Folder);
    CreateWindows(OptionsFormLayout(), toolkit_);
    ConnectHandlers();
    FormCreate();
}

TOptionsForm::~TOptionsForm() {
    // The windows may still report while they go; this part of the form must hear nothing.
    DestroyWindows();
}

void TOptionsForm::ConnectHandlers() {
    // Every handler runs under the standard error report.
    auto handler = [this](void (TOptionsForm::*method)()) {
        return [this, method] { RunReported([this, method] { (this->*method)(); }); };
    };
    IdleTimeTrackBar->OnChange = handler(&TOptionsForm::IdleTimeTrackBarChange);
    ScreenSaverTrackBar->OnChange = handler(&TOptionsForm::ScreenSaverTrackBarChange);
    Drive->OnChange = handler(&TOptionsForm::DriveChange);
    Folder->OnChange = handler(&TOptionsForm::FolderChange);
    WallpaperList->OnClick = handler(&TOptionsForm::WallpaperListClick);
    Button2->OnClick = handler(&TOptionsForm::Button2Click);
    Button1->OnClick = handler(&TOptionsForm::Button1Click);
    UseAccessKey->OnClick = handler(&TOptionsForm::UseAccessKeyClick);
    WMFit->OnClick = handler(&TOptionsForm::WMFitClick);
    WMOrg->OnClick = handler(&TOptionsForm::WMOrgClick);
    WMRes->OnClick = handler(&TOptionsForm::WMResClick);
    // The field's own entering raises it before the field selects its text, so the height
    // it sets is selected for typing over.
    WMHeight->OnEnter = [run = handler(&TOptionsForm::WMHeightEnter)](TControl*) { run(); };
    Button4->OnClick = handler(&TOptionsForm::Button4Click);
    Button6->OnClick = handler(&TOptionsForm::Button6Click);
    Button5->OnClick = handler(&TOptionsForm::Button5Click);
    Button3->OnClick = handler(&TOptionsForm::Button3Click);
}

// Entering the Picture Stretching page is a focus event of the window.
void TOptionsForm::FocusMoved(TControl* to) {
    if (to == nullptr)
        return;
    const TControl* from = std::exchange(lastFocus_, to);
    if (to->IsInside(TabSheet4) && (from == nullptr || !from->IsInside(TabSheet4)))
        RunReported([this] { TabSheet4Enter(); });
}

// Context help for a control: its number or the nearest parent's, shown as a pop-up at
// the top-left corner of the control that has the number.
void TOptionsForm::HelpRequested(TControl* control) {
    const TControl* holder = HelpContextHolder(control);
    if (holder == nullptr)
        return;
    const TPoint origin = holder->ScreenOrigin();
    platform::WinHelp(helpFile_, platform::HelpSetPopupPos,
                      platform::PackHelpPopupPos(origin.X, origin.Y));
    platform::WinHelp(helpFile_, platform::HelpContextPopup,
                      static_cast<std::uintptr_t>(holder->HelpContext()));
}

void TOptionsForm::FormCreate() {
    PlaceOnScreen();
    if (start_.lowerThreadPriority)
        start_.lowerThreadPriority();
    else
        platform::SetCurrentThreadIdlePriority();
    ProgramFolder = wallpaper::ProgramFolder();
    LoadSettings();
    helpFile_ = ProgramFolder + "NIMBREL.HLP";
    SelectFirstPage();
    CountNWPFiles();
}

void TOptionsForm::PlaceOnScreen() {
    const TSize screen = toolkit_.ScreenSize();
    placedFrame_ = FrameSize();
    if (screen.Width > 0 && screen.Height > 0)
        MoveTo(DialogPlacement(screen, placedFrame_));
}

// The placement is of the real outer size: where the frame became known only when the
// window was shown, the dialog is placed again by it.
void TOptionsForm::FrameChanged() {
    if (FrameSize() != placedFrame_)
        PlaceOnScreen();
}

void TOptionsForm::SelectFirstPage() {
    if (start_.arguments.empty())
        return;
    if (TControl* first = PageForSwitch(*this, start_.arguments.front()))
        Page->SetActivePage(first);
}

void TOptionsForm::Shown() {
    RunReported([this] { FormShow(); });
}

void TOptionsForm::FormShow() {
    IdleTimeTrackBarChange();
    ScreenSaverTrackBarChange();
    FillWallPapers();
}

void TOptionsForm::Button5Click() {
    SaveSettings();
    Close();
}

void TOptionsForm::Button3Click() {
    Close();
}

} // namespace nimbrel
