#include "ProgramIcon.h"

#include "PixelArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QRgb rim = qRgb(8, 24, 56);
const QRgb wave = qRgb(0, 230, 230);

// Bands a-d darken the tile from top to bottom; H is its lit top edge and S its shaded bottom;
// M is the speaker's magnet, W and G the lit and shaded halves of its cone, T the waves.
const std::vector<std::string_view>& rows()
{
    static const std::vector<std::string_view> art = {
        ".KKKKKKKKKKKKKK.", "KHHHHHHHHHHHHHHK", "KaaaaaaWaaaaaaaK", "KaaaaaWWaaaTaaaK",
        "KbbbbWWWbbbbTbbK", "KbbbWWWWbTbbbTbK", "KbMMWWWWbbTbbTbK", "KbMMWWWWbbTbbTbK",
        "KcMMGGGGccTccTcK", "KcMMGGGGccTccTcK", "KcccGGGGcTcccTcK", "KccccGGGccccTccK",
        "KdddddGGdddTdddK", "KddddddGdddddddK", "KSSSSSSSSSSSSSSK", ".KKKKKKKKKKKKKK.",
    };
    return art;
}

QPainterPath speaker(qreal unit)
{
    QPainterPath path;
    path.addRect(6 * unit, 12 * unit, 5 * unit, 8 * unit);
    path.moveTo(11 * unit, 12 * unit);
    path.lineTo(18 * unit, 5 * unit);
    path.lineTo(18 * unit, 27 * unit);
    path.lineTo(11 * unit, 20 * unit);
    path.closeSubpath();
    return path;
}

void drawTile(QPainter& painter, int size, qreal unit)
{
    const QRectF tile(0.5, 0.5, size - 1, size - 1);
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, QColor(58, 140, 220));
    fill.setColorAt(1, QColor(18, 58, 132));
    painter.setPen(QPen(QColor(rim), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(tile, 5 * unit, 5 * unit);
}

void drawWaves(QPainter& painter, qreal unit)
{
    painter.setPen(QPen(QColor(wave), 2.2 * unit, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (const qreal radius : {5.0, 10.0}) {
        const QRectF box((18 - radius) * unit, (16 - radius) * unit, 2 * radius * unit,
                         2 * radius * unit);
        painter.drawArc(box, -50 * 16, 100 * 16);
    }
}

} // namespace

QImage ProgramIcon::paint(int size, bool opaque)
{
    return size <= 16 ? small(opaque) : large(size, opaque);
}

QImage ProgramIcon::small(bool opaque)
{
    const QList<QRgb> palette = {opaque ? rim : qRgba(0, 0, 0, 0),
                                 rim,
                                 qRgb(116, 184, 242),
                                 qRgb(54, 132, 212),
                                 qRgb(42, 112, 192),
                                 qRgb(32, 90, 170),
                                 qRgb(24, 68, 142),
                                 qRgb(14, 44, 104),
                                 qRgb(150, 170, 196),
                                 qRgb(250, 252, 255),
                                 qRgb(196, 212, 230),
                                 wave};
    const QImage image = PixelArt(rows()).indexed(".KHabcdSMWGT", palette);
    return opaque ? image.convertToFormat(QImage::Format_RGB32) : image;
}

QImage ProgramIcon::large(int size, bool opaque)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(opaque ? QColor(rim) : QColor(Qt::transparent));
    const qreal unit = size / 32.0;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawTile(painter, size, unit);
    QLinearGradient cone(0, 5 * unit, 0, 27 * unit);
    cone.setColorAt(0, QColor(252, 253, 255));
    cone.setColorAt(1, QColor(190, 206, 226));
    painter.setPen(QPen(QColor(rim), qMax(1.0, unit * 0.8)));
    painter.setBrush(cone);
    painter.drawPath(speaker(unit));
    drawWaves(painter, unit);
    return image;
}
