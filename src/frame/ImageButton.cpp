#include "ImageButton.h"

#include "Pictures.h"

#include <QMouseEvent>

namespace {
constexpr int ButtonPixels = 16;
}

ImageButton::ImageButton(QWidget* parent, const QString& iconBase, const QString& toolTip)
    : QLabel(parent), m_iconBase(iconBase)
{
    setToolTip(toolTip);
    setAccessibleName(toolTip);
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
