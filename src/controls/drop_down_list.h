#pragma once
// A drop-down list without typing whose index follows the classic list's rule: an index
// outside the items shows no selection and then reads -1.
#include "controls/control.h"

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

class TDropDownListPeer : public TControlPeer {
public:
    virtual void ShowItems(const std::vector<std::string>& items) = 0;
    // -1 shows no selection.
    virtual void ShowItemIndex(int index) = 0;
};

class TDropDownList : public TControl {
public:
    using TControl::TControl;

    // Items in code page 1250.
    const std::vector<std::string>& Items() const { return items_; }
    void AddItem(std::string_view item);
    void SetItems(std::vector<std::string> items);

    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    // The selected item, or "" with none.
    std::string Text() const;

    // For the frontend: the user picked the item at `index`.
    void UserSelect(int index) { SetItemIndex(index); }

protected:
    void ShowState() override;

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

} // namespace nimbrel
