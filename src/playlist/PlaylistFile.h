#pragma once

#include "frame/Result.h"

#include <QString>
#include <QStringList>

// Playlist files: one item per line, every line ended by CR LF, in the locale's 8-bit
// encoding. Reading ends a line at CR LF, at a lone CR and, as this platform's own line end,
// at a lone LF; the last line needs no end. Empty lines and "#" lines are items like any other.
//
// The 8-bit encoding is UTF-8 here. A UTF-8 byte-order mark in front is skipped and not written
// back. Bytes that are not UTF-8 stay in their line, each as the character U+DC00 + byte (the
// path encoding of frame/PathBytes, which the browser and the player share), and are written
// back as the same bytes, so a list from another system survives being opened and saved. NUL
// and other control bytes are kept as they are.
namespace PlaylistFile {

Result<QStringList> read(const QString& path);

// Writes beside the target and replaces it only once everything is written, so a failed save
// leaves the old file as it was.
Result<void> write(const QString& path, const QStringList& items);

// The reading rule alone, on bytes already read.
QStringList splitLines(const QByteArray& bytes);

} // namespace PlaylistFile
