#pragma once
// The options dialog: the program's only window. One class whose controls and handlers
// carry the names the product's documentation uses, split over files by page:
//   options_form.cpp        the shell (window, page control, bottom panel), creation, closing
//   wallpaper_layout.cpp    screen_saver_layout.cpp    stretching_layout.cpp    nwp_layout.cpp
//   load_settings.cpp       save_settings.cpp          enabling_rules.cpp      help.cpp
//   wallpaper_page.cpp      nwp_page.cpp (the behaviour of those two pages)
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QGroupBox;

namespace nimbrel {

class TQtCheckBox;
class TQtDriveSelector;
class TQtDropDownList;
class TQtFolderList;
class TQtGetNumber;
class TQtPasswordEdit;
class TQtPictureBox;
class TQtRadioButton;
class TQtTrackBar;

// What the program hands to the dialog at creation.
struct TFormStart {
    // The command-line arguments after the program's name.
    std::vector<std::string> arguments;
    // Lowers the user-interface thread to the idle priority (step 2 of the creation).
    // Tests replace it: an idle thread starves on a busy build machine.
    std::function<void()> lowerThreadPriority;
};

// The folder of a program file, up to and including its last backslash (C:\APPS\N\).
std::string FolderOfProgram(std::string_view programFile);
// The path without its last character when that is a backslash (C:\ gives C:).
std::string StripTrailingBackslash(std::string_view path);
// Top-left corner of the dialog's outer frame: 100 pixels right of and 50 below centred.
QPoint DialogPlacement(QSize screen, QSize outerFrame);

class TOptionsForm : public QWidget {
    Q_OBJECT

public:
    explicit TOptionsForm(TFormStart start = {}, QWidget* parent = nullptr);
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

    // The page control and its pages (tabs in the order TabSheet1, 2, 4, 3).
    QTabWidget* Page = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button3 = nullptr;

    // "Wallpaper"
    QLabel* Label11 = nullptr;
    TQtTrackBar* IdleTimeTrackBar = nullptr;
    QLabel* IdleTime = nullptr;
    QLabel* Label1 = nullptr;
    TQtDriveSelector* Drive = nullptr;
    TQtFolderList* Folder = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* WallpaperList = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* Label9 = nullptr;
    TQtPictureBox* Preview = nullptr;
    TQtCheckBox* AutoLoad = nullptr;
    TQtCheckBox* ExitOnChange = nullptr;

    // "Screen Saver"
    QLabel* Label3 = nullptr;
    TQtTrackBar* ScreenSaverTrackBar = nullptr;
    QLabel* SSIdleTime = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    TQtCheckBox* OtherSS = nullptr;
    TQtCheckBox* UseAccessKey = nullptr;
    QLabel* Label5 = nullptr;
    TQtDropDownList* AKShift = nullptr;
    TQtDropDownList* AKCode = nullptr;
    QLabel* Label6 = nullptr;
    TQtGetNumber* AKTimes = nullptr;
    QLabel* Label7 = nullptr;
    TQtPasswordEdit* AKPassword = nullptr;
    QLabel* Label8 = nullptr;
    TQtPasswordEdit* AKPassword2 = nullptr;

    // "Picture Stretching"
    QGroupBox* GroupBox3 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    TQtRadioButton* WMFit = nullptr;
    TQtRadioButton* WMOrg = nullptr;
    TQtRadioButton* WMRes = nullptr;
    TQtGetNumber* WMWidth = nullptr;
    QLabel* Label10 = nullptr;
    TQtGetNumber* WMHeight = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    TQtDropDownList* WMPosition = nullptr;
    TQtRadioButton* SSFit = nullptr;
    TQtRadioButton* SSOrg = nullptr;

    // "NWP support"
    QLabel* Label4 = nullptr;
    QLabel* NoOfNWPs = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button6 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildShell();
    void BuildWallpaperPage();
    void BuildScreenSaverPage();
    void BuildStretchingPage();
    void BuildNWPPage();
    void ConnectHandlers();
    void SetTabOrder();
    void PlaceOnScreen();
    void SelectFirstPage();

    void LoadSettings();
    void SaveSettings();
    bool ProtectionIsValid() const;
    void ConvertNWPFiles();
    void DeleteNWPFiles();

    // Context help for a control: its number or the nearest parent's, shown as a pop-up.
    void ShowHelpFor(QWidget* control);
    bool HelpEvent(QObject* watched, QEvent* event);
    // A key that moves the wallpaper list's selection counts as a click in the list.
    bool WallpaperListKey(QObject* watched, QEvent* event);
    void FocusChanged(QWidget* from, QWidget* to);

    TFormStart start_;
    std::string ProgramFolder;
    std::string helpFile_;
    bool forwardingListKey_ = false;
    // The control that had the focus last, kept while the window is inactive, so that
    // coming back to the window enters nothing anew.
    QPointer<QWidget> lastFocus_;
};

} // namespace nimbrel
