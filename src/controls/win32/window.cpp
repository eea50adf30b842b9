#include "controls/win32/window.h"

#include "controls/win32/form_window.h"

#include <exception>
#include <stdexcept>

namespace nimbrel::win32 {
namespace {

const wchar_t* const WindowProperty = L"NimbrelWindow";

} // namespace

void TWindow::Create(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& bounds,
                     HWND parent, bool subclass) {
    handle_ = CreateWindowExW(exStyle, className, L"", style, bounds.left, bounds.top,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                              nullptr, GetModuleHandleW(nullptr), this);
    if (handle_ == nullptr)
        throw std::runtime_error("cannot create a window");
    SetPropW(handle_, WindowProperty, this);
    if (subclass)
        subclassed_ =
            SetWindowSubclass(handle_, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

TWindow* TWindow::Of(HWND handle) {
    return handle != nullptr ? static_cast<TWindow*>(GetPropW(handle, WindowProperty)) : nullptr;
}

LRESULT TWindow::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_SETFOCUS && subclassed_) {
        handled = true;
        const LRESULT result = Default(message, wParam, lParam);
        form_.FocusEntered(control_);
        return result;
    }
    return 0;
}

LRESULT TWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TWindow::SubclassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) {
    auto* window = reinterpret_cast<TWindow*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(handle, SubclassProc, 1);
        RemovePropW(handle, WindowProperty);
        window->handle_ = nullptr;
        return DefSubclassProc(handle, message, wParam, lParam);
    }
    // No exception may cross the window procedure: it is reported here and the dialog
    // goes on.
    try {
        if (!window->form_.Destroying()) {
            bool handled = false;
            const LRESULT result = window->WindowMessage(message, wParam, lParam, handled);
            if (handled)
                return result;
        }
        return DefSubclassProc(handle, message, wParam, lParam);
    } catch (...) {
        window->form_.Report(std::current_exception());
        return 0;
    }
}

} // namespace nimbrel::win32
