#pragma once
// The Qt window of the picture box: paints the control's picture through a QPainter.
#include "controls/picture_box.h"
#include "controls/qt/peer.h"

#include <QWidget>

class QPaintEvent;

namespace nimbrel::qt {

class TQtPictureBox : public TQtPeer<QWidget, TPictureBoxPeer> {
public:
    TQtPictureBox(TPictureBox& control, QWidget* parent);

    void Invalidate() override { update(); }

protected:
    // An exception of the picture's drawing leaves this (the application reports it).
    void paintEvent(QPaintEvent* event) override;

private:
    TPictureBox& control_;
};

} // namespace nimbrel::qt
