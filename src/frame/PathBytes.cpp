#include "PathBytes.h"

#include <QStringDecoder>
#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace PathBytes {

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
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

bool isEscapedByte(QStringView text, qsizetype at)
{
    const char16_t unit = text.at(at).unicode();
    return unit >= EscapeBase + 0x80 && unit <= EscapeBase + 0xFF &&
           (at == 0 || !text.at(at - 1).isHighSurrogate());
}

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

} // namespace

QString fromBytes(QByteArrayView bytes)
{
    // Most names are plain ASCII, which need none of the checks below.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char byte) { return static_cast<unsigned char>(byte) < 0x80; }))
        return QString::fromLatin1(bytes);
    QString text;
    qsizetype runStart = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = sequenceLength(bytes.sliced(at));
        if (length > 0) {
            at += length;
            continue;
        }
        text += fromUtf8(bytes.sliced(runStart, at - runStart));
        text += QChar(char16_t(EscapeBase + static_cast<unsigned char>(bytes.at(at))));
        runStart = ++at;
    }
    return text + fromUtf8(bytes.sliced(runStart));
}

void appendBytes(QByteArray& bytes, QStringView text)
{
    if (std::none_of(text.begin(), text.end(), [](QChar unit) { return unit.isLowSurrogate(); })) {
        bytes += text.toUtf8();
        return;
    }
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (!isEscapedByte(text, at))
            continue;
        bytes += text.sliced(runStart, at - runStart).toUtf8();
        bytes += static_cast<char>(text.at(at).unicode() - EscapeBase);
        runStart = at + 1;
    }
    bytes += runStart == 0 ? text.toUtf8() : text.sliced(runStart).toUtf8();
}

QByteArray toBytes(QStringView text)
{
    QByteArray bytes;
    appendBytes(bytes, text);
    return bytes;
}

QString displayText(const QString& text)
{
    if (std::none_of(text.begin(), text.end(), [](QChar unit) { return unit.isSurrogate(); }))
        return text;
    QString shown = text;
    for (qsizetype at = 0; at < shown.size(); ++at) {
        const QChar unit = shown.at(at);
        if (unit.isHighSurrogate() && at + 1 < shown.size() && shown.at(at + 1).isLowSurrogate())
            ++at;
        else if (unit.isSurrogate())
            shown[at] = QChar::ReplacementCharacter;
    }
    return shown;
}

Kind kindOf(const QString& path)
{
    struct stat status {};
    // The system ends a path at a NUL, so a text with one names no file (as QFileInfo has it).
    if (path.isEmpty() || path.contains(QChar(u'\0')) ||
        stat(toBytes(path).constData(), &status) != 0)
        return Kind::Missing;
    if (S_ISREG(status.st_mode))
        return Kind::File;
    return S_ISDIR(status.st_mode) ? Kind::Folder : Kind::Other;
}

bool canEnter(const QString& folder)
{
    return kindOf(folder) == Kind::Folder && access(toBytes(folder).constData(), X_OK) == 0;
}

QStringList entries(const QString& folder, Kind kind)
{
    QStringList names;
    if (kindOf(folder) != Kind::Folder)
        return names;
    const std::unique_ptr<DIR, FolderCloser> listing(opendir(toBytes(folder).constData()));
    if (!listing)
        return names;
    const int descriptor = dirfd(listing.get());
    // readdir is safe on a stream no other thread reads, and readdir_r is deprecated.
    while (const dirent* entry = readdir(listing.get())) { // NOLINT(concurrency-mt-unsafe)
        if (entry->d_name[0] == '.')
            continue;
        struct stat status {};
        if (fstatat(descriptor, entry->d_name, &status, 0) != 0)
            continue;
        const bool wanted = kind == Kind::Folder ? S_ISDIR(status.st_mode)
                                                 : kind == Kind::File && S_ISREG(status.st_mode);
        if (wanted)
            names << fromBytes(QByteArrayView(entry->d_name));
    }
    // Names that differ only in case keep one order whatever order the folder gives them in.
    std::sort(names.begin(), names.end(), [](const QString& left, const QString& right) {
        const int order = left.compare(right, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : left < right;
    });
    return names;
}

QString currentFolder()
{
    const std::unique_ptr<char, decltype(&free)> folder(getcwd(nullptr, 0), &free);
    return folder ? fromBytes(QByteArrayView(folder.get())) : QString();
}

} // namespace PathBytes
