#include "ArtworkWriter.h"

#include <QGuiApplication>
#include <cstdio>

// Draws every picture of the player into the folder given as the only argument.
int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: ixomp3-artwork <output folder>\n");
        return 2;
    }
    ArtworkWriter writer(QString::fromLocal8Bit(argv[1]));
    if (!writer.writeAll()) {
        std::fprintf(stderr, "ixomp3-artwork: %s\n", qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
