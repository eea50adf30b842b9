#pragma once
// A control's peer on a Win32 window: the caption, the enabled state, the focus and the
// screen position every control shares; each kind adds its own part of the peer interface.
#include "controls/control.h"
#include "controls/win32/text.h"
#include "controls/win32/window.h"

#include <string_view>

namespace nimbrel::win32 {

template <class PeerInterface> class TPeer : public PeerInterface, public TWindow {
public:
    using TWindow::TWindow;

    void ShowCaption(std::string_view caption) override {
        const std::wstring text = Wide(caption);
        if (!MadeWithText(text))
            Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void ShowEnabled(bool enabled) override { EnableWindow(Handle(), enabled ? TRUE : FALSE); }
    void TakeFocus() override { SetFocus(Handle()); }
    bool HasFocus() const override { return GetFocus() == Handle(); }
    TPoint ScreenOrigin() const override {
        RECT bounds{};
        GetWindowRect(Handle(), &bounds);
        return {bounds.left, bounds.top};
    }
};

// The peer of a control that has no interface beyond the shared one (labels, buttons,
// containers).
using TPlainPeer = TPeer<TControlPeer>;

} // namespace nimbrel::win32
