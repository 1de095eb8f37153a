#include "Pictures.h"

#include "WindowRegistry.h"

#include <QFileInfo>
#include <QImageReader>
#include <cstdio>

namespace Pictures {

namespace {

// Left to find a file's format itself, Qt loads every image plugin it has to ask each one, even
// for a file it reads without any; the name tells the format of every picture here.
void formatFromName(QImageReader& reader, const QString& path)
{
    reader.setFormat(QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
}

} // namespace

QIcon readIconFile(const QString& path)
{
    QIcon icon;
    QImageReader reader(path);
    formatFromName(reader, path);
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
    QImageReader reader(path);
    formatFromName(reader, path);
    QPixmap picture = QPixmap::fromImage(reader.read());
    if (picture.isNull())
        reportUnreadable(path);
    return picture;
}

// The header alone gives the size. The picture is read when it is first painted, which the
// windows hidden at start may never be, and it is held from then on.
Scaled::Scaled(const QString& name) : m_name(name)
{
    const QString path = designPath(name);
    QImageReader reader(path);
    formatFromName(reader, path);
    m_size = reader.size();
    if (!m_size.isValid())
        reportUnreadable(path);
}

QPixmap Scaled::forDeviceSize(QSize device) const
{
    if (!m_size.isValid())
        return {};
    if (!m_one)
        m_one = designPicture(m_name);
    if (m_one->isNull() || device == m_one->size())
        return *m_one;
    if (!m_two) {
        QString twoName = m_name;
        twoName.insert(twoName.lastIndexOf(u'.'), QStringLiteral("@2x"));
        m_two = designPicture(twoName);
        // The reader takes the ratio from the name; here sizes are counted in device pixels.
        m_two->setDevicePixelRatio(1);
    }
    const QPixmap& source = m_two->isNull() ? *m_one : *m_two;
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
