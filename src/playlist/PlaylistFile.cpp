#include "PlaylistFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace PlaylistFile {

QStringList splitLines(const QByteArray& bytes)
{
    QStringList items;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype at = 0; at < size; ++at) {
        const char byte = bytes.at(at);
        if (byte != '\r' && byte != '\n')
            continue;
        items << QString::fromLocal8Bit(bytes.constData() + start, at - start);
        if (byte == '\r' && at + 1 < size && bytes.at(at + 1) == '\n')
            ++at;
        start = at + 1;
    }
    if (start < size)
        items << QString::fromLocal8Bit(bytes.constData() + start, size - start);
    return items;
}

ReadResult read(const QString& path)
{
    if (QFileInfo(path).isDir())
        return {{}, QStringLiteral("%1 karpeta bat da").arg(path)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    return {splitLines(bytes), {}};
}

QString write(const QString& path, const QStringList& items)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("%1 karpeta bat da").arg(path);
    QByteArray bytes;
    for (const QString& item : items) {
        bytes += item.toLocal8Bit();
        bytes += "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace PlaylistFile
