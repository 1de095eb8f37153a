#include "IconFile.h"

#include <utility>

namespace {

void putU8(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xff));
}

void putU16(QByteArray& out, int value)
{
    putU8(out, value);
    putU8(out, value >> 8);
}

void putU32(QByteArray& out, qint64 value)
{
    putU16(out, static_cast<int>(value & 0xffff));
    putU16(out, static_cast<int>((value >> 16) & 0xffff));
}

// Bitmap rows are padded to whole 32-bit words.
int rowBytes(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

void padRow(QByteArray& out, int written, int wanted)
{
    for (int i = written; i < wanted; ++i)
        putU8(out, 0);
}

} // namespace

IconFile::IconFile(QList<QImage> images) : m_images(std::move(images)) {}

QByteArray IconFile::encode() const
{
    QByteArray out;
    putU16(out, 0); // reserved
    putU16(out, 1); // resource type: icon
    putU16(out, static_cast<int>(m_images.size()));
    QList<QByteArray> bitmaps;
    for (const QImage& image : m_images)
        bitmaps.append(bitmap(image));
    qint64 offset = 6 + 16 * m_images.size();
    for (qsizetype i = 0; i < m_images.size(); ++i) {
        const QImage& image = m_images.at(i);
        putU8(out, image.width() >= 256 ? 0 : image.width());
        putU8(out, image.height() >= 256 ? 0 : image.height());
        putU8(out, isPaletted(image) ? 16 : 0);
        putU8(out, 0);
        putU16(out, 1);
        putU16(out, isPaletted(image) ? 4 : 32);
        putU32(out, bitmaps.at(i).size());
        putU32(out, offset);
        offset += bitmaps.at(i).size();
    }
    for (const QByteArray& data : std::as_const(bitmaps))
        out.append(data);
    return out;
}

bool IconFile::isPaletted(const QImage& image)
{
    return image.format() == QImage::Format_Indexed8 && image.colorCount() <= 16;
}

QByteArray IconFile::bitmap(const QImage& image)
{
    const int bits = isPaletted(image) ? 4 : 32;
    const int dataSize =
        (rowBytes(image.width(), bits) + rowBytes(image.width(), 1)) * image.height();
    QByteArray out;
    appendHeader(out, image, dataSize);
    if (isPaletted(image))
        appendPaletteAndIndices(out, image);
    else
        appendTrueColour(out, image.convertToFormat(QImage::Format_ARGB32));
    appendMask(out, image.convertToFormat(QImage::Format_ARGB32));
    return out;
}

// The header states twice the height because the colour bitmap and the mask are stacked.
void IconFile::appendHeader(QByteArray& out, const QImage& image, int dataSize)
{
    putU32(out, 40);
    putU32(out, image.width());
    putU32(out, 2 * image.height());
    putU16(out, 1);
    putU16(out, isPaletted(image) ? 4 : 32);
    putU32(out, 0); // uncompressed
    putU32(out, dataSize);
    putU32(out, 0);
    putU32(out, 0);
    putU32(out, isPaletted(image) ? 16 : 0);
    putU32(out, 0);
}

// Transparent pixels keep their palette colour black so that the XOR step leaves the screen as is.
void IconFile::appendPaletteAndIndices(QByteArray& out, const QImage& image)
{
    for (int i = 0; i < 16; ++i) {
        const QRgb colour = i < image.colorCount() ? image.color(i) : 0;
        const bool clear = qAlpha(colour) == 0;
        putU8(out, clear ? 0 : qBlue(colour));
        putU8(out, clear ? 0 : qGreen(colour));
        putU8(out, clear ? 0 : qRed(colour));
        putU8(out, 0);
    }
    const int stride = rowBytes(image.width(), 4);
    for (int y = image.height() - 1; y >= 0; --y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); x += 2) {
            const int high = row[x] & 0x0f;
            const int low = x + 1 < image.width() ? row[x + 1] & 0x0f : 0;
            putU8(out, high << 4 | low);
        }
        padRow(out, (image.width() + 1) / 2, stride);
    }
}

void IconFile::appendTrueColour(QByteArray& out, const QImage& image)
{
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            putU8(out, qBlue(row[x]));
            putU8(out, qGreen(row[x]));
            putU8(out, qRed(row[x]));
            putU8(out, qAlpha(row[x]));
        }
    }
}

// A set mask bit marks a pixel that shows the background.
void IconFile::appendMask(QByteArray& out, const QImage& image)
{
    const int stride = rowBytes(image.width(), 1);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray bits(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) < 128)
                bits[x / 8] = static_cast<char>(bits[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(bits);
    }
}
