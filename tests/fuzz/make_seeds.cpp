// The decoder's seeds, into the folder named: the tests' broken and rare songs, and the MPEG-2
// ones joined into one file whose rate and channels change part-way.
#include "support/BrokenSongs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);
    const QDir folder(argc == 2 ? QString::fromLocal8Bit(argv[1]) : QString());
    BrokenSongs maker;
    const QList<BrokenSongs::Entry> entries = argc == 2 && folder.mkpath(QStringLiteral("."))
                                                  ? maker.make(folder.path())
                                                  : QList<BrokenSongs::Entry>{};
    if (entries.isEmpty()) {
        std::fprintf(stderr, "usage: %s FOLDER\n%s\n", argv[0], qPrintable(maker.error()));
        return 1;
    }
    QByteArray joined;
    for (const BrokenSongs::Entry& entry : entries) {
        // A pipe or a folder would stop libFuzzer reading the corpus; a 10 MB seed is only ever
        // read cut to the longest input.
        const QFileInfo info(entry.path);
        QFile file(entry.path);
        if (!info.isFile() || !info.isReadable() || info.size() > 1024 * 1024) {
            if (!file.remove())
                folder.rmdir(entry.path);
        } else if (entry.name.startsWith(QStringLiteral("MPEG-2 ")) &&
                   file.open(QIODevice::ReadOnly)) {
            joined += file.readAll();
        }
    }
    QFile out(folder.filePath(QStringLiteral("joined.mp3")));
    return out.open(QIODevice::WriteOnly) && out.write(joined) == joined.size() ? 0 : 1;
}
