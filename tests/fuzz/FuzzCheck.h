#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share: a broken property stops the run like a crash, so libFuzzer keeps
// the input that broke it.
namespace FuzzCheck {

inline void require(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

// Puts the input into a real file, so it reaches the program through the same open and read
// calls as a file the user picked.
inline void writeFile(const QString& path, const std::uint8_t* data, std::size_t size)
{
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input file can be made");
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    require(file.write(bytes) == bytes.size(), "the input file can be written");
}

// One folder for the whole run, removed when the process exits normally.
inline const QTemporaryDir& workDir()
{
    static const QTemporaryDir dir;
    require(dir.isValid(), "a temporary folder can be made");
    return dir;
}

} // namespace FuzzCheck
