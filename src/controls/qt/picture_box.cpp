#include "controls/qt/picture_box.h"

#include "controls/qt/canvas.h"

#include <QPainter>

namespace nimbrel::qt {

TQtPictureBox::TQtPictureBox(TPictureBox& control, QWidget* parent)
    : TQtPeer(parent), control_(control) {}

void TQtPictureBox::paintEvent(QPaintEvent*) {
    if (control_.Picture() == nullptr)
        return;
    QPainter painter(this);
    TQtCanvas canvas(painter);
    control_.Paint(canvas, TSize{width(), height()});
}

} // namespace nimbrel::qt
