#include "SysInfo.h"

#include "frame/Twips.h"
#include "frame/WindowRegistry.h"

#include <QGuiApplication>
#include <QScreen>
#include <qpa/qplatformscreen.h>

QRect SysInfo::workArea() const
{
    if (const auto& given = WindowRegistry::instance().answers().workArea)
        return *given;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    const QRect pixels = screen->availableGeometry();
    return {Twips::fromPixels(pixels.x()), Twips::fromPixels(pixels.y()),
            Twips::fromPixels(pixels.width()), Twips::fromPixels(pixels.height())};
}

QRect SysInfo::deviceWorkArea(qreal ratio) const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (ratio == 1 || WindowRegistry::instance().answers().workArea || screen == nullptr) {
        const QRect twips = workArea();
        const QRectF pixels(
            twips.x() / double(Twips::PerPixel), twips.y() / double(Twips::PerPixel),
            twips.width() / double(Twips::PerPixel), twips.height() / double(Twips::PerPixel));
        const QRectF scaled(pixels.topLeft() * ratio, pixels.size() * ratio);
        return QRect(scaled.topLeft().toPoint(), scaled.bottomRight().toPoint() - QPoint(1, 1));
    }
    return screen->handle()->availableGeometry();
}
