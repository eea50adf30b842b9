#pragma once
// The Qt window of the dialog: a fixed-size dialog frame with the caption's help button.
// It tells its form when it is shown, where the focus goes and which control help was
// asked for (F1, or the help button and then a click).
#include "controls/form.h"
#include "controls/qt/peer.h"

#include <QWidget>

namespace nimbrel::qt {

class TQtFormWindow : public TQtPeer<QWidget, TFormPeer> {
public:
    TQtFormWindow(TForm& form, const TLayoutRow& row);
    ~TQtFormWindow() override;

    void ShowCaption(std::string_view caption) override { setWindowTitle(ToQString(caption)); }
    void Show() override { show(); }
    void Close() override { close(); }
    bool Visible() const override { return isVisible(); }
    TSize FrameSize() const override;
    void MoveTo(TPoint topLeft) override { move(topLeft.X, topLeft.Y); }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TForm& form_;
    QSize knownFrame_; // the outer size the form heard of last
};

} // namespace nimbrel::qt
