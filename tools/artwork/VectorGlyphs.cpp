#include "VectorGlyphs.h"

#include <QPolygonF>
#include <QTransform>
#include <functional>
#include <map>

namespace {

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath rect(qreal x, qreal y, qreal w, qreal h)
{
    QPainterPath path;
    path.addRect(x, y, w, h);
    return path;
}

// A bar of the given thickness from the grid centre, turned by the angle in degrees.
QPainterPath bar(qreal length, qreal thickness, qreal degrees)
{
    QTransform turn;
    turn.translate(16, 16);
    turn.rotate(degrees);
    return turn.map(rect(-length / 2, -thickness / 2, length, thickness));
}

GlyphShape solidOnly(const QPainterPath& path)
{
    return {path, QPainterPath()};
}

GlyphShape page()
{
    const QPainterPath sheet = polygon({{9, 5}, {19, 5}, {24, 10}, {24, 27}, {9, 27}});
    const QPainterPath paper = polygon({{11, 7}, {18, 7}, {18, 11}, {22, 11}, {22, 25}, {11, 25}});
    return {sheet.subtracted(paper), paper};
}

GlyphShape disk()
{
    const QPainterPath body = polygon({{6, 6}, {23, 6}, {26, 9}, {26, 26}, {6, 26}});
    const QPainterPath shutter = rect(11, 6, 10, 7);
    const QPainterPath label = rect(9, 16, 14, 8);
    return {body.subtracted(shutter).subtracted(label), label};
}

GlyphShape folder()
{
    const QPainterPath back = polygon({{5, 7}, {13, 7}, {15, 9}, {25, 9}, {25, 24}, {5, 24}});
    const QPainterPath front = polygon({{9, 13}, {28, 13}, {24, 25}, {5, 25}});
    const QPainterPath inside = rect(7, 11, 16, 2);
    return {back.subtracted(inside).united(front), inside};
}

GlyphShape info()
{
    QPainterPath dot;
    dot.addEllipse(QPointF(16, 8), 3, 3);
    return solidOnly(
        dot.united(rect(12, 13, 6, 3)).united(rect(14, 13, 4, 12)).united(rect(11, 23, 10, 3)));
}

GlyphShape list()
{
    QPainterPath lines;
    for (int row = 0; row < 4; ++row) {
        lines.addRect(6, 7 + 5 * row, 3, 3);
        lines.addRect(11, 7 + 5 * row, 15, 3);
    }
    return solidOnly(lines);
}

using Maker = std::function<GlyphShape()>;

const std::map<QString, Maker>& table()
{
    static const std::map<QString, Maker> glyphs = {
        {QStringLiteral("play"),
         [] {
             return solidOnly(polygon({{11, 6}, {25, 16}, {11, 26}}));
         }},
        {QStringLiteral("pause"),
         [] { return solidOnly(rect(9, 7, 5, 18).united(rect(18, 7, 5, 18))); }},
        {QStringLiteral("stop"), [] { return solidOnly(rect(9, 9, 14, 14)); }},
        {QStringLiteral("atzea"),
         [] {
             return solidOnly(rect(7, 7, 4, 18).united(polygon({{25, 7}, {13, 16}, {25, 25}})));
         }},
        {QStringLiteral("aurrea"),
         [] {
             return solidOnly(rect(21, 7, 4, 18).united(polygon({{7, 7}, {19, 16}, {7, 25}})));
         }},
        {QStringLiteral("gora"),
         [] {
             return solidOnly(
                 polygon({{16, 5}, {26, 15}, {20, 15}, {20, 27}, {12, 27}, {12, 15}, {6, 15}}));
         }},
        {QStringLiteral("bera"),
         [] {
             return solidOnly(
                 polygon({{16, 27}, {26, 17}, {20, 17}, {20, 5}, {12, 5}, {12, 17}, {6, 17}}));
         }},
        {QStringLiteral("gehitu"),
         [] { return solidOnly(rect(13, 6, 6, 20).united(rect(6, 13, 20, 6))); }},
        {QStringLiteral("kendu"), [] { return solidOnly(rect(6, 13, 20, 6)); }},
        {QStringLiteral("irten"), [] { return solidOnly(bar(26, 6, 45).united(bar(26, 6, -45))); }},
        {QStringLiteral("berria"), page},
        {QStringLiteral("egilea"), info},
        {QStringLiteral("gorde"), disk},
        {QStringLiteral("ireki"), folder},
        {QStringLiteral("zerrenda"), list},
    };
    return glyphs;
}

} // namespace

GlyphShape VectorGlyphs::shape(const QString& base, int size)
{
    const auto found = table().find(base);
    if (found == table().end())
        return {};
    const GlyphShape grid = found->second();
    const QTransform scale = QTransform::fromScale(size / 32.0, size / 32.0);
    return {scale.map(grid.solid), scale.map(grid.soft)};
}
