#pragma once

#include <QImage>

class QPainter;

// The splash shown while the player starts: the product name over two loudspeakers on a dark
// ground.
class SplashPicture {
public:
    static QImage paint();

private:
    static void drawGround(QPainter& painter);
    static void drawTitle(QPainter& painter);
    static void drawLoudspeaker(QPainter& painter, int left);
    static void drawDriver(QPainter& painter, QPointF centre, qreal radius);
};
