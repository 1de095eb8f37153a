#pragma once

#include <QRect>

// Window layouts are written in twips. At the layout's scale fifteen twips make one pixel; Qt's
// device-independent pixels then take care of high-DPI screens.
namespace Twips {

inline constexpr int PerPixel = 15;

constexpr int toPixels(int twips)
{
    return twips / PerPixel;
}

constexpr int fromPixels(int pixels)
{
    return pixels * PerPixel;
}

constexpr QRect toPixels(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

} // namespace Twips
