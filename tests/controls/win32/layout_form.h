#pragma once
// A form with one plain control per row of a layout, of the row's kind: the Win32
// frontend's windows can then be built, shown and driven from any layout table.
#include "controls/form.h"
#include "controls/layout.h"
#include "controls/toolkit.h"

namespace nimbrel::test {

class TLayoutForm : public TForm {
public:
    // The first row must be the form's own.
    TLayoutForm(TLayout layout, TToolkit& toolkit);

    template <class Control> Control& Find(std::string_view name) const {
        auto* control = dynamic_cast<Control*>(FindControl(name));
        if (control == nullptr)
            throw std::logic_error("no such control of that kind: " + std::string(name));
        return *control;
    }

    void FocusMoved(TControl* to) override { focusMoves.push_back(to->Name()); }
    void HelpRequested(TControl* control) override { helpRequests.push_back(control->Name()); }

    std::vector<std::string> focusMoves;
    std::vector<std::string> helpRequests;
};

} // namespace nimbrel::test
