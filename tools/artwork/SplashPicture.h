#pragma once

#include <QImage>

class QPainter;

// The splash shown while the player starts: the product name over two loudspeakers on a dark
// ground.
class SplashPicture {
public:
    // scale 2 draws the same picture on a grid of twice the pixels.
    static QImage paint(int scale = 1);

private:
    static void drawGround(QPainter& painter);
    static void drawTitle(QPainter& painter);
    static void drawLoudspeaker(QPainter& painter, int left);
    static void drawDriver(QPainter& painter, QPointF centre, qreal radius);
};
