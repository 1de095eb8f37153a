#include "WindowTest.h"

#include "frame/WindowRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QEvent>
#include <QFile>

namespace WindowTest {

void reset()
{
    WindowRegistry::instance().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    answers() = {};
}

PlatformAnswers& answers()
{
    return WindowRegistry::instance().answers();
}

QString programFolderWithout(const QString& parent, const QStringList& missingIcons)
{
    const QDir source(QCoreApplication::applicationDirPath());
    for (const QString& sub : {QStringLiteral("irudiak"), QStringLiteral("pictures")}) {
        QDirIterator files(source.filePath(sub), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString from = files.next();
            const QString relative = source.relativeFilePath(from);
            if (sub == QStringLiteral("irudiak") && missingIcons.contains(files.fileName()))
                continue;
            const QString to = parent + QLatin1Char('/') + relative;
            QDir().mkpath(QFileInfo(to).absolutePath());
            QFile::copy(from, to);
        }
    }
    return parent;
}

} // namespace WindowTest
