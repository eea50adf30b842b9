#include "controls/qt/picture_box.h"

#include "controls/qt/canvas.h"

#include <QPainter>

namespace nimbrel {

TQtPictureBox::TQtPictureBox(QWidget* parent) : QWidget(parent) {
    picture_.OnChange = [this](TPicture&) { update(); };
}

void TQtPictureBox::LoadFromFile(std::string_view path) {
    picture_.LoadFromFile(path);
}

void TQtPictureBox::Clear() {
    picture_.SetGraphic(nullptr);
    update();
}

void TQtPictureBox::paintEvent(QPaintEvent*) {
    TGraphic* graphic = picture_.Graphic();
    if (graphic == nullptr || graphic->Empty()) {
        return;
    }
    QPainter painter(this);
    TQtCanvas canvas(painter);
    graphic->Draw(canvas, TRect{0, 0, width(), height()});
}

} // namespace nimbrel
