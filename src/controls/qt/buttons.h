#pragma once
// The Qt windows of the push button, the check box and the radio button.
#include "controls/button.h"
#include "controls/check_box.h"
#include "controls/qt/peer.h"
#include "controls/radio_button.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

namespace nimbrel::qt {

class TQtButton : public TQtPeer<QPushButton, TControlPeer> {
public:
    TQtButton(TButton& control, QWidget* parent);
    void ShowCaption(std::string_view caption) override { setText(ToQString(caption)); }
};

class TQtCheckBox : public TQtPeer<QCheckBox, TCheckBoxPeer> {
public:
    TQtCheckBox(TCheckBox& control, QWidget* parent);
    void ShowCaption(std::string_view caption) override { setText(ToQString(caption)); }
    void ShowChecked(bool checked) override { setChecked(checked); }
};

// Qt's own exclusivity stays on, so that the arrow keys move among the buttons of a group
// as on Windows; the control decides the rest.
class TQtRadioButton : public TQtPeer<QRadioButton, TRadioButtonPeer> {
public:
    TQtRadioButton(TRadioButton& control, QWidget* parent);
    void ShowCaption(std::string_view caption) override { setText(ToQString(caption)); }
    void ShowChecked(bool checked) override;
};

} // namespace nimbrel::qt
