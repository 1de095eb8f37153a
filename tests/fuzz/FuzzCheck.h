#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share: a broken property stops the run like a crash, so libFuzzer keeps
// the input that broke it.
namespace FuzzCheck {

inline void require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

// A folder for the whole run.
inline QString path(const QString& name)
{
    static const QTemporaryDir dir;
    return dir.filePath(name);
}

// The input as a file, so it reaches the program through the same open and read calls as a
// file the user picked.
inline QString inFile(const QString& name, const std::uint8_t* data, std::size_t size)
{
    QFile file(path(name));
    require(file.open(QIODevice::WriteOnly) &&
                file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size),
            "the input file can be written");
    return file.fileName();
}

} // namespace FuzzCheck
