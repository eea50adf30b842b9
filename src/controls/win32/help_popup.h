#pragma once
// The context help pop-up where no help viewer shows the topic: a small framed text in the
// colours of a tool tip, its top-left corner at the point asked for (moved onto the screen
// where needed), gone at the next key or click or when the program is left. It never
// takes the activation or the focus from the dialog.
#include "controls/control.h"
#include "controls/win32/windows_api.h"

#include <string>

namespace nimbrel::win32 {

// The pop-up's window class, by which a test finds it.
inline constexpr const wchar_t* HelpPopupClass = L"NimbrelHelpPopup";

class THelpPopup {
public:
    THelpPopup() = default;
    THelpPopup(const THelpPopup&) = delete;
    THelpPopup& operator=(const THelpPopup&) = delete;
    ~THelpPopup();

    // The text in code page 1250; a carriage return breaks the line.
    void ShowAt(TPoint topLeft, std::string_view text);
    void Hide();
    // A message the loop is about to hand on: a key or a click ends the pop-up.
    void Notice(const MSG& message);

private:
    void Create();
    HGDIOBJ Font() const;
    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    std::wstring text_;
};

} // namespace nimbrel::win32
