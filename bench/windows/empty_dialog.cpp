// The start-up baseline under Wine: an empty Win32 dialog window of the program's size and
// frame, shown and ended the way the program is (NIMBREL_QUIT_WHEN_SHOWN ends it once its
// first paint and the messages then pending are done).
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK EmptyDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = EmptyDialogProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"NimbrelEmptyDialog";
    if (RegisterClassExW(&windowClass) == 0)
        return 1;

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP;
    RECT frame{0, 0, 440, 262};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    HWND window = CreateWindowExW(exStyle, windowClass.lpszClassName, L"Empty", style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    if (std::getenv("NIMBREL_QUIT_WHEN_SHOWN") != nullptr) {
        // The pending messages, then the end, without a teardown, as nimbrel-ext.exe does.
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        ExitProcess(0);
    }

    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
