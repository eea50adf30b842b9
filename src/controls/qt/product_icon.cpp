#include "controls/qt/product_icon.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace nimbrel::qt {

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

namespace {

// The icon's pictures at the sizes a window asks for. Drawing them takes an antialiased
// painter's first use: they are drawn when someone first asks, which a window without a
// title bar (offscreen) never does.
class DrawnOnRequest : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Drawn().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Drawn().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Drawn().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Drawn().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Drawn().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new DrawnOnRequest(*this); }
    QString key() const override { return QStringLiteral("nimbrel-product"); }
    bool isNull() override { return false; }

private:
    const QIcon& Drawn() {
        if (drawn_.isNull()) {
            for (int size : {16, 32, 48})
                drawn_.addPixmap(QPixmap::fromImage(DrawProductIcon(size)));
        }
        return drawn_;
    }

    QIcon drawn_;
};

} // namespace

QIcon ProductIcon() {
    return QIcon(new DrawnOnRequest);
}

} // namespace nimbrel::qt
