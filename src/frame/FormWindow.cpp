#include "FormWindow.h"

#include "DesktopHints.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QPainter>

FormWindow::FormWindow(const QString& name, int clientWidthTwips, int clientHeightTwips,
                       FrameStyle frame)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint),
      m_frame(frame == FrameStyle::Thin ? ThinFramePixels : 0)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("IxoMp3"));
    setFixedSize(Twips::toPixels(clientWidthTwips) + 2 * m_frame,
                 Twips::toPixels(clientHeightTwips) + 2 * m_frame);
}

int FormWindow::Left() const
{
    return Twips::fromPixels(x());
}

int FormWindow::Top() const
{
    return Twips::fromPixels(y());
}

int FormWindow::Width() const
{
    return Twips::fromPixels(width());
}

int FormWindow::Height() const
{
    return Twips::fromPixels(height());
}

void FormWindow::Move(int leftTwips, int topTwips)
{
    move(Twips::toPixels(leftTwips), Twips::toPixels(topTwips));
}

QRect FormWindow::clientGeometry(const QWidget* control) const
{
    return control->geometry().translated(-m_frame, -m_frame);
}

void FormWindow::place(QWidget* control, int left, int top, int width, int height) const
{
    control->setGeometry(Twips::toPixels(left, top, width, height).translated(m_frame, m_frame));
}

void FormWindow::setBackgroundColour(const QColor& colour)
{
    m_background = colour;
    update();
}

void FormWindow::setBackgroundPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void FormWindow::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect client = rect().adjusted(m_frame, m_frame, -m_frame, -m_frame);
    painter.fillRect(client, m_background.isValid() ? m_background : palette().window().color());
    if (!m_picture.isNull()) {
        painter.setClipRect(client);
        painter.drawPixmap(client.topLeft(), m_picture);
        painter.setClipping(false);
    }
    if (m_frame > 0)
        paintThinFrame(painter);
}

// A raised three-pixel dialog frame: light on the top and left edges, dark on the others.
void FormWindow::paintThinFrame(QPainter& painter) const
{
    static constexpr QRgb Outer[] = {qRgb(212, 208, 200), qRgb(64, 64, 64)};
    static constexpr QRgb Middle[] = {qRgb(255, 255, 255), qRgb(128, 128, 128)};
    static constexpr QRgb Inner = qRgb(212, 208, 200);
    const QRgb* rings[] = {Outer, Middle};
    for (int ring = 0; ring < 2; ++ring) {
        const QRect r = rect().adjusted(ring, ring, -ring - 1, -ring - 1);
        painter.setPen(QColor(rings[ring][0]));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(QColor(rings[ring][1]));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
    painter.setPen(QColor(Inner));
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
}

void FormWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Form_Activate();
    // Last, since a change of window flags in the activation may rewrite the window's state.
    DesktopHints::keepOffTaskbar(this);
}

bool FormWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void FormWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    Form_CloseRequest();
}
