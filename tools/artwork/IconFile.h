#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Packs several sizes of one picture into a Windows icon container. An image in Indexed8 format
// with at most sixteen colours is stored as a 4-bit paletted bitmap, every other image as 32-bit
// BGRA with alpha; both carry the 1-bit AND mask that older readers rely on for transparency.
class IconFile {
public:
    explicit IconFile(QList<QImage> images);

    QByteArray encode() const;

private:
    static bool isPaletted(const QImage& image);
    static QByteArray bitmap(const QImage& image);
    static void appendHeader(QByteArray& out, const QImage& image, int dataSize);
    static void appendPaletteAndIndices(QByteArray& out, const QImage& image);
    static void appendTrueColour(QByteArray& out, const QImage& image);
    static void appendMask(QByteArray& out, const QImage& image);

    QList<QImage> m_images;
};
