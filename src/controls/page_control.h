#pragma once
// The page control: its pages are the controls whose parent it is, in that order (the
// tab order of the tabs). Selecting a page, by code or by the user, raises nothing.
#include "controls/control.h"

namespace nimbrel {

class TPageControlPeer : public TControlPeer {
public:
    virtual void ShowActivePage(int index) = 0;
};

class TPageControl : public TControl {
public:
    using TControl::TControl;

    // The pages, in tab order.
    const std::vector<TControl*>& Pages() const { return Children(); }
    TControl* ActivePage() const;
    int ActivePageIndex() const { return activePage_; }
    // A control that is not one of the pages is ignored.
    void SetActivePage(TControl* page);

    // For the frontend: the user chose the tab at `index`.
    void UserSelectPage(int index);

protected:
    void ShowState() override;

private:
    int activePage_ = 0;
};

} // namespace nimbrel
