#pragma once
// The options dialog: the program's only window. One class whose controls and handlers
// carry the names the product's documentation uses, split over files by page:
//   options_form.cpp        creation, show, closing, focus and help
//   options_layout.cpp      wallpaper_layout.cpp   screen_saver_layout.cpp
//   stretching_layout.cpp   nwp_layout.cpp         (the layout tables)
//   load_settings.cpp       save_settings.cpp      enabling_rules.cpp
//   wallpaper_page.cpp      nwp_page.cpp (the behaviour of those two pages)
// It sees no toolkit: its controls are the toolkit-free ones of controls/, and the
// toolkit it is given builds their windows from the layout tables.
#include "controls/button.h"
#include "controls/check_box.h"
#include "controls/drive_selector.h"
#include "controls/drop_down_list.h"
#include "controls/folder_list.h"
#include "controls/form.h"
#include "controls/get_number.h"
#include "controls/group_box.h"
#include "controls/label.h"
#include "controls/list_box.h"
#include "controls/page_control.h"
#include "controls/password_edit.h"
#include "controls/picture_box.h"
#include "controls/radio_button.h"
#include "controls/track_bar.h"
#include "wallpaper_folder/chosen_folder.h"
#include "wallpaper_folder/folder_listing.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

class TToolkit;

// What the program hands to the dialog at creation.
struct TFormStart {
    // The command-line arguments after the program's name.
    std::vector<std::string> arguments;
    // Lowers the user-interface thread to the idle priority (step 2 of the creation).
    // Tests replace it: an idle thread starves on a busy build machine.
    std::function<void()> lowerThreadPriority;
};

using wallpaper::FolderOfProgram;
using wallpaper::StripTrailingBackslash;
// Top-left corner of the dialog's outer frame: 100 pixels right of and 50 below centred.
TPoint DialogPlacement(TSize screen, TSize outerFrame);
// The control whose help number applies to `control`: itself or its nearest parent with a
// number, up to and including the window; nullptr when none has one.
const TControl* HelpContextHolder(const TControl* control);

class TOptionsForm : public TForm {
public:
    // Builds the windows with the toolkit, then runs FormCreate.
    TOptionsForm(TFormStart start, TToolkit& toolkit);
    ~TOptionsForm() override;

    // The application's help file, set at creation.
    const std::string& HelpFile() const { return helpFile_; }

    // Handlers (each runs on its control's event; the form's own run from creation and show).
    void FormCreate();
    void FormShow();
    void Button5Click(); // "&OK": save, then close
    void Button3Click(); // "&Cancel": close without saving
    void IdleTimeTrackBarChange();
    void ScreenSaverTrackBarChange();
    void UseAccessKeyClick();
    void WMFitClick();
    void WMOrgClick();
    void WMResClick();
    void WMHeightEnter();
    void TabSheet4Enter();

    // Wallpaper page.
    void FillWallPapers();
    void WallpaperListClick();
    void FolderChange();
    void DriveChange();
    void Button1Click(); // "&Change to"
    void Button2Click(); // "&Set as next"

    // NWP page.
    void CountNWPFiles(); // the count sentence and the buttons, at creation
    void Button4Click();  // "Convert"
    void Button6Click();  // "Delete"

    // What the window tells.
    void Shown() override;
    void FocusMoved(TControl* to) override;
    void HelpRequested(TControl* control) override;
    void FrameChanged() override;

    // The page control and its pages (tabs in the order TabSheet1, 2, 4, 3).
    TPageControl* const Page = Add<TPageControl>("Page");
    TTabSheet* const TabSheet1 = Add<TTabSheet>("TabSheet1");
    TTabSheet* const TabSheet2 = Add<TTabSheet>("TabSheet2");
    TTabSheet* const TabSheet3 = Add<TTabSheet>("TabSheet3");
    TTabSheet* const TabSheet4 = Add<TTabSheet>("TabSheet4");
    TPanel* const Panel1 = Add<TPanel>("Panel1");
    TButton* const Button5 = Add<TButton>("Button5");
    TButton* const Button3 = Add<TButton>("Button3");

    // "Wallpaper"
    TLabel* const Label11 = Add<TLabel>("Label11");
    TTrackBar* const IdleTimeTrackBar = Add<TTrackBar>("IdleTimeTrackBar");
    TLabel* const IdleTime = Add<TLabel>("IdleTime");
    TLabel* const Label1 = Add<TLabel>("Label1");
    TDriveSelector* const Drive = Add<TDriveSelector>("Drive");
    TFolderList* const Folder = Add<TFolderList>("Folder");
    TLabel* const Label2 = Add<TLabel>("Label2");
    TListBox* const WallpaperList = Add<TListBox>("WallpaperList");
    TButton* const Button2 = Add<TButton>("Button2");
    TButton* const Button1 = Add<TButton>("Button1");
    TLabel* const Label9 = Add<TLabel>("Label9");
    TPictureBox* const Preview = Add<TPictureBox>("Preview");
    TCheckBox* const AutoLoad = Add<TCheckBox>("AutoLoad");
    TCheckBox* const ExitOnChange = Add<TCheckBox>("ExitOnChange");

    // "Screen Saver"
    TLabel* const Label3 = Add<TLabel>("Label3");
    TTrackBar* const ScreenSaverTrackBar = Add<TTrackBar>("ScreenSaverTrackBar");
    TLabel* const SSIdleTime = Add<TLabel>("SSIdleTime");
    TGroupBox* const GroupBox1 = Add<TGroupBox>("GroupBox1");
    TCheckBox* const OtherSS = Add<TCheckBox>("OtherSS");
    TCheckBox* const UseAccessKey = Add<TCheckBox>("UseAccessKey");
    TLabel* const Label5 = Add<TLabel>("Label5");
    TDropDownList* const AKShift = Add<TDropDownList>("AKShift");
    TDropDownList* const AKCode = Add<TDropDownList>("AKCode");
    TLabel* const Label6 = Add<TLabel>("Label6");
    TGetNumber* const AKTimes = Add<TGetNumber>("AKTimes");
    TLabel* const Label7 = Add<TLabel>("Label7");
    TPasswordEdit* const AKPassword = Add<TPasswordEdit>("AKPassword");
    TLabel* const Label8 = Add<TLabel>("Label8");
    TPasswordEdit* const AKPassword2 = Add<TPasswordEdit>("AKPassword2");

    // "Picture Stretching"
    TGroupBox* const GroupBox3 = Add<TGroupBox>("GroupBox3");
    TGroupBox* const GroupBox2 = Add<TGroupBox>("GroupBox2");
    TRadioButton* const WMFit = Add<TRadioButton>("WMFit");
    TRadioButton* const WMOrg = Add<TRadioButton>("WMOrg");
    TRadioButton* const WMRes = Add<TRadioButton>("WMRes");
    TGetNumber* const WMWidth = Add<TGetNumber>("WMWidth");
    TLabel* const Label10 = Add<TLabel>("Label10");
    TGetNumber* const WMHeight = Add<TGetNumber>("WMHeight");
    TLabel* const Label12 = Add<TLabel>("Label12");
    TLabel* const Label13 = Add<TLabel>("Label13");
    TDropDownList* const WMPosition = Add<TDropDownList>("WMPosition");
    TRadioButton* const SSFit = Add<TRadioButton>("SSFit");
    TRadioButton* const SSOrg = Add<TRadioButton>("SSOrg");

    // "NWP support"
    TLabel* const Label4 = Add<TLabel>("Label4");
    TLabel* const NoOfNWPs = Add<TLabel>("NoOfNWPs");
    TButton* const Button4 = Add<TButton>("Button4");
    TButton* const Button6 = Add<TButton>("Button6");

private:
    void ConnectHandlers();
    void PlaceOnScreen();
    void SelectFirstPage();

    void LoadSettings();
    void SaveSettings();
    bool ProtectionIsValid() const;
    void ConvertNWPFiles();
    void DeleteNWPFiles();

    TFormStart start_;
    TToolkit& toolkit_;
    std::string ProgramFolder;
    std::string helpFile_;
    // The control that had the focus last, kept while the window is inactive, so that
    // coming back to the window enters nothing anew.
    const TControl* lastFocus_ = nullptr;
    // The outer size the placement was computed from.
    TSize placedFrame_;
};

} // namespace nimbrel
