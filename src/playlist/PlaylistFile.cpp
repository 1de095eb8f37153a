#include "PlaylistFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace PlaylistFile {

QStringList splitLines(const QByteArray& bytes)
{
    // Each line is decoded on its own, and a decoder left to its defaults drops a byte-order
    // mark at the start of every line. An item is kept exactly as its line holds it, so that
    // saving what was read and reading it again gives back the same list.
    QStringDecoder decode(QStringDecoder::System, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
    const auto line = [&bytes, &decode](qsizetype from, qsizetype length) -> QString {
        return decode(QByteArrayView(bytes.constData() + from, length));
    };
    QStringList items;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype at = 0; at < size; ++at) {
        const char byte = bytes.at(at);
        if (byte != '\r' && byte != '\n')
            continue;
        items << line(start, at - start);
        if (byte == '\r' && at + 1 < size && bytes.at(at + 1) == '\n')
            ++at;
        start = at + 1;
    }
    if (start < size)
        items << line(start, size - start);
    return items;
}

ReadResult read(const QString& path)
{
    const QFileInfo source(path);
    if (source.isDir())
        return {{}, QStringLiteral("%1 karpeta bat da").arg(path)};
    // A device such as /dev/zero never ends and a pipe may never answer.
    if (source.exists() && !source.isFile())
        return {{}, QStringLiteral("%1 ez da fitxategi arrunta").arg(path)};
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
    const QFileInfo target(path);
    if (target.isDir())
        return QStringLiteral("%1 karpeta bat da").arg(path);
    // Writing beside the target and renaming would put a plain file in place of a device or a
    // pipe, so only a plain file, or a new name, is ever replaced.
    if (target.exists() && !target.isFile())
        return QStringLiteral("%1 ez da fitxategi arrunta").arg(path);
    QByteArray bytes;
    for (const QString& item : items) {
        bytes += item.toLocal8Bit();
        bytes += "\r\n";
    }
    // Unbuffered, so that a disk that fills up part-way shows as a short write here; Qt's own
    // buffer would lose that failure and let the commit replace the old file with a cut one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace PlaylistFile
