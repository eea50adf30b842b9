#include "controls/picture_box.h"

#include "controls/qt_canvas.h"

#include <QPainter>

namespace nimbrel {

TPictureBox::TPictureBox(QWidget* parent) : QWidget(parent) {
    picture_.OnChange = [this](TPicture&) { update(); };
}

void TPictureBox::LoadFromFile(std::string_view path) {
    picture_.LoadFromFile(path);
}

void TPictureBox::Clear() {
    picture_.SetGraphic(nullptr);
    update();
}

void TPictureBox::paintEvent(QPaintEvent*) {
    TGraphic* graphic = picture_.Graphic();
    if (graphic == nullptr || graphic->Empty()) {
        return;
    }
    QPainter painter(this);
    TQtCanvas canvas(painter);
    graphic->Draw(canvas, TRect{0, 0, width(), height()});
}

} // namespace nimbrel
