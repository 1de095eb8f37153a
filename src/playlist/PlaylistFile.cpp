#include "PlaylistFile.h"

#include "frame/FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>

namespace PlaylistFile {

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
// A byte that is not part of well-formed UTF-8 is kept as the lone low surrogate U+DC00 + byte,
// as Python's "surrogateescape" does, so that writing the list gives that byte back.
constexpr char16_t EscapeBase = 0xDC00;

// Length of the well-formed UTF-8 sequence at the start of bytes, 0 if there is none.
qsizetype sequenceLength(QByteArrayView bytes)
{
    const auto lead = static_cast<unsigned char>(bytes.front());
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        // No overlong forms and no encoded surrogates.
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    }
    if (length == 0 || bytes.size() < length)
        return 0;
    const auto second = static_cast<unsigned char>(bytes.at(1));
    if (second < low || second > high)
        return 0;
    for (qsizetype at = 2; at < length; ++at) {
        if ((static_cast<unsigned char>(bytes.at(at)) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// Well-formed UTF-8 as it is: QString::fromUtf8 would drop a byte-order mark at its start.
QString fromUtf8(QByteArrayView bytes)
{
    if (!bytes.startsWith(ByteOrderMark))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(bytes);
}

// Qt takes the system's 8-bit code page on this platform to be UTF-8. Text that is not UTF-8
// (a list written on a Latin-1 system, a name copied byte for byte) keeps each odd byte.
QString decodeLine(QByteArrayView bytes)
{
    // Most lines are plain ASCII paths, which need none of the checks below.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char byte) { return static_cast<unsigned char>(byte) < 0x80; }))
        return QString::fromLatin1(bytes);
    QString line;
    qsizetype runStart = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = sequenceLength(bytes.sliced(at));
        if (length > 0) {
            at += length;
            continue;
        }
        line += fromUtf8(bytes.sliced(runStart, at - runStart));
        line += QChar(char16_t(EscapeBase + static_cast<unsigned char>(bytes.at(at))));
        runStart = ++at;
    }
    return line + fromUtf8(bytes.sliced(runStart));
}

bool isEscapedByte(QStringView text, qsizetype at)
{
    const char16_t unit = text.at(at).unicode();
    return unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF &&
           (at == 0 || !text.at(at - 1).isHighSurrogate());
}

void appendEncoded(QByteArray& bytes, QStringView line)
{
    if (std::none_of(line.begin(), line.end(), [](QChar unit) { return unit.isLowSurrogate(); })) {
        bytes += line.toUtf8();
        return;
    }
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < line.size(); ++at) {
        if (!isEscapedByte(line, at))
            continue;
        bytes += line.sliced(runStart, at - runStart).toUtf8();
        bytes += static_cast<char>(line.at(at).unicode() - EscapeBase);
        runStart = at + 1;
    }
    bytes += runStart == 0 ? line.toUtf8() : line.sliced(runStart).toUtf8();
}

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
        items << decodeLine(QByteArrayView(bytes).sliced(start, at - start));
        if (byte == '\r' && at + 1 < size && bytes.at(at + 1) == '\n')
            ++at;
        start = at + 1;
    }
    if (start < size)
        items << decodeLine(QByteArrayView(bytes).sliced(start));
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
        return {{}, failure(file)};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, failure(file)};
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
    // The reader takes a byte-order mark at the very start as a mark, not as text, so a first
    // item that begins with one is written behind one more.
    if (!items.isEmpty() && items.constFirst().startsWith(QChar(0xFEFF)))
        bytes += ByteOrderMark;
    for (const QString& item : items) {
        appendEncoded(bytes, item);
        bytes += "\r\n";
    }
    // Unbuffered, so that a disk that fills up part-way shows as a short write here; Qt's own
    // buffer would lose that failure and let the commit replace the old file with a cut one.
    // A list the user may write in a folder they may not (a shared folder's list) can only be
    // written in place; everywhere else the old file stays whole until the new one is.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(file);
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        QString why = failure(file);
        file.cancelWriting();
        return why;
    }
    if (!file.commit())
        return failure(file);
    return {};
}

} // namespace PlaylistFile
