#pragma once
// The dialog window as a control: it owns the toolkit's windows of its controls, knows its
// controls by name and hears what only the window sees (shown, focus moves, help requests).
#include "controls/control.h"
#include "controls/layout.h"

#include <memory>
#include <string_view>
#include <vector>

namespace nimbrel {

class TToolkit;

class TFormPeer : public TControlPeer {
public:
    // Shows the window; it then calls TForm::Shown.
    virtual void Show() = 0;
    // Hides the window for good; a running message loop ends.
    virtual void Close() = 0;
    virtual bool Visible() const = 0;
    // The outer size, frame included, in screen pixels.
    virtual TSize FrameSize() const = 0;
    // Puts the outer frame's top-left corner there.
    virtual void MoveTo(TPoint topLeft) = 0;
};

class TForm : public TControl {
public:
    explicit TForm(std::string name) : TControl(std::move(name)) {}
    ~TForm() override;

    // Every control of the form, by name ("" and unknown names give nullptr); the form
    // itself is found by its own name.
    TControl* FindControl(std::string_view name) const;
    const std::vector<TControl*>& Controls() const { return controls_; }
    TLayout Layout() const { return layout_; }

    void Show();
    void Close();
    bool Visible() const;
    TSize FrameSize() const;
    void MoveTo(TPoint topLeft);

    // For the frontend. The window was shown by the program (a restore by the window
    // system is no new showing).
    virtual void Shown() {}
    // The dialog's focus entered `to` (moves caused by activating the window excluded).
    virtual void FocusMoved(TControl* to) {}
    // F1 on the focused control, or the caption's help button and then a click on it.
    virtual void HelpRequested(TControl* control) {}
    // The outer size changed: a window system may add its frame and caption only once the
    // window is shown.
    virtual void FrameChanged() {}

protected:
    // Makes a control that the form owns and knows by name.
    template <class Control> Control* Add(std::string name) {
        auto control = std::make_unique<Control>(std::move(name));
        Control* made = control.get();
        owned_.push_back(std::move(control));
        controls_.push_back(made);
        return made;
    }
    // Sets the controls up from the layout (parents, captions, help numbers, ranges,
    // items, pictures), then has the toolkit build and attach their windows.
    void CreateWindows(TLayout layout, TToolkit& toolkit);
    // Destroys the windows (the form's destructor does it before the controls go).
    void DestroyWindows();

private:
    void ApplyLayout(TLayout layout);

    std::vector<TControl*> controls_;
    std::vector<std::unique_ptr<TControl>> owned_;
    TLayout layout_;
    std::unique_ptr<TFormPeer> window_;
};

} // namespace nimbrel
