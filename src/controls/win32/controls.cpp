#include "controls/win32/controls.h"

#include "controls/error_report.h"
#include "controls/virtual_keys.h"
#include "controls/win32/canvas.h"
#include "controls/win32/dpi.h"
#include "controls/win32/form_window.h"

namespace nimbrel::win32 {
namespace {

// The modifier keys held now, as the entry fields see them.
TShiftState HeldShift() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    return shift;
}

} // namespace

void TLabelWindow::ShowCaption(std::string_view caption) {
    TPlainPeer::ShowCaption(caption);
    if ((style_ & lsAutoSize) == 0)
        return;
    // A label that sizes itself to its text keeps its top-left corner. It was made in the
    // size of the caption it was made with.
    const SIZE extent = Form().TextExtent(Wide(caption));
    RECT bounds{};
    GetWindowRect(Handle(), &bounds);
    if (bounds.right - bounds.left != extent.cx || bounds.bottom - bounds.top != extent.cy)
        SetWindowPos(Handle(), nullptr, 0, 0, extent.cx, extent.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TButtonWindow::Command(int code) {
    if (code == BN_CLICKED)
        static_cast<TButton*>(Control())->UserClick();
}

bool TButtonWindow::ReturnKey() {
    static_cast<TButton*>(Control())->UserClick();
    return true;
}

void TCheckBoxWindow::ShowChecked(bool checked) {
    Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBoxWindow::Command(int code) {
    if (code == BN_CLICKED) {
        auto* box = static_cast<TCheckBox*>(Control());
        box->UserSetChecked(!box->Checked());
    }
}

void TRadioButtonWindow::ShowChecked(bool checked) {
    Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButtonWindow::Command(int code) {
    if (code == BN_CLICKED)
        static_cast<TRadioButton*>(Control())->UserCheck();
}

void TTrackBarWindow::ShowRange(int min, int max) {
    Send(TBM_SETRANGEMIN, FALSE, min);
    Send(TBM_SETRANGEMAX, TRUE, max);
}

void TTrackBarWindow::ShowPosition(int position) {
    Send(TBM_SETPOS, TRUE, position);
}

// The bar tells its parent of the user's moves only; a position set by code is silent.
void TTrackBarWindow::HScroll(int code) {
    if (code == TB_ENDTRACK)
        return;
    const int position = static_cast<int>(SendMessageW(Handle(), TBM_GETPOS, 0, 0));
    static_cast<TTrackBar*>(Control())->UserMove(position);
}

void TDropDownListWindow::ShowItems(const std::vector<std::string>& items) {
    Send(CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

void TDropDownListWindow::ShowItemIndex(int index) {
    Send(CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TDropDownListWindow::Command(int code) {
    if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
        static_cast<TDropDownList*>(Control())->UserSelect(index);
    }
}

void TListBoxWindow::ShowItems(const std::vector<std::string>& items) {
    Send(WM_SETREDRAW, FALSE, 0);
    Send(LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    Send(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TListBoxWindow::ShowItemIndex(int index) {
    Send(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// Every click on a line counts, also on the selected one, and every key that moves the
// selection; the list's own notification knows only of changes.
LRESULT TListBoxWindow::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    auto* list = static_cast<TListBox*>(Control());
    const auto selection = [this] {
        return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
    };
    switch (message) {
    case WM_LBUTTONUP: {
        handled = true;
        const LRESULT result = Default(message, wParam, lParam);
        const LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, lParam);
        if (HIWORD(hit) == 0)
            list->UserClick(selection());
        return result;
    }
    case WM_KEYDOWN: {
        handled = true;
        const int before = selection();
        const LRESULT result = Default(message, wParam, lParam);
        if (selection() != before)
            list->UserClick(selection());
        return result;
    }
    default:
        return TPeer::WindowMessage(message, wParam, lParam, handled);
    }
}

void TDriveSelectorWindow::ShowDrives(const std::vector<char>& letters) {
    letters_ = letters;
    Send(CB_RESETCONTENT, 0, 0);
    for (char letter : letters) {
        const wchar_t text[] = {static_cast<wchar_t>(letter), L':', L'\0'};
        Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void TDriveSelectorWindow::ShowDrive(char letter) {
    for (std::size_t i = 0; i < letters_.size(); ++i) {
        if (letters_[i] == letter) {
            Send(CB_SETCURSEL, i, 0);
            return;
        }
    }
    Send(CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void TDriveSelectorWindow::Command(int code) {
    if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
        if (index < 0 || index >= static_cast<int>(letters_.size()))
            return;
        try {
            static_cast<TDriveSelector*>(Control())->UserPick(
                letters_[static_cast<std::size_t>(index)]);
        } catch (...) {
            // A message box over an open list would leave the list hanging open.
            if (SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0)
                pending_ = std::current_exception();
            else
                throw;
        }
    } else if (code == CBN_CLOSEUP && pending_) {
        std::exception_ptr error = std::exchange(pending_, nullptr);
        std::rethrow_exception(error);
    }
}

void TFolderListWindow::ShowLines(const std::vector<TFolderLine>& lines, int current) {
    lines_ = lines;
    Send(WM_SETREDRAW, FALSE, 0);
    Send(LB_RESETCONTENT, 0, 0);
    for (const TFolderLine& line : lines_)
        Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(line.name).c_str()));
    Send(LB_SETCURSEL, static_cast<WPARAM>(current), 0);
    Send(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TFolderListWindow::ShowItemHeight(int height) {
    if (height > 0)
        Send(LB_SETITEMHEIGHT, 0, Scaled(height));
}

void TFolderListWindow::Command(int code) {
    if (code == LBN_DBLCLK) {
        const int index = static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
        static_cast<TFolderList*>(Control())->UserOpen(index);
    }
}

bool TFolderListWindow::ReturnKey() {
    const int index = static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
    static_cast<TFolderList*>(Control())->UserOpen(index);
    return true;
}

// A line: indented by its depth, a small folder drawn open or closed, then its name.
void TFolderListWindow::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= lines_.size())
        return;
    const TFolderLine& line = lines_[item.itemID];
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int indent = Scaled(7) * line.level + Scaled(2);
    const int height = item.rcItem.bottom - item.rcItem.top;
    const int glyph = Scaled(12);
    RECT folder{item.rcItem.left + indent, item.rcItem.top + (height - Scaled(9)) / 2,
                item.rcItem.left + indent + glyph, item.rcItem.top + (height + Scaled(9)) / 2};
    HBRUSH fill = CreateSolidBrush(line.open ? RGB(255, 255, 160) : RGB(220, 200, 90));
    FillRect(dc, &folder, fill);
    DeleteObject(fill);
    FrameRect(dc, &folder, GetSysColorBrush(COLOR_WINDOWTEXT));
    RECT text = item.rcItem;
    text.left = folder.right + Scaled(4);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::wstring name = Wide(line.name);
    DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) != 0)
        DrawFocusRect(dc, &item.rcItem);
}

void TPasswordWindow::ShowText(std::string_view text) {
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void TPasswordWindow::Command(int code) {
    if (code == EN_CHANGE)
        static_cast<TPasswordEdit*>(Control())->UserEdit(WindowText(Handle()));
}

void TEntryFieldWindow::ShowText(std::string_view text) {
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void TEntryFieldWindow::SelectAll() {
    SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TEntryFieldWindow::MoveFocus(bool next) {
    SendMessageW(Form().Handle(), WM_NEXTDLGCTL, next ? 0 : 1, FALSE);
}

void TEntryFieldWindow::Command(int code) {
    if (code == EN_CHANGE)
        Field().UserEdit(WindowText(Handle()));
}

LRESULT TEntryFieldWindow::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                         bool& handled) {
    switch (message) {
    case WM_SETFOCUS: {
        handled = true;
        const LRESULT result = Default(message, wParam, lParam);
        Form().FocusEntered(Control());
        Field().FocusEnter();
        return result;
    }
    case WM_KILLFOCUS: {
        handled = true;
        const LRESULT result = Default(message, wParam, lParam);
        // Another window of the system taking the focus is no exit from the field.
        if (Form().KeepsFocus(reinterpret_cast<HWND>(wParam)))
            Field().FocusExit();
        return result;
    }
    case WM_KEYDOWN: {
        handled = true;
        const int key = Field().UserKeyDown(static_cast<int>(wParam), HeldShift());
        return key == 0 ? 0 : Default(message, static_cast<WPARAM>(key), lParam);
    }
    case WM_CHAR: {
        handled = true;
        const char typed = NarrowChar(static_cast<wchar_t>(wParam));
        const char key = Field().UserKeyPress(typed);
        if (key == 0)
            return 0;
        return Default(message, key == typed ? wParam : static_cast<WPARAM>(WideChar(key)), lParam);
    }
    default:
        return TPeer::WindowMessage(message, wParam, lParam, handled);
    }
}

void TPictureBoxWindow::Invalidate() {
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TPictureBoxWindow::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                         bool& handled) {
    if (message != WM_PAINT)
        return 0;
    handled = true;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Handle(), &paint);
    RECT client{};
    GetClientRect(Handle(), &client);
    std::exception_ptr error;
    try {
        TWin32Canvas canvas(dc);
        static_cast<TPictureBox*>(Control())->Paint(canvas, {client.right, client.bottom});
    } catch (...) {
        error = std::current_exception();
    }
    EndPaint(Handle(), &paint);
    // Reported once the paint is over, so that the box is not left half painted.
    if (error)
        Form().Report(error);
    return 0;
}

void TPageControlWindow::AddPage(std::string_view caption, HWND page) {
    std::wstring text = Wide(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(Handle(), TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
    pages_.push_back(page);
    lastFocus_.push_back(nullptr);
}

void TPageControlWindow::SetPageCaption(HWND page, std::string_view caption) {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i] == page) {
            std::wstring text = Wide(caption);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            SendMessageW(Handle(), TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
}

RECT TPageControlWindow::PageArea() const {
    RECT area{};
    GetClientRect(Handle(), &area);
    SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(Handle(), GetParent(Handle()), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

void TPageControlWindow::ShowActivePage(int index) {
    Send(TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowPage(index);
}

LRESULT TPageControlWindow::Notify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
        ShowPage(index);
        static_cast<TPageControl*>(Control())->UserSelectPage(index);
    }
    return 0;
}

HWND TPageControlWindow::SelectNextPage(bool forward) {
    const int count = static_cast<int>(pages_.size());
    const int current = static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
    if (count < 2 || current < 0 || current >= count)
        return nullptr;
    const int next = (current + (forward ? 1 : count - 1)) % count;
    SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(next), 0);
    ShowPage(next);
    static_cast<TPageControl*>(Control())->UserSelectPage(next);
    return pages_[static_cast<std::size_t>(current)];
}

HWND TPageControlWindow::ActivePageWindow() const {
    const int current = static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
    return current >= 0 && current < static_cast<int>(pages_.size())
               ? pages_[static_cast<std::size_t>(current)]
               : nullptr;
}

// The focus on a page that is left goes along to the page shown: to the control that last
// had it there, else to the page's first control of the tab order, else to the tabs.
void TPageControlWindow::ShowPage(int index) {
    HWND focus = GetFocus();
    bool focusLeaves = false;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (static_cast<int>(i) != index && focus != nullptr && IsChild(pages_[i], focus)) {
            lastFocus_[i] = focus;
            focusLeaves = true;
        }
    }
    if (index >= 0 && index < static_cast<int>(pages_.size()))
        Form().MakePage(pages_[static_cast<std::size_t>(index)]);
    for (std::size_t i = 0; i < pages_.size(); ++i)
        ShowWindow(pages_[i], static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
    if (!focusLeaves || index < 0 || index >= static_cast<int>(pages_.size()))
        return;
    HWND page = pages_[static_cast<std::size_t>(index)];
    HWND to = lastFocus_[static_cast<std::size_t>(index)];
    const auto canTake = [page](HWND window) {
        return window != nullptr && IsChild(page, window) && IsWindowVisible(window) &&
               IsWindowEnabled(window);
    };
    if (!canTake(to))
        to = GetNextDlgTabItem(page, nullptr, FALSE);
    SetFocus(canTake(to) ? to : Handle());
}

void TTabSheetWindow::ShowCaption(std::string_view caption) {
    pages_.SetPageCaption(Handle(), caption);
}

} // namespace nimbrel::win32
