#pragma once
// The Qt windows of the static controls and containers: label, group box, panel, the page
// control and its pages.
#include "controls/label.h"
#include "controls/page_control.h"
#include "controls/qt/peer.h"

#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

namespace nimbrel::qt {

class TQtLabel : public TQtPeer<QLabel, TControlPeer> {
public:
    // An auto-sized label keeps its top-left corner and takes the size of its text.
    TQtLabel(bool autoSize, QWidget* parent) : TQtPeer(parent), autoSize_(autoSize) {}
    void ShowCaption(std::string_view caption) override;

private:
    bool autoSize_;
};

class TQtGroupBox : public TQtPeer<QGroupBox, TControlPeer> {
public:
    using TQtPeer::TQtPeer;
    void ShowCaption(std::string_view caption) override { setTitle(ToQString(caption)); }
};

// A panel, and a page of the page control (its caption is its tab's text).
class TQtPanel : public TQtPeer<QWidget, TControlPeer> {
public:
    using TQtPeer::TQtPeer;
    void ShowCaption(std::string_view caption) override;
};

class TQtPageControl : public TQtPeer<QTabWidget, TPageControlPeer> {
public:
    TQtPageControl(TPageControl& control, QWidget* parent);
    void ShowActivePage(int index) override;
};

} // namespace nimbrel::qt
