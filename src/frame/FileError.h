#pragma once

#include <QString>

// Says in Basque why a file could not be read or written. The common causes get words of their
// own; the system's text follows in parentheses, since it is often more precise but not in the
// program's language.
namespace FileError {

// `code` is the errno value the failing call left behind (0 when unknown).
[[nodiscard]] QString describe(int code, const QString& systemText);

} // namespace FileError
