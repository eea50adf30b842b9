#include "tests/controls/win32/layout_form.h"

#include "controls/button.h"
#include "controls/check_box.h"
#include "controls/drive_selector.h"
#include "controls/drop_down_list.h"
#include "controls/folder_list.h"
#include "controls/get_number.h"
#include "controls/group_box.h"
#include "controls/label.h"
#include "controls/list_box.h"
#include "controls/page_control.h"
#include "controls/password_edit.h"
#include "controls/picture_box.h"
#include "controls/radio_button.h"
#include "controls/track_bar.h"

namespace nimbrel::test {

TLayoutForm::TLayoutForm(TLayout layout, TToolkit& toolkit) : TForm(layout.front().Name) {
    for (const TLayoutRow& row : layout.subspan(1)) {
        using enum TControlKind;
        switch (row.Kind) {
        case Form:
            break;
        case PageControl:
            Add<TPageControl>(row.Name);
            break;
        case TabSheet:
            Add<TTabSheet>(row.Name);
            break;
        case Panel:
            Add<TPanel>(row.Name);
            break;
        case GroupBox:
            Add<TGroupBox>(row.Name);
            break;
        case Label:
            Add<TLabel>(row.Name);
            break;
        case Button:
            Add<TButton>(row.Name);
            break;
        case CheckBox:
            Add<TCheckBox>(row.Name);
            break;
        case RadioButton:
            Add<TRadioButton>(row.Name);
            break;
        case TrackBar:
            Add<TTrackBar>(row.Name);
            break;
        case DropDownList:
            Add<TDropDownList>(row.Name);
            break;
        case ListBox:
            Add<TListBox>(row.Name);
            break;
        case DriveSelector:
            Add<TDriveSelector>(row.Name);
            break;
        case FolderList:
            Add<TFolderList>(row.Name);
            break;
        case PasswordEdit:
            Add<TPasswordEdit>(row.Name);
            break;
        case GetString:
            Add<TGetString>(row.Name);
            break;
        case GetNumber:
            Add<TGetNumber>(row.Name);
            break;
        case PictureBox:
            Add<TPictureBox>(row.Name);
            break;
        }
    }
    // The first drive selector moves the first folder list, as in the dialog.
    TDriveSelector* drives = nullptr;
    TFolderList* folders = nullptr;
    for (TControl* control : Controls()) {
        if (!drives)
            drives = dynamic_cast<TDriveSelector*>(control);
        if (!folders)
            folders = dynamic_cast<TFolderList*>(control);
    }
    if (drives && folders)
        drives->SetFolderList(folders);
    CreateWindows(layout, toolkit);
}

} // namespace nimbrel::test
