#include "SysInfo.h"

#include "frame/Twips.h"
#include "frame/WindowRegistry.h"

#include <QGuiApplication>
#include <QScreen>

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
