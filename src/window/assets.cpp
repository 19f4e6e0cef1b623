#include "window/assets.h"

#include <QPainter>
#include <QRadialGradient>

namespace veltro {

QImage makeWindowIcon() {
    QImage icon(100, 53, QImage::Format_RGB888);
    icon.fill(QColor(32, 40, 56));
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    // A meter face: a scale arc in green, yellow and red with a needle.
    const QRectF arc(10, 8, 80, 80);
    const struct {
        int startDeg, spanDeg;
        QColor colour;
    } zones[] = {{150, -50, QColor(0, 192, 0)},
                 {100, -30, QColor(255, 255, 0)},
                 {70, -40, QColor(192, 0, 0)}};
    for (const auto& zone : zones) {
        painter.setPen(QPen(zone.colour, 5, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(arc, zone.startDeg * 16, zone.spanDeg * 16);
    }
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(50, 48), QPointF(68, 16));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(50, 48), 3, 3);
    return icon;
}

QImage makeLamp(const QColor& colour) {
    QImage lamp(15, 15, QImage::Format_ARGB32_Premultiplied);
    lamp.fill(Qt::transparent);
    QPainter painter(&lamp);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(5.5, 5.5), 8);
    glow.setColorAt(0, colour.lighter(170));
    glow.setColorAt(1, colour.darker(130));
    painter.setBrush(glow);
    painter.setPen(QPen(colour.darker(200), 1));
    painter.drawEllipse(QRectF(0.5, 0.5, 14, 14));
    return lamp;
}

}  // namespace veltro
