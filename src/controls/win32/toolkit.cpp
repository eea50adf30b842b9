#include "controls/win32/toolkit.h"

#include "controls/win32/dpi.h"
#include "controls/win32/form_window.h"
#include "controls/win32/text.h"
#include "controls/win32/window_builder.h"

namespace nimbrel::win32 {

TWin32Toolkit::TWin32Toolkit() {
    SetProcessDPIAware();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

std::unique_ptr<TFormPeer> TWin32Toolkit::BuildWindows(TForm& form, TLayout layout) {
    return BuildFormWindow(form, layout);
}

void TWin32Toolkit::RunMessageLoop(TForm& form) {
    MSG message;
    while (form.Visible()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT: passed on to whoever runs the loop outside this one.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got < 0)
            return;
        Dispatch(message);
    }
}

void TWin32Toolkit::ProcessMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

void TWin32Toolkit::ShowMessageBox(const TMessageBoxRequest& request) {
    // The stored texts break lines with a bare carriage return; the box breaks on CR LF.
    const std::string text = WithLineBreaks(request.text, "\r\n");
    UINT type = MB_OK;
    if (request.icon == TMessageIcon::Error)
        type |= MB_ICONERROR;
    MessageBoxW(GetActiveWindow(), Wide(text).c_str(), Wide(request.caption).c_str(), type);
}

void TWin32Toolkit::ShowScreenCursor(TCursor cursor) {
    const LPCWSTR shape = cursor == TCursor::crHourGlass ? reinterpret_cast<LPCWSTR>(IDC_WAIT)
                                                         : reinterpret_cast<LPCWSTR>(IDC_ARROW);
    SetCursor(LoadCursorW(nullptr, shape));
}

void TWin32Toolkit::Dispatch(MSG& message) {
    helpPopup_.Notice(message);
    for (TFormWindow* form : TFormWindow::Open()) {
        if (form->DialogKey(message))
            return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void TWin32Toolkit::ShowHelpPopup(TPoint topLeft, const std::string& text) {
    helpPopup_.ShowAt(topLeft, text);
}

TSize TWin32Toolkit::ScreenSize() const {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace nimbrel::win32
