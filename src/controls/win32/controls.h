#pragma once
// The windows of the controls, one class per kind of the layout, each the control's peer.
#include "controls/button.h"
#include "controls/check_box.h"
#include "controls/drive_selector.h"
#include "controls/drop_down_list.h"
#include "controls/folder_list.h"
#include "controls/get_string.h"
#include "controls/layout.h"
#include "controls/list_box.h"
#include "controls/page_control.h"
#include "controls/password_edit.h"
#include "controls/picture_box.h"
#include "controls/radio_button.h"
#include "controls/track_bar.h"
#include "controls/win32/peer.h"

#include <exception>
#include <utility>
#include <vector>

namespace nimbrel::win32 {

// A page of the page control, a panel: a plain window that other windows lie on.
class TContainerWindow : public TPlainPeer {
public:
    using TPlainPeer::TPlainPeer;
};

class TLabelWindow : public TPlainPeer {
public:
    TLabelWindow(TFormWindow& form, TControl* control, unsigned style)
        : TPlainPeer(form, control), style_(style) {}
    void ShowCaption(std::string_view caption) override;

private:
    unsigned style_;
};

class TButtonWindow : public TPlainPeer {
public:
    using TPlainPeer::TPlainPeer;
    void Command(int code) override;
    bool ReturnKey() override;
};

class TCheckBoxWindow : public TPeer<TCheckBoxPeer> {
public:
    using TPeer::TPeer;
    void ShowChecked(bool checked) override;
    void Command(int code) override;
};

class TRadioButtonWindow : public TPeer<TRadioButtonPeer> {
public:
    using TPeer::TPeer;
    void ShowChecked(bool checked) override;
    void Command(int code) override;
};

class TTrackBarWindow : public TPeer<TTrackBarPeer> {
public:
    using TPeer::TPeer;
    void ShowRange(int min, int max) override;
    void ShowPosition(int position) override;
    void HScroll(int code) override;
};

class TDropDownListWindow : public TPeer<TDropDownListPeer> {
public:
    using TPeer::TPeer;
    void ShowItems(const std::vector<std::string>& items) override;
    void ShowItemIndex(int index) override;
    void Command(int code) override;
};

class TListBoxWindow : public TPeer<TListBoxPeer> {
public:
    using TPeer::TPeer;
    void ShowItems(const std::vector<std::string>& items) override;
    void ShowItemIndex(int index) override;
    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
};

class TDriveSelectorWindow : public TPeer<TDriveSelectorPeer> {
public:
    using TPeer::TPeer;
    void ShowDrives(const std::vector<char>& letters) override;
    void ShowDrive(char letter) override;
    void Command(int code) override;

private:
    std::vector<char> letters_;
    // An error of a pick made while the list was open, reported once it has closed.
    std::exception_ptr pending_;
};

class TFolderListWindow : public TPeer<TFolderListPeer> {
public:
    using TPeer::TPeer;
    void ShowLines(const std::vector<TFolderLine>& lines, int current) override;
    void ShowItemHeight(int height) override;
    void Command(int code) override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    bool ReturnKey() override;

private:
    std::vector<TFolderLine> lines_;
};

// The password edit: its text follows the user's editing. An edit's window text is its
// content: it shows no caption.
class TPasswordWindow : public TPeer<TEditPeer> {
public:
    using TPeer::TPeer;
    void ShowCaption(std::string_view) override {}
    void ShowText(std::string_view text) override;
    void Command(int code) override;
};

// The entry fields: every key and character goes to the field before the edit. As the
// password edit, it shows no caption.
class TEntryFieldWindow : public TPeer<TEntryFieldPeer> {
public:
    using TPeer::TPeer;
    void ShowCaption(std::string_view) override {}
    void ShowText(std::string_view text) override;
    void SelectAll() override;
    void MoveFocus(bool next) override;
    void Command(int code) override;
    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    TGetString& Field() const { return *static_cast<TGetString*>(Control()); }
};

class TPictureBoxWindow : public TPeer<TPictureBoxPeer> {
public:
    using TPeer::TPeer;
    void Invalidate() override;
    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
};

class TPageControlWindow : public TPeer<TPageControlPeer> {
public:
    using TPeer::TPeer;
    // Adds a page's tab and its window, which lies over the tab control's page area.
    void AddPage(std::string_view caption, HWND page);
    void SetPageCaption(HWND page, std::string_view caption);
    // The page area in the parent's client coordinates.
    RECT PageArea() const;

    // The user's move to the next (or previous) page, wrapping round: the window of the
    // page left, or nullptr when there is no other page.
    HWND SelectNextPage(bool forward);
    HWND ActivePageWindow() const;

    void ShowActivePage(int index) override;
    LRESULT Notify(const NMHDR& header) override;

private:
    void ShowPage(int index);
    std::vector<HWND> pages_;
    // The window of each page that had the focus when the page was left.
    std::vector<HWND> lastFocus_;
};

// A page: its caption is its tab's.
class TTabSheetWindow : public TContainerWindow {
public:
    TTabSheetWindow(TFormWindow& form, TControl* control, TPageControlWindow& pages)
        : TContainerWindow(form, control), pages_(pages) {}
    void ShowCaption(std::string_view caption) override;

private:
    TPageControlWindow& pages_;
};

} // namespace nimbrel::win32
