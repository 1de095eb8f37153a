#include "PlaylistFile.h"

#include "frame/FileError.h"
#include "frame/PathBytes.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>

namespace PlaylistFile {

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

} // namespace

QStringList splitLines(const QByteArray& bytes)
{
    QStringList items;
    // A byte-order mark some editors put in front says how the text is written; it is not part
    // of the first path.
    qsizetype start = bytes.startsWith(ByteOrderMark) ? qsizetype(sizeof(ByteOrderMark)) - 1 : 0;
    const qsizetype size = bytes.size();
    for (qsizetype at = start; at < size; ++at) {
        const char byte = bytes.at(at);
        if (byte != '\r' && byte != '\n')
            continue;
        items << PathBytes::fromBytes(QByteArrayView(bytes).sliced(start, at - start));
        if (byte == '\r' && at + 1 < size && bytes.at(at + 1) == '\n')
            ++at;
        start = at + 1;
    }
    if (start < size)
        items << PathBytes::fromBytes(QByteArrayView(bytes).sliced(start));
    return items;
}

namespace {

// Read right after the failing call, while errno still holds its cause.
QString failure(const QFileDevice& file)
{
    const int code = errno;
    return FileError::describe(code, file.errorString());
}

} // namespace

Result<QStringList> read(const QString& path)
{
    // A device such as /dev/zero never ends and a pipe may never answer.
    if (QString why = FileError::kindProblem(path); !why.isEmpty())
        return Failure{why};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{failure(file)};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Failure{failure(file)};
    return splitLines(bytes);
}

Result<void> write(const QString& path, const QStringList& items)
{
    // Writing beside the target and renaming would put a plain file in place of a device or a
    // pipe, so only a plain file, or a new name, is ever replaced.
    if (QString why = FileError::kindProblem(path); !why.isEmpty())
        return Failure{why};
    QByteArray bytes;
    // The reader takes a byte-order mark at the very start as a mark, not as text, so a first
    // item that begins with one is written behind one more.
    if (!items.isEmpty() && items.constFirst().startsWith(QChar(0xFEFF)))
        bytes += ByteOrderMark;
    for (const QString& item : items) {
        PathBytes::appendBytes(bytes, item);
        bytes += "\r\n";
    }
    // Unbuffered, so that a disk that fills up part-way shows as a short write here; Qt's own
    // buffer would lose that failure and let the commit replace the old file with a cut one.
    // A list the user may write in a folder they may not (a shared folder's list) can only be
    // written in place; everywhere else the old file stays whole until the new one is.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failure{failure(file)};
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        Failure why{failure(file)};
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return Failure{failure(file)};
    return {};
}

} // namespace PlaylistFile
