#include "win32_dialog_driver.h"

#include "controls/toolkit.h"
#include "controls/win32/form_window.h"
#include "controls/win32/help_popup.h"
#include "controls/win32/text.h"
#include "controls/win32/window.h"
#include "dialog_fixture.h"
#include "imaging/bitmap.h"
#include "tests/controls/win32/held_keys.h"
#include "tests/controls/win32/window_capture.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace nimbrel::test {
namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool IsClass(HWND window, const wchar_t* name) {
    return lstrcmpiW(ClassOf(window).c_str(), name) == 0;
}

LPARAM Packed(POINT point) {
    return MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
}

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The keys a shift state holds down, each with its left-hand key as a real keyboard has.
std::vector<int> ModifierKeys(TShiftState shift) {
    std::vector<int> keys;
    const auto hold = [&keys](int key, int left) {
        keys.push_back(key);
        keys.push_back(left);
    };
    if (shift & ssShift)
        hold(VK_SHIFT, VK_LSHIFT);
    if (shift & ssCtrl)
        hold(VK_CONTROL, VK_LCONTROL);
    if (shift & ssAlt)
        hold(VK_MENU, VK_LMENU);
    return keys;
}

// Everything drawn now, not when the queue next comes round.
void RedrawNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

} // namespace

HWND TWin32DialogDriver::Window(std::string_view control) const {
    TControl* found = form_.FindControl(control);
    if (found == nullptr)
        throw std::invalid_argument("no control named " + std::string(control));
    // A page's windows are made when it is first shown, or when a test drives a control
    // on it before that.
    if (auto* formWindow = dynamic_cast<win32::TFormWindow*>(form_.Peer()))
        formWindow->MakeWindowsOf(*found);
    auto* window = dynamic_cast<win32::TWindow*>(found->Peer());
    if (window == nullptr || window->Handle() == nullptr)
        throw std::invalid_argument("no window for the control " + std::string(control));
    return window->Handle();
}

HWND TWin32DialogDriver::FormWindow() const {
    return Window(form_.Name());
}

bool TWin32DialogDriver::WaitActive() {
    Settle();
    return IsWindowVisible(FormWindow()) && GetActiveWindow() == FormWindow();
}

void TWin32DialogDriver::Settle() {
    Toolkit().ProcessMessages();
}

void TWin32DialogDriver::Repaint(std::string_view control) {
    RedrawNow(Window(control));
}

// A left click at `at`, in the window's client coordinates: the messages go to the
// control's own window, as the Qt driver's events go to its widget. A disabled window
// takes no mouse input, as on the screen.
void TWin32DialogDriver::ClickAt(HWND window, POINT at) {
    if (!Enabled(window))
        return;
    PostMessageW(window, WM_MOUSEMOVE, 0, Packed(at));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, Packed(at));
    PostMessageW(window, WM_LBUTTONUP, 0, Packed(at));
    Settle();
}

void TWin32DialogDriver::Click(std::string_view control) {
    HWND window = Window(control);
    RECT client{};
    GetClientRect(window, &client);
    ClickAt(window, Centre(client));
}

// The middle of a line of a list, in the list's client coordinates, scrolled into view
// first as the user would.
POINT TWin32DialogDriver::LineCentre(HWND list, std::string_view control, int line) const {
    if (!IsClass(list, L"ListBox") || line < 0 ||
        line >= static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)))
        throw std::invalid_argument("no such line of " + std::string(control));
    RECT client{}, item{};
    GetClientRect(list, &client);
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
    if (item.top < client.top || item.bottom > client.bottom) {
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(line), 0);
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line),
                     reinterpret_cast<LPARAM>(&item));
    }
    return Centre(item);
}

void TWin32DialogDriver::ClickLine(std::string_view control, int line) {
    HWND list = Window(control);
    ClickAt(list, LineCentre(list, control, line));
}

void TWin32DialogDriver::RightClickLine(std::string_view control, int line) {
    HWND list = Window(control);
    const POINT at = LineCentre(list, control, line);
    if (!Enabled(list))
        return;
    PostMessageW(list, WM_MOUSEMOVE, 0, Packed(at));
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, Packed(at));
    PostMessageW(list, WM_RBUTTONUP, 0, Packed(at));
    Settle();
}

void TWin32DialogDriver::CtrlClickLine(std::string_view control, int line) {
    HWND list = Window(control);
    const POINT at = LineCentre(list, control, line);
    if (!Enabled(list))
        return;
    const HeldKeys held(ModifierKeys(ssCtrl));
    PostMessageW(list, WM_MOUSEMOVE, MK_CONTROL, Packed(at));
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, Packed(at));
    PostMessageW(list, WM_LBUTTONUP, MK_CONTROL, Packed(at));
    Settle();
}

// Pressed on one line, moved in steps to the other with the button held, released there.
void TWin32DialogDriver::DragAcrossLines(std::string_view control, int from, int to) {
    HWND list = Window(control);
    const POINT start = LineCentre(list, control, from);
    const POINT end = LineCentre(list, control, to);
    if (!Enabled(list))
        return;
    PostMessageW(list, WM_MOUSEMOVE, 0, Packed(start));
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, Packed(start));
    Settle();
    const int steps = 4;
    for (int i = 1; i <= steps; ++i) {
        const POINT at{start.x + (end.x - start.x) * i / steps,
                       start.y + (end.y - start.y) * i / steps};
        PostMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, Packed(at));
        Settle();
    }
    PostMessageW(list, WM_LBUTTONUP, 0, Packed(end));
    Settle();
}

void TWin32DialogDriver::ClickTab(std::string_view control, int tab) {
    HWND tabs = Window(control);
    RECT item{};
    if (!IsClass(tabs, WC_TABCONTROLW) ||
        !SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab),
                      reinterpret_cast<LPARAM>(&item)))
        throw std::invalid_argument(std::string(control) + " has no tab " + std::to_string(tab));
    ClickAt(tabs, Centre(item));
}

// The caption's help button puts the window into its help mode, which holds the mouse:
// the click that names the control to help with comes to the dialog's window.
void TWin32DialogDriver::AskHelp(std::string_view control, TPoint at) {
    HWND form = FormWindow();
    RECT bounds{};
    GetWindowRect(Window(control), &bounds);
    POINT point{bounds.left + at.X, bounds.top + at.Y};
    SetCursorPos(point.x, point.y);
    PostMessageW(form, WM_SYSCOMMAND, SC_CONTEXTHELP, Packed(point));
    ScreenToClient(form, &point);
    ClickAt(form, point);
}

void TWin32DialogDriver::Focus(std::string_view control) {
    SetFocus(Window(control));
    Settle();
}

// The key goes through the queue and the frontend's loop: the dialog keys see it first and
// the loop translates it into its character.
void TWin32DialogDriver::Key(std::string_view control, int virtualKey, TShiftState shift) {
    HWND target = Window(control);
    const HeldKeys held(ModifierKeys(shift));
    const bool alt = (shift & ssAlt) != 0;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM context = alt ? (1 << 29) : 0;
    PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(virtualKey),
                 1 | scan | context);
    Settle();
    PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, static_cast<WPARAM>(virtualKey),
                 1 | scan | context | (LPARAM(1) << 30) | (LPARAM(1) << 31));
    Settle();
}

void TWin32DialogDriver::Type(std::string_view control, std::string_view text) {
    HWND target = Window(control);
    for (char c : text) {
        PostMessageW(target, WM_CHAR, static_cast<WPARAM>(win32::WideChar(c)), 1);
        Settle();
    }
}

bool TWin32DialogDriver::Visible() const {
    return IsWindowVisible(FormWindow()) != FALSE;
}

bool TWin32DialogDriver::Enabled(std::string_view control) const {
    return Enabled(Window(control));
}

// A window lying on a disabled one is disabled too, as the user sees it.
bool TWin32DialogDriver::Enabled(HWND window) const {
    for (HWND h = window; h != nullptr; h = GetAncestor(h, GA_PARENT)) {
        if (!IsWindowEnabled(h))
            return false;
        if (h == FormWindow())
            break;
    }
    return true;
}

bool TWin32DialogDriver::HasFocus(std::string_view control) const {
    return GetFocus() == Window(control);
}

std::string TWin32DialogDriver::Text(std::string_view control) const {
    HWND window = Window(control);
    if (IsClass(window, L"ComboBox")) {
        const LRESULT index = SendMessageW(window, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR)
            return std::string();
        std::wstring item(static_cast<std::size_t>(
                              SendMessageW(window, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0)),
                          L'\0');
        SendMessageW(window, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(item.data()));
        return win32::Narrow(item);
    }
    return win32::WindowText(window);
}

std::vector<std::string> TWin32DialogDriver::Lines(std::string_view control) const {
    std::vector<std::string> lines;
    HWND list = Window(control);
    if (!IsClass(list, L"ListBox"))
        return lines;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring line(
            static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)),
            L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(line.data()));
        lines.push_back(win32::Narrow(line));
    }
    return lines;
}

int TWin32DialogDriver::SelectedLine(std::string_view control) const {
    HWND window = Window(control);
    if (IsClass(window, L"ListBox"))
        return static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0));
    if (IsClass(window, L"ComboBox"))
        return static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0));
    return -1;
}

bool TWin32DialogDriver::Checked(std::string_view control) const {
    return SendMessageW(Window(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int TWin32DialogDriver::Position(std::string_view control) const {
    HWND window = Window(control);
    if (!IsClass(window, TRACKBAR_CLASSW))
        throw std::invalid_argument(std::string(control) + " is no track bar");
    return static_cast<int>(SendMessageW(window, TBM_GETPOS, 0, 0));
}

std::string TWin32DialogDriver::HelpPopupText() const {
    std::string text;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            if (!IsClass(window, win32::HelpPopupClass) || !IsWindowVisible(window))
                return TRUE;
            for (char c : win32::WindowText(window)) {
                if (c != '\n')
                    reinterpret_cast<std::string*>(found)->push_back(c);
            }
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

TColour TWin32DialogDriver::PaintedCentre(std::string_view control) {
    HWND window = Window(control);
    RedrawNow(window);
    TBitmap painted;
    CaptureWindow(window, painted);
    const std::uint8_t* pixel =
        painted.ScanLine(painted.Height() / 2) + 3 * static_cast<std::size_t>(painted.Width() / 2);
    return {pixel[2], pixel[1], pixel[0]};
}

// As a bitmap: the test run makes PNG files of them.
bool TWin32DialogDriver::SavePicture(const std::string& file) {
    HWND window = FormWindow();
    RedrawNow(window);
    Settle();
    try {
        TBitmap shot;
        CaptureWindow(window, shot);
        shot.SaveToFile(file);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::unique_ptr<TDialogDriver> MakeDriver(TForm& form) {
    return std::make_unique<TWin32DialogDriver>(form);
}

} // namespace nimbrel::test
