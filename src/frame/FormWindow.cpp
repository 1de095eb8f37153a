#include "FormWindow.h"

#include "Accessible.h"
#include "DesktopHints.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <cmath>
#include <qpa/qplatformwindow.h>

namespace {

// On X11 Qt makes a tool window transient for the program's hidden group leader, and KWin maps
// a transient whose main windows are all hidden minimised: a playlist opened from the bar would
// never show. There an ordinary window, kept off the task bar by its hint, does the same work.
Qt::WindowType windowKind()
{
    return QGuiApplication::platformName() == QStringLiteral("xcb") ? Qt::Window : Qt::Tool;
}

} // namespace

FormWindow::FormWindow(const QString& name, int clientWidthTwips, int clientHeightTwips,
                       FrameStyle frame)
    : QWidget(nullptr, windowKind() | Qt::FramelessWindowHint),
      m_frame(frame == FrameStyle::Thin ? ThinFramePixels : 0)
{
    Accessible::install();
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

// A control reaching past the client area is cut at its edge, as the frame would cover it.
void FormWindow::place(QWidget* control, int left, int top, int width, int height) const
{
    const QRect client = rect().adjusted(m_frame, m_frame, -m_frame, -m_frame);
    control->setGeometry(
        Twips::toPixels(left, top, width, height).translated(m_frame, m_frame).intersected(client));
}

void FormWindow::setBackgroundColour(const QColor& colour)
{
    m_background = colour;
    update();
}

void FormWindow::setBackgroundPicture(const Pictures::Scaled& picture)
{
    m_picture = picture;
    update();
}

std::array<int, 3> FormWindow::thinFrameRings(qreal ratio)
{
    const int width = static_cast<int>(std::floor(ThinFramePixels * ratio + 1e-6));
    return {static_cast<int>(std::lround(width / 3.0)),
            static_cast<int>(std::lround(2 * width / 3.0)), width};
}

int FormWindow::frameDevicePixels() const
{
    return m_frame > 0 ? thinFrameRings(devicePixelRatioF()).back() : 0;
}

QRect FormWindow::deviceGeometry() const
{
    if (const QWindow* window = windowHandle(); window != nullptr && window->handle() != nullptr)
        return window->handle()->geometry();
    // Qt's own mapping: the position from the screen's origin and the size, each rounded.
    const qreal ratio = devicePixelRatioF();
    const QPoint origin = screen() != nullptr ? screen()->geometry().topLeft() : QPoint();
    return {origin + (pos() - origin) * ratio, size() * ratio};
}

void FormWindow::standOn(const FormWindow& below)
{
    Move(below.Left(), below.Top() - Height());
    const QRect under = below.deviceGeometry();
    moveToDevicePixel(QPoint(under.left(), under.top() - deviceGeometry().height()));
}

// Qt maps a logical position to the nearest device pixel, and at a fractional scale some
// device pixels are no logical position's nearest. Those are set on the platform window, which
// Qt then reports back as the nearest logical position.
void FormWindow::moveToDevicePixel(QPoint topLeft)
{
    const qreal ratio = devicePixelRatioF();
    const QPoint origin = screen() != nullptr ? screen()->geometry().topLeft() : QPoint();
    move(origin + (QPointF(topLeft - origin) / ratio).toPoint());
    if (deviceGeometry().topLeft() == topLeft)
        return;
    winId();
    QPlatformWindow* platform = windowHandle()->handle();
    platform->setGeometry(QRect(topLeft, platform->geometry().size()));
}

// The frame and the picture are painted in device pixels, so that neither is smeared across
// them at a fractional scale. The window's own origin is always on a device pixel.
void FormWindow::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    const QSize device = (QSizeF(size()) * ratio).toSize();
    const int frame = frameDevicePixels();
    const QRect client = QRect(QPoint(), device).adjusted(frame, frame, -frame, -frame);
    painter.fillRect(client, m_background.isValid() ? m_background : palette().window().color());
    if (!m_picture.isNull()) {
        // The picture keeps to the 1x client area, scaled as the client area is.
        const QSize logicalClient = size() - QSize(2 * m_frame, 2 * m_frame);
        const QSize scaled(
            static_cast<int>(std::lround(m_picture.size().width() * client.width() /
                                         double(logicalClient.width()))),
            static_cast<int>(std::lround(m_picture.size().height() * client.height() /
                                         double(logicalClient.height()))));
        painter.setClipRect(client);
        painter.drawPixmap(client.topLeft(), m_picture.forDeviceSize(scaled));
        painter.setClipping(false);
    }
    if (m_frame > 0)
        paintThinFrame(painter, device);
}

// A raised dialog frame of three rings, each whole device pixels wide: light on the top and
// left edges and dark on the others for the outer two, light all round for the inner one. The
// dark edges are laid last, so they hold the top-right and bottom-left corners.
void FormWindow::paintThinFrame(QPainter& painter, QSize device) const
{
    static constexpr std::array<std::array<QRgb, 2>, 3> Colours{{
        {qRgb(212, 208, 200), qRgb(64, 64, 64)},
        {qRgb(255, 255, 255), qRgb(128, 128, 128)},
        {qRgb(212, 208, 200), qRgb(212, 208, 200)},
    }};
    const std::array<int, 3> ends = thinFrameRings(devicePixelRatioF());
    int start = 0;
    for (std::size_t ring = 0; ring < ends.size(); ++ring) {
        const int band = ends.at(ring) - start;
        const QRect r = QRect(QPoint(), device).adjusted(start, start, -start, -start);
        painter.fillRect(QRect(r.left(), r.top(), r.width(), band), QColor(Colours.at(ring)[0]));
        painter.fillRect(QRect(r.left(), r.top(), band, r.height()), QColor(Colours.at(ring)[0]));
        painter.fillRect(QRect(r.left(), r.bottom() - band + 1, r.width(), band),
                         QColor(Colours.at(ring)[1]));
        painter.fillRect(QRect(r.right() - band + 1, r.top(), band, r.height()),
                         QColor(Colours.at(ring)[1]));
        start = ends.at(ring);
    }
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
