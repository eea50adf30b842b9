#pragma once
// A list box of single selection. Its click event is raised for every click on a line and
// for every key that moves the selection; a selection set by code raises nothing.
#include "controls/control.h"

#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

class TListBoxPeer : public TControlPeer {
public:
    virtual void ShowItems(const std::vector<std::string>& items) = 0;
    // -1 shows no selection.
    virtual void ShowItemIndex(int index) = 0;
};

class TListBox : public TControl {
public:
    using TControl::TControl;

    // Lines in code page 1250.
    const std::vector<std::string>& Items() const { return items_; }
    // Replaces the lines; no line is selected afterwards.
    void SetItems(std::vector<std::string> items);
    void Clear() { SetItems({}); }
    int Count() const { return static_cast<int>(items_.size()); }

    // -1 when no line is selected.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);

    std::function<void()> OnClick;

    // For the frontend: the user clicked the line at `index` (-1: no line is selected any
    // more), or a key moved the selection there.
    void UserClick(int index);

protected:
    void ShowState() override;

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

} // namespace nimbrel
