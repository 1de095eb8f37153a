#include "PixelArt.h"

#include <algorithm>
#include <utility>

PixelArt::PixelArt(std::vector<std::string_view> rows) : m_rows(std::move(rows)) {}

int PixelArt::width() const
{
    size_t widest = 0;
    for (std::string_view row : m_rows)
        widest = std::max(widest, row.size());
    return static_cast<int>(widest);
}

int PixelArt::height() const
{
    return static_cast<int>(m_rows.size());
}

QRegion PixelArt::region(char key, QPoint offset) const
{
    QRegion result;
    for (int y = 0; y < height(); ++y) {
        const std::string_view row = m_rows.at(static_cast<size_t>(y));
        for (int x = 0; x < static_cast<int>(row.size()); ++x) {
            if (row[static_cast<size_t>(x)] == key)
                result += QRect(offset.x() + x, offset.y() + y, 1, 1);
        }
    }
    return result;
}

QImage PixelArt::indexed(std::string_view keys, const QList<QRgb>& palette) const
{
    QImage image(width(), height(), QImage::Format_Indexed8);
    image.setColorTable(palette);
    image.fill(0);
    for (int y = 0; y < height(); ++y) {
        const std::string_view row = m_rows.at(static_cast<size_t>(y));
        for (int x = 0; x < static_cast<int>(row.size()); ++x) {
            const size_t index = keys.find(row[static_cast<size_t>(x)]);
            image.setPixel(x, y, index == std::string_view::npos ? 0 : static_cast<uint>(index));
        }
    }
    return image;
}
