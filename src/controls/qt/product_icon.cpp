#include "controls/qt/product_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace nimbrel {

QImage DrawProductIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    const QRectF picture(3, 5, 26, 22);
    QLinearGradient sky(picture.topLeft(), picture.bottomLeft());
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(170, 210, 255));
    painter.fillRect(picture, sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 200, 40));
    painter.drawEllipse(QPointF(21, 12), 3.5, 3.5);

    QPainterPath hills;
    hills.moveTo(3, 27);
    hills.lineTo(3, 21);
    hills.quadTo(10, 14, 17, 21);
    hills.quadTo(23, 17, 29, 20);
    hills.lineTo(29, 27);
    hills.closeSubpath();
    painter.setBrush(QColor(40, 140, 60));
    painter.drawPath(hills);

    painter.setPen(QPen(QColor(60, 40, 20), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(picture);
    painter.end();
    return image;
}

QIcon ProductIcon() {
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(QPixmap::fromImage(DrawProductIcon(size)));
    return icon;
}

} // namespace nimbrel
