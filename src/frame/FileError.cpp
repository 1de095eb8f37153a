#include "FileError.h"

#include <cerrno>

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

} // namespace FileError
