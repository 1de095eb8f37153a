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

QString iconFolderPath(const QString& fileName)
{
    return WindowRegistry::instance().programFolder() + QStringLiteral("/irudiak/") + fileName;
}

} // namespace Pictures
