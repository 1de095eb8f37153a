#include "FileError.h"

#include "PathBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace FileError {

namespace {

QString cause(int code)
{
    switch (code) {
    case EACCES:
    case EPERM:
        return QStringLiteral("ez dago baimenik");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("diskoa beteta dago");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("ez da aurkitu");
    case EROFS:
        return QStringLiteral("diskoa irakurtzeko soilik da");
    default:
        return QStringLiteral("sistemaren errorea");
    }
}

} // namespace

QString describe(int code, const QString& systemText)
{
    const QString words = cause(code);
    return systemText.isEmpty() ? words : words + QStringLiteral(" (") + systemText + u')';
}

QString kindProblem(const QString& path)
{
    switch (PathBytes::kindOf(path)) {
    case PathBytes::Kind::Folder:
        return QStringLiteral("%1 karpeta bat da").arg(PathBytes::displayText(path));
    case PathBytes::Kind::Other:
        return QStringLiteral("%1 ez da fitxategi arrunta").arg(PathBytes::displayText(path));
    case PathBytes::Kind::File:
    case PathBytes::Kind::Missing:
        break;
    }
    return {};
}

QString unreadable(const QString& path)
{
    if (QString why = kindProblem(path); !why.isEmpty())
        return why;
    // The system would read a name only up to a NUL in it, and so open some other file.
    int code = ENOENT;
    if (!path.contains(QChar(u'\0'))) {
        const int descriptor = ::open(PathBytes::toBytes(path).constData(), O_RDONLY | O_CLOEXEC);
        if (descriptor >= 0) {
            ::close(descriptor);
            return {};
        }
        code = errno;
    }
    return PathBytes::displayText(path) + QStringLiteral(": ") +
           describe(code, qt_error_string(code));
}

} // namespace FileError
