#pragma once
// The dialog driver over the Qt frontend: QTest's input events on the widgets that carry
// the controls' names.
#include "dialog_driver.h"

#include <QWidget>

namespace nimbrel::test {

class TQtDialogDriver : public TDialogDriver {
public:
    // `window` is the dialog's top-level window.
    explicit TQtDialogDriver(QWidget& window) : window_(window) {}

    bool WaitActive() override;
    void Settle() override;
    void Repaint(std::string_view control) override;
    void Click(std::string_view control) override;
    void ClickLine(std::string_view control, int line) override;
    void RightClickLine(std::string_view control, int line) override;
    void CtrlClickLine(std::string_view control, int line) override;
    void DragAcrossLines(std::string_view control, int from, int to) override;
    void ClickTab(std::string_view control, int tab) override;
    void AskHelp(std::string_view control, TPoint at) override;
    void Focus(std::string_view control) override;
    void Key(std::string_view control, int virtualKey, TShiftState shift) override;
    void Type(std::string_view control, std::string_view text) override;
    bool Visible() const override;
    bool Enabled(std::string_view control) const override;
    bool HasFocus(std::string_view control) const override;
    std::string Text(std::string_view control) const override;
    std::vector<std::string> Lines(std::string_view control) const override;
    int SelectedLine(std::string_view control) const override;
    bool Checked(std::string_view control) const override;
    int Position(std::string_view control) const override;
    std::string HelpPopupText() const override;
    TColour PaintedCentre(std::string_view control) override;
    bool SavePicture(const std::string& file) override;

    // The widget of a control; throws when there is none.
    QWidget& Widget(std::string_view control) const;

private:
    QWidget& window_;
};

} // namespace nimbrel::test
