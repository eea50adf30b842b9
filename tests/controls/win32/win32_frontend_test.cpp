// The Win32 frontend on the dialog's own layout, driven through real window messages
// (run under Wine): the frame, the keyboard of a dialog, help requests, the error report.
#include "app/options_layout.h"
#include "controls/button.h"
#include "controls/check_box.h"
#include "controls/message_box.h"
#include "controls/page_control.h"
#include "controls/track_bar.h"
#include "controls/win32/dpi.h"
#include "controls/win32/form_window.h"
#include "controls/win32/toolkit.h"
#include "controls/win32/window.h"
#include "controls/win32/windows_api.h"
#include "imaging/bitmap.h"
#include "tests/controls/win32/held_keys.h"
#include "tests/controls/win32/layout_form.h"
#include "tests/controls/win32/window_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

using test::TLayoutForm;

HWND WindowOf(const TControl& control) {
    // Every peer of the frontend is a window; its handle is what the tests drive.
    const TPoint origin = control.ScreenOrigin();
    return WindowFromPoint(POINT{origin.X + 1, origin.Y + 1});
}

class Win32Frontend : public ::testing::Test {
protected:
    void SetUp() override {
        InstallToolkit(&toolkit_);
        SetMessageBoxAnswerer(
            [this](const TMessageBoxRequest& request) { boxes_.push_back(request); });
        form_ = std::make_unique<TLayoutForm>(OptionsFormLayout(), toolkit_);
        form_->Show();
        Pump();
    }
    void TearDown() override {
        form_.reset();
        SetMessageBoxAnswerer({});
        InstallToolkit(nullptr);
    }

    void Pump() { toolkit_.ProcessMessages(); }
    HWND FormWindow() const { return GetAncestor(GetFocus(), GA_ROOT); }
    // A key pressed on the focused window, through the message queue as the user's would.
    void Key(WPARAM key, bool alt = false) {
        HWND focus = GetFocus();
        ASSERT_NE(focus, nullptr);
        const LPARAM altBit = alt ? (1 << 29) : 0;
        if (alt) {
            PostMessageW(focus, WM_SYSCHAR, key, altBit);
        } else {
            PostMessageW(focus, WM_KEYDOWN, key, 1);
            PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        }
        Pump();
    }
    std::string Focused() const {
        for (TControl* control : form_->Controls()) {
            if (control->Focused())
                return control->Name();
        }
        return "";
    }

    win32::TWin32Toolkit toolkit_;
    std::vector<TMessageBoxRequest> boxes_;
    std::unique_ptr<TLayoutForm> form_;
};

TEST_F(Win32Frontend, TheWindowHasTheDialogsFrameAndClientArea) {
    HWND window = FormWindow();
    ASSERT_NE(window, nullptr);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, win32::Scaled(ClientWidth));
    EXPECT_EQ(client.bottom, win32::Scaled(ClientHeight));
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(exStyle & WS_EX_CONTEXTHELP);
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    EXPECT_STREQ(caption, L"Nimbrel Extensions");
    LOGFONTW font{};
    HWND button = WindowOf(form_->Find<TButton>("Button5"));
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -MulDiv(8, win32::ScreenDpi(), 72));
}

TEST_F(Win32Frontend, TabWalksTheTabChainOfTheShownPage) {
    std::vector<std::string> expected;
    for (const TLayoutRow* row : TabChain(OptionsFormLayout())) {
        const TControl* control = form_->FindControl(row->Name);
        const bool onOtherPage = !control->IsInside(form_->FindControl("TabSheet1")) &&
                                 control->IsInside(form_->FindControl("Page")) &&
                                 control != form_->FindControl("Page");
        if (!onOtherPage && (row->Style & lsDisabled) == 0)
            expected.push_back(row->Name);
    }
    form_->Find<TPageControl>("Page").SetFocus();
    Pump();
    std::vector<std::string> walked{Focused()};
    for (std::size_t i = 1; i < expected.size() + 1; ++i) {
        Key(VK_TAB);
        walked.push_back(Focused());
    }
    expected.push_back(expected.front()); // and round again
    EXPECT_EQ(walked, expected);
}

TEST_F(Win32Frontend, EnterPressesOnlyTheFocusedButtonAndEscPressesNone) {
    int ok = 0, cancel = 0;
    form_->Find<TButton>("Button5").OnClick = [&] { ++ok; };
    form_->Find<TButton>("Button3").OnClick = [&] { ++cancel; };
    form_->Find<TTrackBar>("IdleTimeTrackBar").SetFocus();
    Pump();
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    EXPECT_EQ(ok + cancel, 0);
    form_->Find<TButton>("Button3").SetFocus();
    Pump();
    Key(VK_RETURN);
    EXPECT_EQ(cancel, 1);
    Key(VK_ESCAPE);
    EXPECT_EQ(cancel, 1);
    EXPECT_EQ(ok, 0);
    EXPECT_TRUE(form_->Visible());
}

TEST_F(Win32Frontend, AnAccessKeyPressesItsButton) {
    int ok = 0;
    form_->Find<TButton>("Button5").OnClick = [&] { ++ok; };
    form_->Find<TTrackBar>("IdleTimeTrackBar").SetFocus();
    Pump();
    Key('o', true);
    EXPECT_EQ(ok, 1);
}

TEST_F(Win32Frontend, CtrlTabMovesThroughThePagesTakingAlongAFocusOnThePage) {
    auto& pages = form_->Find<TPageControl>("Page");
    form_->Find<TTrackBar>("IdleTimeTrackBar").SetFocus();
    Pump();
    {
        test::HeldKeys ctrl{VK_CONTROL};
        Key(VK_TAB);
    }
    EXPECT_EQ(pages.ActivePageIndex(), 1);
    EXPECT_EQ(Focused(), "ScreenSaverTrackBar");
    {
        test::HeldKeys ctrlShift{VK_CONTROL, VK_SHIFT};
        Key(VK_TAB);
        EXPECT_EQ(pages.ActivePageIndex(), 0);
        EXPECT_EQ(Focused(), "IdleTimeTrackBar");
        Key(VK_TAB); // round to the last page
    }
    EXPECT_EQ(pages.ActivePageIndex(), 3);
    // A focus outside the pages stays where it is.
    form_->Find<TButton>("Button3").SetFocus();
    Pump();
    {
        test::HeldKeys ctrl{VK_CONTROL};
        Key(VK_NEXT);
    }
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(Focused(), "Button3");
}

TEST_F(Win32Frontend, TheTrackBarTellsOfTheUsersMovesOnly) {
    auto& bar = form_->Find<TTrackBar>("IdleTimeTrackBar");
    int changes = 0;
    bar.OnChange = [&] { ++changes; };
    bar.SetPosition(5);
    Pump();
    EXPECT_EQ(changes, 0);
    bar.SetFocus();
    Pump();
    Key(VK_RIGHT);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(bar.Position(), 6);
}

TEST_F(Win32Frontend, ACheckBoxClickReachesTheControl) {
    // The wallpaper page's first check box, clicked as the mouse or its key would.
    TCheckBox* box = nullptr;
    for (TControl* control : form_->Controls()) {
        if (!box && control->IsInside(form_->FindControl("TabSheet1")))
            box = dynamic_cast<TCheckBox*>(control);
    }
    ASSERT_NE(box, nullptr);
    int clicks = 0;
    box->OnClick = [&] { ++clicks; };
    const bool before = box->Checked();
    box->SetFocus();
    Pump();
    Key(VK_SPACE);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(box->Checked(), !before);
}

TEST_F(Win32Frontend, F1AndTheHelpButtonAskForTheControlsHelp) {
    form_->Find<TTrackBar>("IdleTimeTrackBar").SetFocus();
    Pump();
    Key(VK_F1);
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = WindowOf(form_->Find<TButton>("Button3"));
    SendMessageW(static_cast<HWND>(info.hItemHandle), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(form_->helpRequests, (std::vector<std::string>{"IdleTimeTrackBar", "Button3"}));
}

// A key of the keyboard, not a posted message: Windows follows a key-down of F1 with a
// message of its own that asks for help too, and one F1 must ask once.
TEST_F(Win32Frontend, OneF1OfTheKeyboardAsksOnce) {
    form_->Find<TTrackBar>("IdleTimeTrackBar").SetFocus();
    Pump();
    INPUT keys[2]{};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_F1;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
    for (int i = 0; i < 20 && form_->helpRequests.empty(); ++i) {
        Sleep(10);
        Pump();
    }
    Sleep(50);
    Pump();
    EXPECT_EQ(form_->helpRequests, std::vector<std::string>{"IdleTimeTrackBar"});
}

// The window opens with the page control focused. A window manager may activate it only
// later, and Wine then gives the window itself the focus: the page control takes it.
TEST_F(Win32Frontend, TheFirstControlHasTheFocusOnceTheWindowIsActive) {
    EXPECT_EQ(Focused(), "Page");
    HWND window = FormWindow();
    SetFocus(window);
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0, 80,
                                 40, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    Pump();
    EXPECT_NE(GetActiveWindow(), window);
    SetForegroundWindow(window);
    Pump();
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(Focused(), "Page");
    DestroyWindow(other);
}

TEST_F(Win32Frontend, AnExceptionOfAHandlerIsReportedAndTheDialogStays) {
    form_->Find<TButton>("Button5").OnClick = [] { throw std::runtime_error("Disk full"); };
    form_->Find<TButton>("Button5").SetFocus();
    Pump();
    Key(VK_SPACE);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].caption, "Nimbrel Extensions");
    EXPECT_EQ(boxes_[0].text, "Disk full");
    EXPECT_EQ(boxes_[0].icon, TMessageIcon::Error);
    EXPECT_TRUE(form_->Visible());
}

// The control's window, made first if it lies on a page not shown yet.
HWND HandleOf(const TControl& control) {
    const TControl* form = &control;
    while (form->Parent() != nullptr)
        form = form->Parent();
    if (auto* formWindow = dynamic_cast<win32::TFormWindow*>(form->Peer()))
        formWindow->MakeWindowsOf(control);
    const auto* window = dynamic_cast<const win32::TWindow*>(control.Peer());
    return window != nullptr ? window->Handle() : nullptr;
}

// A window's rectangle in its parent's client coordinates.
RECT InParent(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

// Where a window's caption is drawn, in its parent's client coordinates, as its class
// lays it out: after the box of a check box or radio button and centred in its height,
// centred in a button, at the right of a right-aligned label, wrapped in a word-wrapped one.
RECT CaptionExtent(HWND window, const TLayoutRow& row) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    const RECT bounds = InParent(window);
    const int width = bounds.right - bounds.left;
    HDC dc = GetDC(window);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    RECT extent{0, 0, width, 0};
    const bool wraps = row.Kind == TControlKind::Label && (row.Style & lsWordWrap) != 0;
    DrawTextW(dc, text.c_str(), length, &extent,
              DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    int left = bounds.left;
    if (row.Kind == TControlKind::CheckBox || row.Kind == TControlKind::RadioButton)
        left += GetSystemMetrics(SM_CXMENUCHECK) + win32::Scaled(4);
    else if (row.Kind == TControlKind::Button)
        left += (width - extent.right) / 2;
    else if (row.Kind == TControlKind::GroupBox)
        left += win32::Scaled(9);
    else if ((row.Style & lsAlignRight) != 0)
        left = bounds.right - extent.right;
    int top = bounds.top;
    if (row.Kind == TControlKind::CheckBox || row.Kind == TControlKind::RadioButton ||
        row.Kind == TControlKind::Button)
        top += (bounds.bottom - bounds.top - extent.bottom) / 2;
    return {left, top, left + extent.right, top + extent.bottom};
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// What would be cut off at the screen's DPI (scripts/test-windows runs this at 96 and at
// 144 dpi): every control inside its parent's client area, every caption inside its
// control, and no caption under another control, which would draw over it.
TEST_F(Win32Frontend, NothingIsCutOff) {
    const TLayout layout = OptionsFormLayout();
    for (const TLayoutRow& row : layout) {
        if (row.Kind == TControlKind::Form || row.Kind == TControlKind::TabSheet)
            continue;
        HWND window = HandleOf(*form_->FindControl(row.Name));
        ASSERT_NE(window, nullptr) << row.Name;
        RECT client{};
        GetClientRect(GetParent(window), &client);
        EXPECT_TRUE(Inside(InParent(window), client)) << row.Name << " lies outside its parent";
        using enum TControlKind;
        if (row.Caption == nullptr || *row.Caption == '\0' ||
            (row.Kind != Label && row.Kind != Button && row.Kind != CheckBox &&
             row.Kind != RadioButton && row.Kind != GroupBox))
            continue;
        const RECT caption = CaptionExtent(window, row);
        RECT allowed = InParent(window);
        if (row.Kind == Button)
            InflateRect(&allowed, -win32::Scaled(2), 0);
        EXPECT_TRUE(Inside(caption, allowed)) << row.Name << "'s caption is cut off";
        if (row.Kind != Label && row.Kind != CheckBox && row.Kind != RadioButton)
            continue;
        for (const TLayoutRow& other : layout) {
            if (&other == &row || other.Kind == Label || other.Kind == GroupBox ||
                other.Kind == TabSheet || other.Kind == Form || other.Kind == PageControl ||
                other.Kind == Panel)
                continue;
            HWND otherWindow = HandleOf(*form_->FindControl(other.Name));
            if (GetParent(otherWindow) != GetParent(window))
                continue;
            RECT overlap{};
            const RECT otherBounds = InParent(otherWindow);
            EXPECT_FALSE(IntersectRect(&overlap, &caption, &otherBounds))
                << row.Name << "'s caption lies under " << other.Name;
        }
    }
}

// No control's frame is cut off by a neighbour lying above it: a label, check box or radio
// button whose rectangle reaches over it gives that part up.
TEST_F(Win32Frontend, NoControlIsClippedByANeighbour) {
    using enum TControlKind;
    auto& pages = form_->Find<TPageControl>("Page");
    for (TControl* page : pages.Pages()) {
        pages.SetActivePage(page);
        Pump();
        for (const TLayoutRow& row : OptionsFormLayout()) {
            if (row.Kind == Form || row.Kind == PageControl || row.Kind == TabSheet ||
                row.Kind == Panel || row.Kind == GroupBox || row.Kind == Label ||
                row.Kind == CheckBox || row.Kind == RadioButton)
                continue;
            const TControl* control = form_->FindControl(row.Name);
            if (control->IsInside(&pages) && !control->IsInside(page))
                continue;
            HWND window = HandleOf(*control);
            HDC dc = GetDCEx(window, nullptr, DCX_WINDOW | DCX_CLIPSIBLINGS | DCX_CACHE);
            RECT visible{};
            const int shape = GetClipBox(dc, &visible);
            ReleaseDC(window, dc);
            RECT bounds{};
            GetWindowRect(window, &bounds);
            EXPECT_EQ(shape, SIMPLEREGION) << row.Name << " on " << page->Name();
            EXPECT_EQ(visible.right - visible.left, bounds.right - bounds.left) << row.Name;
            EXPECT_EQ(visible.bottom - visible.top, bounds.bottom - bounds.top) << row.Name;
        }
    }
}

// Each page drawn as the screen shows it, frame included, to NIMBREL_PAGE_SHOTS\page-N.bmp
// when that folder is given (scripts/test-windows makes PNG files of them).
TEST_F(Win32Frontend, PagesAreDrawn) {
    const char* folder = std::getenv("NIMBREL_PAGE_SHOTS");
    auto& pages = form_->Find<TPageControl>("Page");
    HWND window = FormWindow();
    for (std::size_t i = 0; i < pages.Pages().size(); ++i) {
        pages.SetActivePage(pages.Pages()[i]);
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        TBitmap shot;
        test::CaptureWindow(window, shot);
        // Something besides the page colour was drawn: the tabs, the text, the controls.
        bool drawn = false;
        const std::uint8_t* middle = shot.ScanLine(shot.Height() / 2);
        for (int x = 1; x < shot.Width() && !drawn; ++x)
            drawn = std::memcmp(middle, middle + 3 * x, 3) != 0;
        EXPECT_TRUE(drawn) << "page " << i + 1;
        if (folder != nullptr)
            shot.SaveToFile(std::string(folder) + "\\page-" + std::to_string(i + 1) + ".bmp");
    }
}

// The frames are drawn: a control with a sunken edge has it on screen on every page, while
// the windows without a frame leave their empty non-client area alone.
TEST_F(Win32Frontend, TheFramesOfTheControlsAreDrawn) {
    auto& pages = form_->Find<TPageControl>("Page");
    HWND window = FormWindow();
    int framed = 0;
    for (TControl* page : pages.Pages()) {
        pages.SetActivePage(page);
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        TBitmap shot;
        test::CaptureWindow(window, shot);
        RECT frame{};
        GetWindowRect(window, &frame);
        for (const TLayoutRow& row : OptionsFormLayout()) {
            const TControl* control = form_->FindControl(row.Name);
            if (control == nullptr || (control->IsInside(&pages) && !control->IsInside(page)))
                continue;
            HWND child = HandleOf(*control);
            if (child == nullptr || child == window || !IsWindowVisible(child) ||
                (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0)
                continue;
            ++framed;
            RECT bounds{};
            GetWindowRect(child, &bounds);
            // The middle of the edge's top line, neither the page's face nor the field's
            // own colour behind it.
            const int x = (bounds.left + bounds.right) / 2 - frame.left;
            const std::uint8_t* pixel = shot.ScanLine(bounds.top - frame.top) + 3 * x;
            const COLORREF seen = RGB(pixel[2], pixel[1], pixel[0]);
            EXPECT_NE(seen, GetSysColor(COLOR_BTNFACE)) << row.Name << " on " << page->Name();
            EXPECT_NE(seen, GetSysColor(COLOR_WINDOW)) << row.Name << " on " << page->Name();
        }
    }
    EXPECT_GT(framed, 0);
}

// Without a manifest Windows draws its common controls in the classic style; under Wine,
// whose tab control and track bars would follow its theme, they must look the same.
TEST_F(Win32Frontend, TheCommonControlsAreDrawnInTheClassicStyle) {
    int checked = 0;
    for (const TLayoutRow& row : OptionsFormLayout()) {
        if (row.Kind != TControlKind::PageControl && row.Kind != TControlKind::TrackBar)
            continue;
        HWND window = HandleOf(*form_->FindControl(row.Name));
        ASSERT_NE(window, nullptr) << row.Name;
        EXPECT_EQ(GetWindowTheme(window), nullptr) << row.Name;
        ++checked;
    }
    EXPECT_GE(checked, 3) << "the page control and the two track bars";
}

} // namespace
} // namespace nimbrel
