#pragma once

#include <QString>

// Says in Basque why a file could not be read or written. The common causes get words of their
// own; the system's text follows in parentheses, since it is often more precise but not in the
// program's language.
namespace FileError {

// `code` is the errno value the failing call left behind (0 when unknown).
[[nodiscard]] QString describe(int code, const QString& systemText);

// Why a path cannot be read or written as a plain file because of what it is: a folder, or a
// device, a pipe or a socket (which may never end or never answer). Empty for a plain file and
// for a name that is not there. Read through the path's bytes (PathBytes).
[[nodiscard]] QString kindProblem(const QString& path);

// Why a path cannot be read as a file, or empty when it can: kindProblem, else the reason the
// system gave for not opening it, after the path.
[[nodiscard]] QString unreadable(const QString& path);

} // namespace FileError
