#include "controls/form.h"

#include "controls/drop_down_list.h"
#include "controls/folder_list.h"
#include "controls/get_number.h"
#include "controls/toolkit.h"
#include "controls/track_bar.h"

#include <stdexcept>
#include <string>

namespace nimbrel {

// The windows go first: while they are destroyed they may still report to the controls.
TForm::~TForm() {
    DestroyWindows();
}

TControl* TForm::FindControl(std::string_view name) const {
    if (name.empty())
        return nullptr;
    if (name == Name())
        return const_cast<TForm*>(this);
    for (TControl* control : controls_) {
        if (control->Name() == name)
            return control;
    }
    return nullptr;
}

void TForm::Show() {
    if (window_)
        window_->Show();
}

void TForm::Close() {
    if (window_)
        window_->Close();
}

bool TForm::Visible() const {
    return window_ && window_->Visible();
}

TSize TForm::FrameSize() const {
    return window_ ? window_->FrameSize() : TSize{};
}

void TForm::MoveTo(TPoint topLeft) {
    if (window_)
        window_->MoveTo(topLeft);
}

void TForm::CreateWindows(TLayout layout, TToolkit& toolkit) {
    ApplyLayout(layout);
    window_ = toolkit.BuildWindows(*this, layout);
    AttachPeer(window_.get());
}

void TForm::DestroyWindows() {
    if (!window_)
        return;
    DetachPeer();
    for (TControl* control : controls_)
        control->DetachPeer();
    window_.reset();
}

void TForm::ApplyLayout(TLayout layout) {
    layout_ = layout;
    for (const TLayoutRow& row : layout) {
        TControl* control = FindControl(row.Name);
        if (control == nullptr)
            throw std::logic_error(std::string("no control for the layout row ") + row.Name);
        if (row.Parent != nullptr) {
            TControl* parent = FindControl(row.Parent);
            if (parent == nullptr)
                throw std::logic_error(std::string("no parent for the layout row ") + row.Name);
            control->SetParent(parent);
        }
        control->SetCaption(row.Caption);
        control->SetHelpContext(row.HelpContext);
        if ((row.Style & lsDisabled) != 0)
            control->SetEnabled(false);
        if (auto* bar = dynamic_cast<TTrackBar*>(control)) {
            bar->SetRange(row.Min, row.Max);
            bar->SetPosition(row.Position);
        } else if (auto* list = dynamic_cast<TDropDownList*>(control)) {
            list->SetItems({row.Items.begin(), row.Items.end()});
        } else if (auto* folders = dynamic_cast<TFolderList*>(control)) {
            folders->SetItemHeight(row.ItemHeight);
        } else if (auto* number = dynamic_cast<TGetNumber*>(control)) {
            if (row.Picture != nullptr)
                number->SetPicture(row.Picture);
        }
    }
}

} // namespace nimbrel
