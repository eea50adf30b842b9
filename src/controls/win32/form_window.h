#pragma once
// The dialog's own window and everything on it: the top-level window with its fixed frame,
// system menu and context-help button, the windows of the controls (it owns them), the
// font, the focus kept across deactivation, help requests and the Enter key.
#include "controls/form.h"
#include "controls/win32/peer.h"

#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace nimbrel::win32 {

class TFormWindow : public TPeer<TFormPeer> {
public:
    TFormWindow(TForm& form, const TLayoutRow& row);
    ~TFormWindow() override;

    // The forms whose windows exist, oldest first: the message loops give them their keys.
    static const std::vector<TFormWindow*>& Open();

    TForm& Dialog() const { return form_; }
    HFONT Font() const { return font_; }
    // The size of a line of text in the dialog's font, measured off screen: a window's own
    // device context would cost a trip to the window server under Wine.
    SIZE TextExtent(const std::wstring& text) const;
    // Set while the windows are being destroyed: no message reaches the controls then.
    bool Destroying() const { return destroying_; }
    bool Closed() const { return closed_; }

    // Takes a control's window; it lives as long as the form's window.
    template <class Window> Window& Adopt(std::unique_ptr<Window> window) {
        Window& adopted = *window;
        windows_.push_back(std::move(window));
        return adopted;
    }

    // The windows Tab walks through, in the order of the layout's tab chain.
    void SetTabChain(std::vector<HWND> chain) { tabChain_ = std::move(chain); }

    // What makes the windows of a page's controls, which wait until the page is shown.
    void SetPageMaker(std::function<void(HWND page)> maker) { pageMaker_ = std::move(maker); }
    // Makes the windows of the page `page` unless they are there.
    void MakePage(HWND page) {
        if (pageMaker_)
            pageMaker_(page);
    }
    // Makes the windows of the page a control lies on, if they still wait.
    void MakeWindowsOf(const TControl& control);

    // The standard error report of an exception caught at a window procedure.
    void Report(const std::exception_ptr& error);
    // A message for the dialog keys: true when it was used (the caller dispatches the rest).
    bool DialogKey(MSG& message);
    // The control whose window `handle` is, or the nearest one around it.
    TControl* ControlAt(HWND handle) const;
    // The focus moved to a control's window.
    void FocusEntered(TControl* control);
    // The focus left a window for `to`: true when `to` is a window of the dialog (a move
    // inside the dialog rather than to another window).
    bool KeepsFocus(HWND to) const;

    // TFormPeer
    void ShowCaption(std::string_view caption) override;
    void Show() override;
    void Close() override;
    bool Visible() const override;
    TSize FrameSize() const override;
    void MoveTo(TPoint topLeft) override;

    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    // A control of the dialog has the focus (the window itself holding it does not count).
    bool ControlHasFocus() const;
    void FocusFirstControl();
    // Tab and Shift+Tab: the next (or previous) shown and enabled window of the chain.
    void MoveTab(bool forward);
    // Ctrl+Tab and Ctrl+Shift+Tab (and Ctrl+PgDn, Ctrl+PgUp): the next (or previous) page
    // of the page control, as a click on its tab; a focus on the page it leaves moves to the
    // first control of the new page. False when the dialog has no page control.
    bool MovePage(bool forward);
    // The caption's help button: the next click asks for the help of what it is on.
    void ContextHelpMode();

    TForm& form_;
    std::vector<HWND> tabChain_;
    std::function<void(HWND page)> pageMaker_;
    HFONT font_ = nullptr;
    HDC measuring_ = nullptr;         // a memory device context with the font selected
    HGDIOBJ measuringFont_ = nullptr; // what it had selected before
    std::vector<std::unique_ptr<TWindow>> windows_;
    HWND lastFocus_ = nullptr;
    bool restoringFocus_ = false;
    bool destroying_ = false;
    bool closed_ = false;
};

// Our own window class for the form, pages, panels and picture boxes: the notifications
// of child controls go back to the child's object, exceptions stop at its procedure.
const wchar_t* ContainerClass();

} // namespace nimbrel::win32
