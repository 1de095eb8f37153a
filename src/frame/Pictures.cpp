#include "Pictures.h"

#include "WindowRegistry.h"

#include <QImageReader>
#include <cstdio>

namespace Pictures {

QIcon readIconFile(const QString& path)
{
    QIcon icon;
    QImageReader reader(path);
    for (int index = 0; index < reader.imageCount() || index == 0; ++index) {
        if (index > 0 && !reader.jumpToImage(index))
            break;
        const QImage image = reader.read();
        if (image.isNull())
            break;
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

void reportUnreadable(const QString& path)
{
    if (WindowRegistry::instance().firstReport(path))
        std::fprintf(stderr, "ixomp3: cannot read the picture %s\n", qPrintable(path));
}

static QString designPath(const QString& name)
{
    return WindowRegistry::instance().programFolder() + QStringLiteral("/pictures/") + name;
}

QIcon designIcon(const QString& name)
{
    const QString path = designPath(name);
    QIcon icon = readIconFile(path);
    if (icon.isNull())
        reportUnreadable(path);
    return icon;
}

QPixmap designPicture(const QString& name)
{
    const QString path = designPath(name);
    QPixmap picture(path);
    if (picture.isNull())
        reportUnreadable(path);
    return picture;
}

Scaled::Scaled(const QString& name) : m_name(name), m_one(designPicture(name)) {}

QPixmap Scaled::forDeviceSize(QSize device) const
{
    if (m_one.isNull() || device == m_one.size())
        return m_one;
    if (!m_two) {
        QString twoName = m_name;
        twoName.insert(twoName.lastIndexOf(u'.'), QStringLiteral("@2x"));
        m_two = designPicture(twoName);
        // The reader takes the ratio from the name; here sizes are counted in device pixels.
        m_two->setDevicePixelRatio(1);
    }
    const QPixmap& source = m_two->isNull() ? m_one : *m_two;
    if (device == source.size())
        return source;
    if (m_last.size() != device)
        m_last = source.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return m_last;
}

QPixmap Scaled::forRatio(qreal ratio) const
{
    QPixmap picture = forDeviceSize((QSizeF(size()) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    return picture;
}

QString iconFolderPath(const QString& fileName)
{
    return WindowRegistry::instance().programFolder() + QStringLiteral("/irudiak/") + fileName;
}

} // namespace Pictures
