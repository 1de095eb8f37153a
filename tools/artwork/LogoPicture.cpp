#include "LogoPicture.h"

#include "ProgramIcon.h"

#include <QFont>
#include <QPainter>

namespace {

QFont nameFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

QImage LogoPicture::paint(int scale)
{
    QImage image(180 * scale, 70 * scale, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.drawImage(QRect(7, 7, 56, 56), ProgramIcon::paint(56 * scale, false));
    painter.setFont(nameFont(24, true));
    painter.setPen(QColor(0, 210, 210));
    painter.drawText(QRect(72, 6, 106, 32), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("IxoMp3"));
    painter.setFont(nameFont(19, false));
    painter.setPen(QColor(214, 222, 232));
    painter.drawText(QRect(73, 36, 105, 26), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("taldea"));
    return image;
}
