#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// Pictures come from files beside the executable: button icons from irudiak/, the windows'
// designs from pictures/. A picture that cannot be read is told once on standard error and
// comes back null, so the caller keeps what it shows.
namespace Pictures {

// Every image an icon file carries (16x16 and 32x32), so a button stays sharp when scaled.
QIcon readIconFile(const QString& path);

QIcon designIcon(const QString& name);
QPixmap designPicture(const QString& name);

QString iconFolderPath(const QString& fileName);

void reportUnreadable(const QString& path);

} // namespace Pictures
