#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// File names are bytes on this platform, and not every name is UTF-8: a collection copied from
// a Latin-1 system holds "caf\xE9.mp3". Everywhere a path is kept as text (the playlist, its
// files, the browser, the player's CurrentFile) it is the UTF-8 reading of those bytes, with
// each byte that is not part of well-formed UTF-8 kept as the lone low surrogate U+DC00 + byte,
// as Python's "surrogateescape" does. toBytes gives the exact bytes back, so a name goes from
// the disk to the list, to a file and to the player unchanged. Such text is never shown as it
// is: displayText puts U+FFFD where a byte could not be read.
namespace PathBytes {

// The text for bytes read from the disk or a file; never loses a byte.
[[nodiscard]] QString fromBytes(QByteArrayView bytes);
// The bytes a text stands for; fromBytes's escapes become their bytes again.
[[nodiscard]] QByteArray toBytes(QStringView text);
void appendBytes(QByteArray& bytes, QStringView text);

// The text as it is shown: each escaped byte, and any other lone surrogate, as U+FFFD.
[[nodiscard]] QString displayText(const QString& text);

// What a path names, following symbolic links, read through its bytes. A text holding a NUL
// names nothing: the system would read only what comes before it.
enum class Kind { Missing, File, Folder, Other };
[[nodiscard]] Kind kindOf(const QString& path);
// A folder this process may enter (and so list and open files in).
[[nodiscard]] bool canEnter(const QString& folder);

// The names in a folder that are of the kind asked for (File or Folder), hidden ones ("."
// first) left out, as QDir lists them, sorted by name without regard to case. Empty when the
// folder cannot be read.
[[nodiscard]] QStringList entries(const QString& folder, Kind kind);

// The process's current folder, read through its bytes.
[[nodiscard]] QString currentFolder();

} // namespace PathBytes
