#include "LinkCursor.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

namespace {

QPainterPath rounded(qreal x, qreal y, qreal w, qreal h, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(x, y, w, h, radius, radius);
    return path;
}

// The outline is laid on half pixels so that a one pixel pen covers whole pixels.
QPainterPath hand()
{
    QPainterPath shape = rounded(8.5, 1.5, 6, 20, 3);
    shape = shape.united(rounded(14.5, 10.5, 5, 11, 2.5));
    shape = shape.united(rounded(19.5, 11.5, 5, 10, 2.5));
    shape = shape.united(rounded(24.5, 13.5, 4, 9, 2));
    shape = shape.united(rounded(8.5, 17.5, 20, 11, 4));
    QTransform tilt;
    tilt.translate(10.5, 21.5);
    tilt.rotate(35);
    shape = shape.united(tilt.map(rounded(-9, -2.5, 11, 5, 2.5)));
    return shape.simplified();
}

void drawCreases(QPainter& painter)
{
    painter.setPen(QPen(QColor(0, 0, 0), 1));
    painter.drawLine(QPointF(14.5, 14), QPointF(14.5, 19));
    painter.drawLine(QPointF(19.5, 15), QPointF(19.5, 19));
    painter.drawLine(QPointF(24.5, 16), QPointF(24.5, 19));
}

} // namespace

QImage LinkCursor::paint(int scale)
{
    QImage image(32 * scale, 32 * scale, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 0), 1));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawPath(hand());
    drawCreases(painter);
    return image;
}
