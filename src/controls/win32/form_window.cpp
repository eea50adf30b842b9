#include "controls/win32/form_window.h"

#include "controls/error_report.h"
#include "controls/win32/controls.h"
#include "controls/win32/dpi.h"

#include <stdexcept>

namespace nimbrel::win32 {
namespace {

// The frame of the dialog: caption, system menu and the context-help button; a fixed
// border; no minimise or maximise box.
constexpr DWORD FormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP | WS_EX_CONTROLPARENT;

// What a child reports of the user's doing. A report that echoes a change the program is
// making (TWindow::Send) goes nowhere: only the user changes a control through its window.
LRESULT ChildNotification(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
    case WM_COMMAND:
        if (TWindow* child = TWindow::Of(reinterpret_cast<HWND>(lParam))) {
            if (!child->Echoing())
                child->Command(HIWORD(wParam));
            return 0;
        }
        break;
    case WM_HSCROLL:
        if (TWindow* child = TWindow::Of(reinterpret_cast<HWND>(lParam))) {
            if (!child->Echoing())
                child->HScroll(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (TWindow* child = TWindow::Of(header->hwndFrom))
            return child->Echoing() ? 0 : child->Notify(*header);
        break;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (TWindow* child = TWindow::Of(item->hwndItem)) {
            child->DrawItem(*item);
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Labels, check boxes and group boxes on a page take the page's colour, not the
        // window colour a plain window would give them.
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
        break;
    }
    handled = false;
    return 0;
}

} // namespace

LRESULT CALLBACK ContainerProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        TWindow::TieOnCreate(handle, lParam);
    auto* window = reinterpret_cast<TWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
        return DefWindowProcW(handle, message, wParam, lParam);
    }
    if (window == nullptr)
        return DefWindowProcW(handle, message, wParam, lParam);
    if (message == WM_NCPAINT && HasNoNonClientArea(handle))
        return 0;
    // No exception may cross the window procedure: it is reported here and the dialog
    // goes on.
    try {
        if (!window->Form().Destroying()) {
            bool handled = false;
            LRESULT result = window->WindowMessage(message, wParam, lParam, handled);
            if (handled)
                return result;
            result = ChildNotification(handle, message, wParam, lParam, handled);
            if (handled)
                return result;
            if (message == WM_HELP) {
                // F1 or the help button and a click: the control under it asks.
                const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
                TFormWindow& form = window->Form();
                if (info->iContextType == HELPINFO_WINDOW) {
                    if (TControl* control = form.ControlAt(static_cast<HWND>(info->hItemHandle)))
                        form.Dialog().HelpRequested(control);
                }
                return TRUE;
            }
        }
        return DefWindowProcW(handle, message, wParam, lParam);
    } catch (...) {
        window->Form().Report(std::current_exception());
        return 0;
    }
}

namespace {

// The innermost shown window at a point of the screen, labels and group boxes included.
HWND WindowAt(HWND top, POINT screen) {
    HWND at = top;
    for (;;) {
        POINT client = screen;
        ScreenToClient(at, &client);
        HWND child = ChildWindowFromPointEx(at, client, CWP_SKIPINVISIBLE);
        if (child == nullptr || child == at)
            return at;
        at = child;
    }
}

// What Windows posts to the focused window after a key-down of F1 from the keyboard (its
// DefWindowProc turns it into WM_HELP); <windows.h> does not name it.
constexpr UINT WmKeyF1 = 0x004D;

bool IsMouseButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN ||
           message == WM_NCMBUTTONDOWN;
}

std::vector<TFormWindow*>& OpenForms() {
    static std::vector<TFormWindow*> forms;
    return forms;
}

} // namespace

const std::vector<TFormWindow*>& TFormWindow::Open() {
    return OpenForms();
}

namespace {

// Registers a class of windows run by ContainerProc, with the dialog's face colour.
const wchar_t* RegisterContainerClass(const wchar_t* name, HICON icon, HICON smallIcon) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = ContainerProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass) == 0)
        throw std::runtime_error("cannot register the window class");
    return name;
}

} // namespace

const wchar_t* ContainerClass() {
    static const wchar_t* const name =
        RegisterContainerClass(L"NimbrelContainer", nullptr, nullptr);
    return name;
}

namespace {

HICON ProductIcon(int size) {
    // The program's icon resource is number 1; a program without one shows Windows' own.
    // Shared: the window class keeps it for the rest of the process.
    HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                      size, size, LR_DEFAULTCOLOR | LR_SHARED));
    return icon != nullptr ? icon : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
}

// The form's own class, which carries the product's icons: a window gets its class's icons
// as it is made, where WM_SETICON afterwards would have the display driver convert both
// icons again for each of the two sizes.
const wchar_t* FormClass() {
    static const wchar_t* const name =
        RegisterContainerClass(L"NimbrelDialog", ProductIcon(GetSystemMetrics(SM_CXICON)),
                               ProductIcon(GetSystemMetrics(SM_CXSMICON)));
    return name;
}

} // namespace

TFormWindow::TFormWindow(TForm& form, const TLayoutRow& row)
    : TPeer<TFormPeer>(*this, &form), form_(form) {
    // "MS Sans Serif" 8 pt, at the screen's DPI.
    font_ = CreateFontW(-MulDiv(8, ScreenDpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    measuring_ = CreateCompatibleDC(nullptr);
    if (measuring_ != nullptr)
        measuringFont_ = SelectObject(measuring_, font_);
    RECT frame{0, 0, Scaled(row.Bounds.Width), Scaled(row.Bounds.Height)};
    AdjustWindowRectEx(&frame, FormStyle, FALSE, FormExStyle);
    OffsetRect(&frame, -frame.left, -frame.top);
    Create(FormExStyle, FormClass(), FormStyle, frame, nullptr, false);
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    OpenForms().push_back(this);
}

TFormWindow::~TFormWindow() {
    std::erase(OpenForms(), this);
    destroying_ = true;
    if (Handle() != nullptr)
        DestroyWindow(Handle());
    windows_.clear();
    if (measuring_ != nullptr) {
        SelectObject(measuring_, measuringFont_);
        DeleteDC(measuring_);
    }
    if (font_ != nullptr)
        DeleteObject(font_);
}

SIZE TFormWindow::TextExtent(const std::wstring& text) const {
    RECT extent{0, 0, 0, 0};
    if (measuring_ != nullptr)
        DrawTextW(measuring_, text.c_str(), static_cast<int>(text.size()), &extent,
                  DT_CALCRECT | DT_SINGLELINE);
    return {extent.right, extent.bottom};
}

void TFormWindow::MakeWindowsOf(const TControl& control) {
    for (const TControl* c = &control; c != nullptr; c = c->Parent()) {
        if (const auto* page = dynamic_cast<const TTabSheetWindow*>(c->Peer())) {
            MakePage(page->Handle());
            return;
        }
    }
}

void TFormWindow::Report(const std::exception_ptr& error) {
    if (!destroying_)
        ShowException(error);
}

TControl* TFormWindow::ControlAt(HWND handle) const {
    for (HWND h = handle; h != nullptr; h = GetParent(h)) {
        if (const TWindow* window = TWindow::Of(h); window != nullptr && window->Control())
            return window->Control();
        if (h == Handle())
            break;
    }
    return nullptr;
}

void TFormWindow::FocusEntered(TControl* control) {
    if (!restoringFocus_ && control != nullptr && control != &form_)
        form_.FocusMoved(control);
}

bool TFormWindow::KeepsFocus(HWND to) const {
    return to != nullptr && (to == Handle() || IsChild(Handle(), to));
}

bool TFormWindow::DialogKey(MSG& message) {
    if (closed_ || (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd)))
        return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_F1) {
        // F1 asks for the help of the focused control, as the help button and a click do.
        if (TControl* control = ControlAt(GetFocus()))
            form_.HelpRequested(control);
        return true;
    }
    // The same F1 once more: one key, one request.
    if (message.message == WmKeyF1)
        return true;
    if (message.message == WM_KEYDOWN && GetKeyState(VK_MENU) >= 0) {
        const bool control = GetKeyState(VK_CONTROL) < 0;
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        if (message.wParam == VK_TAB && !control && !tabChain_.empty()) {
            MoveTab(!shift);
            return true;
        }
        if (control && message.wParam == VK_TAB && MovePage(!shift))
            return true;
        if (control && !shift && (message.wParam == VK_NEXT || message.wParam == VK_PRIOR) &&
            MovePage(message.wParam == VK_NEXT))
            return true;
    }
    if (message.message == WM_KEYDOWN || message.message == WM_CHAR) {
        // Neither button is the default or the cancel button: Enter and Esc go to the
        // focused control as ordinary keys, and Enter presses a focused button.
        if (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE || message.wParam == '\r' ||
            message.wParam == 27) {
            if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
                if (TWindow* focused = TWindow::Of(GetFocus()); focused && focused->ReturnKey())
                    return true;
            }
            return false;
        }
    }
    return IsDialogMessageW(Handle(), &message) != FALSE;
}

void TFormWindow::MoveTab(bool forward) {
    const int count = static_cast<int>(tabChain_.size());
    int at = -1;
    for (HWND h = GetFocus(); h != nullptr && at < 0 && h != Handle(); h = GetParent(h)) {
        for (int i = 0; i < count; ++i) {
            if (tabChain_[static_cast<std::size_t>(i)] == h)
                at = i;
        }
    }
    for (int step = 1; step <= count; ++step) {
        const int next =
            ((at < 0 ? (forward ? -1 : 0) : at) + (forward ? step : -step) + count) % count;
        HWND window = tabChain_[static_cast<std::size_t>(next)];
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            SetFocus(window);
            // An edit entered with Tab shows its whole text selected, as in a dialog.
            if ((SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0)
                SendMessageW(window, EM_SETSEL, 0, -1);
            return;
        }
    }
}

bool TFormWindow::MovePage(bool forward) {
    for (const auto& window : windows_) {
        if (auto* pages = dynamic_cast<TPageControlWindow*>(window.get())) {
            HWND focus = GetFocus();
            HWND left = pages->SelectNextPage(forward);
            if (left == nullptr || focus == nullptr || !IsChild(left, focus))
                return true;
            for (HWND h : tabChain_) {
                if (IsWindowVisible(h) && IsWindowEnabled(h) &&
                    IsChild(pages->ActivePageWindow(), h)) {
                    SetFocus(h);
                    if ((SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0)
                        SendMessageW(h, EM_SETSEL, 0, -1);
                    return true;
                }
            }
            SetFocus(pages->Handle());
            return true;
        }
    }
    return false;
}

// Done here, as Windows' own help mode does it, because Wine's DefWindowProc does nothing
// with the help button's command: the mouse is captured with the help cursor until a
// button goes down; a left click asks for the help of the window under it (WM_HELP, which
// finds its control), any other click, Esc or losing the capture ends the mode unasked.
void TFormWindow::ContextHelpMode() {
    HCURSOR help = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HELP));
    SetCapture(Handle());
    SetCursor(help);
    HWND asked = nullptr;
    POINT at{};
    MSG message;
    while (GetCapture() == Handle()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        const UINT kind = message.message;
        if (IsMouseButtonDown(kind)) {
            if (kind == WM_LBUTTONDOWN || kind == WM_NCLBUTTONDOWN) {
                at = {static_cast<short>(LOWORD(message.lParam)),
                      static_cast<short>(HIWORD(message.lParam))};
                if (kind == WM_LBUTTONDOWN)
                    ClientToScreen(message.hwnd, &at);
                asked = WindowAt(Handle(), at);
                // The button's release belongs to the click: the mode ends with it.
                continue;
            }
            break;
        }
        if (kind == WM_LBUTTONUP || kind == WM_NCLBUTTONUP) {
            if (asked != nullptr)
                break;
            continue;
        }
        if ((kind >= WM_MOUSEFIRST && kind <= WM_MOUSELAST) ||
            (kind >= WM_NCMOUSEMOVE && kind <= WM_NCXBUTTONDBLCLK)) {
            SetCursor(help);
            continue;
        }
        if (kind == WM_KEYDOWN || kind == WM_SYSKEYDOWN) {
            if (message.wParam == VK_ESCAPE)
                break;
            continue;
        }
        if (kind == WM_KEYUP || kind == WM_SYSKEYUP || kind == WM_CHAR || kind == WM_SYSCHAR ||
            kind == WmKeyF1)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (GetCapture() == Handle())
        ReleaseCapture();
    if (asked != nullptr && (asked == Handle() || IsChild(Handle(), asked))) {
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = GetDlgCtrlID(asked);
        info.hItemHandle = asked;
        info.MousePos = at;
        SendMessageW(asked, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void TFormWindow::ShowCaption(std::string_view caption) {
    SetWindowTextW(Handle(), Wide(caption).c_str());
}

// The dialog's own showing steps run just before the window appears, as the Qt frontend
// runs them: a message pump of theirs paints nothing yet, so the window is first drawn as
// they leave it (and a picture they replace is never decoded and reported for nothing).
void TFormWindow::Show() {
    closed_ = false;
    form_.Shown();
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    if (!ControlHasFocus())
        FocusFirstControl();
    UpdateWindow(Handle());
}

// The window itself holds the focus once it is activated (Wine gives it the focus then):
// that is no control of the dialog having it.
bool TFormWindow::ControlHasFocus() const {
    HWND focus = GetFocus();
    return focus != nullptr && IsChild(Handle(), focus);
}

// The first control of the tab order that can take the focus: the page control.
void TFormWindow::FocusFirstControl() {
    for (HWND window : tabChain_) {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            SetFocus(window);
            return;
        }
    }
}

void TFormWindow::Close() {
    closed_ = true;
    ShowWindow(Handle(), SW_HIDE);
    // Wakes a message loop waiting for the next message, so that it sees the end.
    PostMessageW(Handle(), WM_NULL, 0, 0);
}

bool TFormWindow::Visible() const {
    return !closed_ && IsWindowVisible(Handle()) != FALSE;
}

TSize TFormWindow::FrameSize() const {
    RECT frame{};
    GetWindowRect(Handle(), &frame);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void TFormWindow::MoveTo(TPoint topLeft) {
    SetWindowPos(Handle(), nullptr, topLeft.X, topLeft.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TFormWindow::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
    case WM_CLOSE:
        // The close box and Alt+F4 close the dialog without saving, as Cancel does.
        handled = true;
        form_.Close();
        return 0;
    case WM_ACTIVATE:
        // Coming back to the window gives the focus back to the control that had it,
        // as a dialog does, and that is no move of the dialog's focus. A window manager
        // may activate the window only after it was shown: the first control then takes
        // the focus that the window would otherwise keep for itself.
        handled = true;
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (ControlHasFocus())
                lastFocus_ = GetFocus();
        } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
            restoringFocus_ = true;
            SetFocus(lastFocus_);
            restoringFocus_ = false;
        } else if (!ControlHasFocus() && IsWindowVisible(Handle())) {
            FocusFirstControl();
        }
        return 0;
    case WM_NEXTDLGCTL: {
        // What a dialog does by itself: the dialog keys (a label's access key among them)
        // move the focus through this message.
        handled = true;
        HWND to = nullptr;
        if (LOWORD(lParam) != 0)
            to = reinterpret_cast<HWND>(wParam);
        else
            to = GetNextDlgTabItem(Handle(), GetFocus(), wParam != 0 ? TRUE : FALSE);
        if (to != nullptr)
            SetFocus(to);
        return 0;
    }
    case WM_COMMAND:
        // IDOK and IDCANCEL from the dialog keys: no button is the default or cancel one.
        if (lParam == 0 || TWindow::Of(reinterpret_cast<HWND>(lParam)) == nullptr) {
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                handled = true;
                return 0;
            }
        }
        return 0;
    case DM_GETDEFID:
        handled = true;
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CONTEXTHELP) {
            handled = true;
            ContextHelpMode();
        }
        return 0;
    default:
        return 0;
    }
}

} // namespace nimbrel::win32
