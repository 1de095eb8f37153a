#include "SplashPicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>

namespace {

const int side = 100;

// The largest bold size at which the name still fits with a small margin on each side.
QFont titleFont(const QString& title)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    for (int pixels = 26; pixels > 8; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(title) <= side - 10)
            break;
    }
    return font;
}

} // namespace

QImage SplashPicture::paint(int scale)
{
    QImage image(side * scale, side * scale, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawGround(painter);
    drawTitle(painter);
    drawLoudspeaker(painter, 8);
    drawLoudspeaker(painter, 54);
    return image;
}

void SplashPicture::drawGround(QPainter& painter)
{
    QRadialGradient glow(QPointF(50, 62), 70);
    glow.setColorAt(0, QColor(24, 34, 56));
    glow.setColorAt(1, QColor(5, 7, 12));
    painter.fillRect(0, 0, side, side, glow);
}

void SplashPicture::drawTitle(QPainter& painter)
{
    const QString title = QStringLiteral("IxoMp3");
    painter.setFont(titleFont(title));
    const QRect band(0, 4, side, 32);
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(band.translated(1, 1), Qt::AlignCenter, title);
    painter.setPen(QColor(0, 214, 214));
    painter.drawText(band, Qt::AlignCenter, title);
}

void SplashPicture::drawLoudspeaker(QPainter& painter, int left)
{
    const QRectF cabinet(left + 0.5, 40.5, 37, 54);
    QLinearGradient wood(cabinet.topLeft(), cabinet.bottomRight());
    wood.setColorAt(0, QColor(62, 66, 80));
    wood.setColorAt(1, QColor(28, 30, 38));
    painter.setPen(QPen(QColor(8, 8, 12), 1));
    painter.setBrush(wood);
    painter.drawRoundedRect(cabinet, 3, 3);
    const qreal centre = cabinet.center().x();
    drawDriver(painter, QPointF(centre, 53), 6);
    drawDriver(painter, QPointF(centre, 77), 14);
}

// A driver is a dark surround, a shaded cone and a light dust cap in the middle.
void SplashPicture::drawDriver(QPainter& painter, QPointF centre, qreal radius)
{
    painter.setPen(QPen(QColor(10, 10, 14), 1));
    painter.setBrush(QColor(22, 22, 28));
    painter.drawEllipse(centre, radius, radius);
    QRadialGradient cone(centre - QPointF(radius / 3, radius / 3), radius);
    cone.setColorAt(0, QColor(96, 104, 124));
    cone.setColorAt(1, QColor(30, 32, 40));
    painter.setPen(Qt::NoPen);
    painter.setBrush(cone);
    painter.drawEllipse(centre, radius * 0.8, radius * 0.8);
    QRadialGradient cap(centre - QPointF(1, 1), radius * 0.3);
    cap.setColorAt(0, QColor(190, 200, 216));
    cap.setColorAt(1, QColor(70, 76, 90));
    painter.setBrush(cap);
    painter.drawEllipse(centre, radius * 0.3, radius * 0.3);
}
