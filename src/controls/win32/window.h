#pragma once
// What every window of the Win32 frontend is to the frontend: the handle, the control it
// shows (none for a page or a panel's own window) and the notifications its parent window
// receives for it. The window procedures find the object through the window's handle: in
// its user data, which a window of ours runs our procedure to vouch for (a window property
// would cost a trip to the window server at every message under Wine).
#include "controls/win32/windows_api.h"

#include <optional>
#include <string>

namespace nimbrel {
class TControl;
}

namespace nimbrel::win32 {

class TFormWindow;

class TWindow {
public:
    TWindow(TFormWindow& form, TControl* control) : form_(form), control_(control) {}
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;
    virtual ~TWindow() = default;

    HWND Handle() const { return handle_; }
    TControl* Control() const { return control_; }
    TFormWindow& Form() const { return form_; }

    // Makes the window, finds it again by its handle from now on and, for a control of
    // a system class, lets WindowMessage see its messages first. A window of a class of
    // ours gets ContainerProc as its class's procedure.
    void Create(DWORD exStyle, const wchar_t* className, DWORD style, const RECT& bounds,
                HWND parent, bool subclass, const std::wstring& text = {});

    // Notifications sent to the parent window for this one.
    virtual void Command(int code) {}
    virtual void HScroll(int code) {}
    virtual LRESULT Notify(const NMHDR& header) { return 0; }
    virtual void DrawItem(const DRAWITEMSTRUCT& item) {}
    // Enter while this window has the focus (not through the dialog keys): true when used.
    virtual bool ReturnKey() { return false; }

    // A message of the window itself, before the class's own procedure; `handled` stops it.
    virtual LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // True while the window handles a message the program sent it through Send.
    bool Echoing() const { return echoing_ > 0; }

    // The object of a window handle, or nullptr for a window that is none of ours.
    static TWindow* Of(HWND handle);
    // For the procedure of a class of ours: ties the window being made (WM_NCCREATE) to
    // the object given to CreateWindowEx.
    static void TieOnCreate(HWND handle, LPARAM createStruct);

protected:
    // True for the first caption shown when the window was made with that text already:
    // setting it again costs a trip to the window server under Wine.
    bool MadeWithText(const std::wstring& text);
    // The class's own procedure for a subclassed control.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // A message of the program's own that shows the window what its control holds. What
    // the window reports back meanwhile (an edit's EN_CHANGE for WM_SETTEXT) echoes the
    // program's change: it is not the user's and never reaches the control.
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    TFormWindow& form_;
    TControl* control_;
    HWND handle_ = nullptr;
    WNDPROC classProc_ = nullptr; // set for a subclassed control
    std::optional<std::wstring> madeWith_;
    int echoing_ = 0;
};

// True when the window's frame, borders and scroll bars take no room: WM_NCPAINT then has
// nothing to draw, and the default handling, which still fetches a device context of the
// whole window for it, costs a trip to the window server under Wine for each window.
bool HasNoNonClientArea(HWND handle);

// The window procedure of the classes of ours (form_window.cpp).
LRESULT CALLBACK ContainerProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace nimbrel::win32
