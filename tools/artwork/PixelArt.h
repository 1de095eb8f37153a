#pragma once

#include <QImage>
#include <QList>
#include <QRegion>
#include <string_view>
#include <vector>

// A small picture typed as rows of characters, one character a pixel. Used where a picture must
// be exact to the pixel, which hand placement does better than any scaled drawing at 16 px.
class PixelArt {
public:
    explicit PixelArt(std::vector<std::string_view> rows);

    int width() const;
    int height() const;
    // The pixels typed with the given character, moved by the offset.
    QRegion region(char key, QPoint offset) const;
    // An indexed image: the n-th character of keys gets the n-th palette colour.
    QImage indexed(std::string_view keys, const QList<QRgb>& palette) const;

private:
    std::vector<std::string_view> m_rows;
};
