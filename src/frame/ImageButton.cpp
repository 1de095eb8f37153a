#include "ImageButton.h"

#include "Pictures.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int ButtonPixels = 16;
}

ImageButton::ImageButton(QWidget* parent, const QString& iconBase, const QString& toolTip)
    : QLabel(parent), m_iconBase(iconBase)
{
    setToolTip(toolTip);
    setAccessibleName(toolTip);
    setFocusPolicy(Qt::TabFocus);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture =
        Pictures::designIcon(QStringLiteral("buttons/") + iconBase + QStringLiteral(".ico"));
    showPicture();
}

QImage ImageButton::pictureImage() const
{
    return m_picture.pixmap(QSize(ButtonPixels, ButtonPixels)).toImage();
}

void ImageButton::setPicture(const QIcon& picture, const QString& fileName)
{
    m_picture = picture;
    m_pictureFile = fileName;
    showPicture();
}

void ImageButton::showPicture()
{
    setPixmap(m_picture.pixmap(QSize(ButtonPixels, ButtonPixels), devicePixelRatioF()));
}

void ImageButton::press()
{
    LoadButtonIcon(this, m_iconBase + QStringLiteral("1.ico"));
    emit MouseDown();
}

void ImageButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    press();
}

// The second press of a quick pair already came as a press; the double click that follows it
// must not press the button a second time.
void ImageButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    emit MouseUp();
}

// The key's own repeats are not presses: a held Space is one press, so the volume buttons
// repeat by their timers while it is held, exactly as under a held mouse button.
void ImageButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (!isPressKey(key)) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    // The mark shows from the first key on, even where the window came up without a Tab.
    window()->setAttribute(Qt::WA_KeyboardFocusChange);
    update();
    if (event->isAutoRepeat() || m_heldByKey)
        return;
    press();
    if (key == Qt::Key_Space)
        m_heldByKey = true;
    else
        emit MouseUp();
}

void ImageButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space) {
        QLabel::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat() && m_heldByKey) {
        m_heldByKey = false;
        emit MouseUp();
    }
}

// A button left while Space holds it is released where the focus went, as a mouse button is
// released wherever the pointer went: a volume button must not go on repeating.
void ImageButton::focusOutEvent(QFocusEvent* event)
{
    QLabel::focusOutEvent(event);
    if (m_heldByKey) {
        m_heldByKey = false;
        emit MouseUp();
    }
}

// A dotted ring on the picture's edge, white under black so it shows on any picture; only
// once the keyboard has moved the focus, so the mouse sees the bar as it always was.
void ImageButton::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus() || !window()->testAttribute(Qt::WA_KeyboardFocusChange))
        return;
    QPainter painter(this);
    const QRect ring = rect().adjusted(0, 0, -1, -1);
    painter.setPen(QPen(Qt::white, 0));
    painter.drawRect(ring);
    painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    painter.drawRect(ring);
}

void LoadButtonIcon(ImageButton* button, const QString& fileName)
{
    const QString path = Pictures::iconFolderPath(fileName);
    const QIcon picture = Pictures::readIconFile(path);
    if (picture.isNull()) {
        Pictures::reportUnreadable(path);
        return;
    }
    button->setPicture(picture, fileName);
}
