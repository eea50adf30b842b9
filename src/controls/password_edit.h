#pragma once
// A single-line edit that shows every character as "*", with no length limit.
#include "controls/control.h"

#include <string>
#include <string_view>

namespace nimbrel {

class TEditPeer : public TControlPeer {
public:
    virtual void ShowText(std::string_view text) = 0;
};

class TPasswordEdit : public TControl {
public:
    using TControl::TControl;

    // The text in code page 1250.
    const std::string& Text() const { return text_; }
    void SetText(std::string_view text);

    // For the frontend: the user's editing left this text.
    void UserEdit(std::string_view text) { text_ = text; }

protected:
    void ShowState() override;

private:
    std::string text_;
};

} // namespace nimbrel
