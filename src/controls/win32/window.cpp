#include "controls/win32/window.h"

#include "controls/win32/form_window.h"

#include <exception>
#include <stdexcept>

namespace nimbrel::win32 {

void TWindow::Create(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& bounds,
                     HWND parent, bool subclass, const std::wstring& text) {
    handle_ = CreateWindowExW(exStyle, className, text.c_str(), style, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                              nullptr, GetModuleHandleW(nullptr), this);
    if (handle_ == nullptr)
        throw std::runtime_error("cannot create a window");
    if (!text.empty())
        madeWith_ = text;
    if (subclass) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        classProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindow::SubclassProc)));
    }
}

void TWindow::TieOnCreate(HWND handle, LPARAM createStruct) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(createStruct);
    SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

TWindow* TWindow::Of(HWND handle) {
    if (handle == nullptr)
        return nullptr;
    // Only a window of this process running one of our procedures carries our object.
    DWORD process = 0;
    GetWindowThreadProcessId(handle, &process);
    if (process != GetCurrentProcessId())
        return nullptr;
    const auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC));
    if (procedure != &TWindow::SubclassProc && procedure != &ContainerProc)
        return nullptr;
    return reinterpret_cast<TWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
}

LRESULT TWindow::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_SETFOCUS && classProc_ != nullptr) {
        handled = true;
        const LRESULT result = Default(message, wParam, lParam);
        form_.FocusEntered(control_);
        return result;
    }
    return 0;
}

bool TWindow::MadeWithText(const std::wstring& text) {
    const bool same = madeWith_ && *madeWith_ == text;
    madeWith_.reset();
    return same;
}

LRESULT TWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(classProc_, handle_, message, wParam, lParam);
}

LRESULT TWindow::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    ++echoing_;
    struct Done {
        int& depth;
        ~Done() { --depth; }
    } done{echoing_};
    return SendMessageW(handle_, message, wParam, lParam);
}

bool HasNoNonClientArea(HWND handle) {
    RECT window{};
    RECT client{};
    if (!GetWindowRect(handle, &window) || !GetClientRect(handle, &client))
        return false;
    return window.right - window.left == client.right &&
           window.bottom - window.top == client.bottom;
}

LRESULT CALLBACK TWindow::SubclassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<TWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    const WNDPROC classProc = window->classProc_;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc));
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
        window->handle_ = nullptr;
        return CallWindowProcW(classProc, handle, message, wParam, lParam);
    }
    if (message == WM_NCPAINT && HasNoNonClientArea(handle))
        return 0;
    // No exception may cross the window procedure: it is reported here and the dialog
    // goes on.
    try {
        if (!window->form_.Destroying()) {
            bool handled = false;
            const LRESULT result = window->WindowMessage(message, wParam, lParam, handled);
            if (handled)
                return result;
        }
        return CallWindowProcW(classProc, handle, message, wParam, lParam);
    } catch (...) {
        window->form_.Report(std::current_exception());
        return 0;
    }
}

} // namespace nimbrel::win32
