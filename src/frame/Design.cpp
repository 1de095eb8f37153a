#include "Design.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace Design {

namespace {

// Fills a control and draws its one-pixel outline on whole device pixels: Qt's own frame,
// laid on logical pixels, comes out one device pixel wide on some sides and two on others at
// a fractional scale. Each logical pixel's line starts on the device pixel nearest to it, so
// neighbours that overlap by one pixel still share one line.
void paintBox(QWidget* control)
{
    QPainter painter(control);
    const QTransform toDevice = painter.deviceTransform();
    painter.setWorldTransform(toDevice.inverted());
    const qreal ratio = control->devicePixelRatioF();
    const int line = std::max(1, static_cast<int>(std::floor(ratio + 1e-6)));
    const QPointF origin = toDevice.map(QPointF(0, 0));
    const auto devicePixel = [ratio](qreal base, int pixel) {
        return static_cast<int>(std::lround(base + pixel * ratio));
    };
    const QRect box(QPoint(devicePixel(origin.x(), 0), devicePixel(origin.y(), 0)),
                    QPoint(devicePixel(origin.x(), control->width() - 1) + line - 1,
                           devicePixel(origin.y(), control->height() - 1) + line - 1));
    const QColor outline = control->palette().color(QPalette::WindowText);
    painter.fillRect(box, control->palette().color(QPalette::Window));
    painter.fillRect(box.left(), box.top(), box.width(), line, outline);
    painter.fillRect(box.left(), box.bottom() - line + 1, box.width(), line, outline);
    painter.fillRect(box.left(), box.top(), line, box.height(), outline);
    painter.fillRect(box.right() - line + 1, box.top(), line, box.height(), outline);
}

class BoxedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        paintBox(this);
        QLabel::paintEvent(event);
    }
};

class BoxedRectangle : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent* /*event*/) override { paintBox(this); }
};

void paintFillAndOutline(QWidget* control, const QColor& fill)
{
    QPalette colours = control->palette();
    colours.setColor(QPalette::Window, fill);
    colours.setColor(QPalette::WindowText, Qt::black);
    control->setPalette(colours);
}

// Liberation Sans has Arial's widths, so a caption fits the width laid out for it in Arial; MS
// Sans Serif's widths are near enough Arial's at these sizes.
QFont sansSerif(const QString& family, int pixelSize)
{
    QFont font;
    font.setFamilies({family, QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}
} // namespace

QFont displayFont()
{
    return sansSerif(QStringLiteral("Arial"), 9);
}

QFont dialogFont()
{
    return sansSerif(QStringLiteral("MS Sans Serif"), 11);
}

QLabel* displayLabel(QWidget* parent, const QString& name, const QString& caption)
{
    auto* label = new BoxedLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(displayFont());
    label->setAlignment(Qt::AlignCenter);
    // The text keeps clear of the outline, as inside a one-pixel frame.
    label->setContentsMargins(1, 1, 1, 1);
    label->setTextFormat(Qt::PlainText);
    paintFillAndOutline(label, Teal);
    return label;
}

QFrame* rectangle(QWidget* parent, const QString& name)
{
    auto* shape = new BoxedRectangle(parent);
    shape->setObjectName(name);
    paintFillAndOutline(shape, Teal);
    return shape;
}

QTimer* timer(QObject* parent, const QString& name, int intervalMs, bool enabled)
{
    auto* created = new QTimer(parent);
    created->setObjectName(name);
    created->setInterval(intervalMs);
    if (enabled)
        created->start();
    return created;
}

void paintTeal(QWidget* control)
{
    QPalette colours = control->palette();
    colours.setColor(QPalette::Base, Teal);
    colours.setColor(QPalette::Window, Teal);
    colours.setColor(QPalette::Button, Teal);
    colours.setColor(QPalette::Text, Qt::black);
    control->setPalette(colours);
    control->setFont(dialogFont());
}

} // namespace Design
