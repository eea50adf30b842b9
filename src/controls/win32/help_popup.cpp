#include "controls/win32/help_popup.h"

#include "controls/win32/dpi.h"
#include "controls/win32/text.h"

#include <algorithm>
#include <stdexcept>

namespace nimbrel::win32 {
namespace {

constexpr int MaxWidth = 320; // layout pixels, as the Linux pop-up
constexpr int Margin = 4;
constexpr UINT TextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
constexpr DWORD Style = WS_POPUP | WS_BORDER;
constexpr DWORD ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;

// A carriage return alone breaks the line.
std::wstring DisplayText(std::string_view text) {
    std::string lines;
    for (char c : text) {
        if (c == '\r')
            lines += "\r\n";
        else if (c != '\n')
            lines += c;
    }
    return Wide(lines);
}

bool EndsThePopup(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

// The work area of the screen that holds the point.
RECT WorkAreaAt(POINT point) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor))
        return monitor.rcWork;
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace

THelpPopup::~THelpPopup() {
    if (window_ != nullptr)
        DestroyWindow(window_);
    if (font_ != nullptr)
        DeleteObject(font_);
}

void THelpPopup::Create() {
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_SAVEBITS;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = HelpPopupClass;
        return RegisterClassExW(&windowClass);
    }();
    if (registered == 0)
        throw std::runtime_error("cannot register the help pop-up's window class");
    // The font of tool tips.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font_ = CreateFontIndirectW(&metrics.lfStatusFont);
    window_ = CreateWindowExW(ExStyle, HelpPopupClass, L"", Style, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        throw std::runtime_error("cannot create the help pop-up");
}

HGDIOBJ THelpPopup::Font() const {
    return font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT);
}

void THelpPopup::ShowAt(TPoint topLeft, std::string_view text) {
    if (window_ == nullptr)
        Create();
    text_ = DisplayText(text);
    // Its window text too, which a screen reader or a test reads.
    SetWindowTextW(window_, text_.c_str());
    RECT extent{0, 0, Scaled(MaxWidth) - 2 * Scaled(Margin), 0};
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        const HGDIOBJ before = SelectObject(dc, Font());
        DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &extent,
                  TextFormat | DT_CALCRECT);
        SelectObject(dc, before);
        DeleteDC(dc);
    }
    RECT frame{0, 0, extent.right + 2 * Scaled(Margin), extent.bottom + 2 * Scaled(Margin)};
    AdjustWindowRectEx(&frame, Style, FALSE, ExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const RECT area = WorkAreaAt({topLeft.X, topLeft.Y});
    const int left =
        std::clamp<int>(topLeft.X, area.left, std::max<int>(area.left, area.right - width));
    const int top =
        std::clamp<int>(topLeft.Y, area.top, std::max<int>(area.top, area.bottom - height));
    SetWindowPos(window_, HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
}

void THelpPopup::Hide() {
    if (window_ != nullptr && IsWindowVisible(window_))
        ShowWindow(window_, SW_HIDE);
}

void THelpPopup::Notice(const MSG& message) {
    if (EndsThePopup(message.message))
        Hide();
}

LRESULT THelpPopup::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ACTIVATEAPP:
        if (wParam == FALSE)
            Hide();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        RECT client{};
        GetClientRect(window_, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
        InflateRect(&client, -Scaled(Margin), -Scaled(Margin));
        const HGDIOBJ before = SelectObject(dc, Font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &client, TextFormat);
        SelectObject(dc, before);
        EndPaint(window_, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

LRESULT CALLBACK THelpPopup::Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(handle, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* popup = reinterpret_cast<THelpPopup*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
        if (popup != nullptr)
            popup->window_ = nullptr;
    }
    if (popup == nullptr || popup->window_ != handle)
        return DefWindowProcW(handle, message, wParam, lParam);
    return popup->WindowMessage(message, wParam, lParam);
}

} // namespace nimbrel::win32
