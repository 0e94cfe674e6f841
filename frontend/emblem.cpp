#include "frontend/emblem.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

namespace {

// A conifer: a trunk and three stacked crowns, `height` tall, standing at `base`.
void Conifer(QPainter& p, QPointF base, double height, QColor crown) {
    const double w = height * 0.42;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 72, 40));
    p.drawRect(QRectF(base.x() - w * 0.08, base.y() - height * 0.18, w * 0.16, height * 0.18));
    for (int tier = 0; tier < 3; ++tier) {
        const double bottom = base.y() - height * (0.14 + 0.24 * tier);
        const double top = bottom - height * 0.46;
        const double half = w * (0.5 - 0.11 * tier);
        p.setBrush(crown.darker(100 + 12 * (2 - tier)));
        p.drawPolygon(QPolygonF({QPointF(base.x() - half, bottom), QPointF(base.x() + half, bottom),
                                 QPointF(base.x(), top)}));
    }
}

}  // namespace

QPixmap StandEmblem(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(1, 1, size - 2, size - 2);
    QPainterPath clip;
    clip.addEllipse(disc);
    p.setClipPath(clip);

    QLinearGradient sky(disc.topLeft(), disc.bottomLeft());
    sky.setColorAt(0.0, QColor(64, 64, 255));
    sky.setColorAt(0.7, QColor(128, 255, 255));
    p.fillRect(disc, sky);
    QRadialGradient sun(QPointF(size * 0.72, size * 0.28), size * 0.14);
    sun.setColorAt(0.0, QColor(255, 250, 200));
    sun.setColorAt(1.0, QColor(255, 220, 90, 0));
    p.setBrush(sun);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(size * 0.72, size * 0.28), size * 0.14, size * 0.14);

    // Soil, with its layers.
    p.setBrush(QColor(92, 64, 40));
    p.drawRect(QRectF(0, size * 0.78, size, size * 0.22));
    p.setBrush(QColor(60, 140, 60));
    p.drawRect(QRectF(0, size * 0.74, size, size * 0.06));

    Conifer(p, QPointF(size * 0.30, size * 0.76), size * 0.52, QColor(30, 120, 50));
    Conifer(p, QPointF(size * 0.55, size * 0.76), size * 0.66, QColor(20, 100, 45));
    Conifer(p, QPointF(size * 0.78, size * 0.76), size * 0.42, QColor(40, 135, 60));

    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 40, 120), 2));
    p.drawEllipse(disc);
    return pixmap;
}
